// Whole simulation runs over every experiment of both robots.
#include "sim/simulate.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/cp_path.h"
#include "planning/experiment.h"
#include "planning/reference.h"
#include "settings/setting_fields.h"
#include "sim/accurate.h"
#include "sim/dynamics.h"
#include "sim/history.h"
#include "sim/run.h"
#include "tests/support/console_capture.h"
#include "tests/support/model_test.h"
#include "tests/support/scenarios.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

using namespace robosim;

// (robot type, motion, cp)
using Experiment = std::tuple<int, int, int>;

class SimulateTest : public ModelTest, public ::testing::WithParamInterface<Experiment> {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        history_cyl = HistorySet{};
        history_scara = HistorySet{};
        const auto [rt, motion, cp] = GetParam();
        params = scenario(rt, motion, cp);
    }

    // one run of the current robot as the final stage of the dialogs makes it
    const HistorySet& run(bool reuse_exact_results = true) {
        simulate(params, STEPS_PER_SAMPLE, history_of(params.settings.robot_type),
                 reuse_exact_results);
        return *history_of(params.settings.robot_type);
    }

    // one run in the accurate mode with steps integration steps per sample
    const HistorySet& run_accurate(int steps = STEPS_PER_SAMPLE) {
        HistorySet* const h = history_of(params.settings.robot_type);
        *h = *run_experiment(params, {.accurate = true, .steps_per_sample = steps}).history;
        return *h;
    }
};

TEST_P(SimulateTest, TorqueSplitAddsUpInEveryRecord) {
    const HistorySet& h = run();
    for (int k = 0; k <= params.settings.n_sample; ++k) {
        for (int j = 0; j < 2; ++j) {
            const double parts = h.tau_inertia[k][j] + h.tau_coriolis[k][j] + h.tau_gravity[k][j]
                                 + h.tau_friction[k][j];
            // the friction torque is the remainder: rounding of four terms below 1 N*m
            ASSERT_NEAR(h.tau_drive[k][j], parts, 1e-15) << "sample " << k << " joint " << j;
        }
    }
}

TEST_P(SimulateTest, GravityOffGivesNoGravityTorqueAtAll) {
    params.settings.gravity = 'h';
    const HistorySet& h = run();
    for (int k = 0; k <= params.settings.n_sample; ++k) {
        ASSERT_EQ(h.tau_gravity[k][0], 0.0) << k;
        ASSERT_EQ(h.tau_gravity[k][1], 0.0) << k;
    }
}

TEST_P(SimulateTest, TwoRunsGiveIdenticalHistories) {
    const auto first = std::make_unique<HistorySet>(run());
    const HistorySet& second = run();
    EXPECT_EQ(std::memcmp(first.get(), &second, sizeof(HistorySet)), 0);
}

TEST_P(SimulateTest, ExactReuseChangesNoBit) {
    const auto direct = std::make_unique<HistorySet>(run(false));
    const HistorySet& reused = run(true);
    EXPECT_EQ(std::memcmp(direct.get(), &reused, sizeof(HistorySet)), 0);
}

TEST_P(SimulateTest, FirstRecordIsTheStartPose) {
    const HistorySet& h = run();
    const RobotPlan& rp = robot_of(params.plan, params.settings.robot_type);
    EXPECT_EQ(h.theta[0][0], rp.theta0[0]);
    EXPECT_EQ(h.theta[0][1], rp.theta0[1]);
    // the start point of the motion, up to the rounding of inverse then forward kinematics
    EXPECT_NEAR(h.pos[0][0], params.plan.x0, 1e-12);
    EXPECT_NEAR(h.pos[0][1], params.plan.y0, 1e-12);
    if (params.settings.motion
        == 'q') {  // the step stands from t = 0: the whole travel is the error
        EXPECT_EQ(h.theta_err[0][0], rp.thetaf[0] - rp.theta0[0]);
        EXPECT_EQ(h.theta_err[0][1], rp.thetaf[1] - rp.theta0[1]);
    } else {
        EXPECT_NEAR(h.theta_err[0][0], 0.0, 1e-9);
        EXPECT_NEAR(h.theta_err[0][1], 0.0, 1e-9);
    }
}

TEST_P(SimulateTest, MotionEndsNearItsGoal) {
    const HistorySet& h = run();
    const int n = params.settings.n_sample;
    double goal[2] = {params.plan.xf, params.plan.yf};
    if (params.settings.motion
        == 'c') {  // the CP command ends on the path's end (the sine's is short)
        double vel[2];
        evaluate_cp_path(params, nullptr, params.settings.cp, params.plan.sf, 0.0, goal, vel);
    }
    // the default gains settle within the run to a few millimetres; the slowest case, the
    // cylindrical inverted U, still sags 2.1 mm under gravity while the integral catches up
    EXPECT_NEAR(h.pos[n][0], goal[0], 3e-3);
    EXPECT_NEAR(h.pos[n][1], goal[1], 3e-3);
    EXPECT_NEAR(h.pos_ref[n][0], goal[0], 1e-9);  // the command rests on the goal
    EXPECT_NEAR(h.pos_ref[n][1], goal[1], 1e-9);
    for (int k = 0; k <= n; ++k) {
        ASSERT_TRUE(std::isfinite(h.theta[k][0]) && std::isfinite(h.inertia_seen[k][1])) << k;
    }
}

// A self-locking gear never runs away: forward efficiencies 0.30 to 0.50 on either joint keep
// every motor error within twice its commanded excursion (from the start angle over every
// command) plus the widest excursion of the run. The margin: a gear so lossy that the peak
// drive barely moves its load lets the integral wind up while the joint lags, by up to its
// whole travel, and the joint overshoots by as much once it breaks free; the worst seen is
// 1.5 times the bound's half (the SCARA arm at 0.30 swings over the top once). Without the
// jam rule errors reach 1e3 to 1e5 times the travel.
TEST_P(SimulateTest, SelfLockingGearsStayWithinTheirTravel) {
    const ParameterSet defaults = params;
    const int rt = params.settings.robot_type;
    for (const int joint : {0, 1}) {
        for (int percent = 30; percent <= 50; ++percent) {
            params = defaults;
            RobotSettings& rs = robot_of(params.settings, rt);
            (joint == 0 ? rs.eta_fwd1 : rs.eta_fwd2) = percent / 100.0;
            update_derived(params);
            // the accurate runs leave out the sine path, whose reference alone (an integration
            // of x(s) at every new time) makes 42 of them cost seconds; robosim-batch sweeps it
            const bool sine = params.settings.motion == 'c' && params.settings.cp == 4;
            for (const bool accurate : {false, true}) {
                if (accurate && sine) {
                    continue;
                }
                const HistorySet& h = accurate ? run_accurate() : run();
                double lo[2] = {h.theta[0][0], h.theta[0][1]};
                double hi[2] = {lo[0], lo[1]};
                double err[2] = {0.0, 0.0};
                for (int k = 0; k <= params.settings.n_sample; ++k) {
                    for (int j = 0; j < 2; ++j) {
                        lo[j] = std::min(lo[j], h.theta_ref[k][j]);
                        hi[j] = std::max(hi[j], h.theta_ref[k][j]);
                        err[j] = std::max(err[j], std::fabs(h.theta_err[k][j]));
                    }
                }
                const double widest = std::max(hi[0] - lo[0], hi[1] - lo[1]);
                for (int j = 0; j < 2; ++j) {
                    EXPECT_LE(err[j], 2.0 * (hi[j] - lo[j] + widest))
                        << "gear " << joint + 1 << " eta_fwd " << percent << " %, motor " << j + 1
                        << (accurate ? ", accurate" : "");
                }
            }
        }
    }
}

// The accurate mode converges: with every switching located, ten steps per sample give the
// motor angles and drive torques of forty to within 1e-6 (rad, and of the peak torque), in
// every setting of gravity and feedback. The fixed step is 0.07 .. 0.66 rad off there.
TEST_P(SimulateTest, AccurateModeConvergesAtTenStepsPerSample) {
    const ParameterSet defaults = params;
    for (const int setting : {0, 1, 2, 3}) {
        params = defaults;
        params.settings.gravity = setting < 2 ? 'g' : 'h';
        params.settings.fb_type = setting % 2 == 0 ? 'v' : 'V';
        update_derived(params);
        const auto fine = std::make_unique<HistorySet>(run_accurate(40));
        const HistorySet& h = run_accurate(10);
        double angle = 0.0, torque = 0.0, peak = 0.0;
        for (int k = 0; k <= params.settings.n_sample; ++k) {
            for (int j = 0; j < 2; ++j) {
                angle = std::max(angle, std::fabs(h.theta[k][j] - fine->theta[k][j]));
                torque = std::max(torque, std::fabs(h.tau_drive[k][j] - fine->tau_drive[k][j]));
                peak = std::max(peak, std::fabs(fine->tau_drive[k][j]));
            }
        }
        EXPECT_LE(angle, 1e-6) << "gravity " << char(params.settings.gravity) << " fb "
                               << char(params.settings.fb_type);
        EXPECT_LE(torque, 1e-6 * peak) << "gravity " << char(params.settings.gravity);
    }
}

INSTANTIATE_TEST_SUITE_P(Ptp, SimulateTest,
                         ::testing::Combine(::testing::Values('a', 'b'),
                                            ::testing::Values('q', 'p'), ::testing::Values(4)));
INSTANTIATE_TEST_SUITE_P(Cp, SimulateTest,
                         ::testing::Combine(::testing::Values('a', 'b'), ::testing::Values('c'),
                                            ::testing::Values(1, 2, 3, 4)));

//------------------------------------------------------------------ the driver's bounds

using DriverTest = ModelTest;

TEST_F(DriverTest, SampleCountNeverWritesPastTheHistories) {
    params = scenario('b', 'p', 4);
    params.settings.n_sample = 10 * HISTORY_LEN;
    simulate(params, STEPS_PER_SAMPLE, &history_scara);
    EXPECT_NE(history_scara.theta[HISTORY_LEN - 1][0], 0.0);  // the last record is written
}

TEST_F(DriverTest, RecordsBeyondTheRunStayZero) {
    params = scenario('b', 'c', 2);
    const ExperimentRun run = run_experiment(params, {});
    EXPECT_NE(run.history->theta[params.settings.n_sample][0], 0.0);
    EXPECT_EQ(run.history->theta[params.settings.n_sample + 1][0], 0.0);
}

TEST_F(DriverTest, UnreachableScaraPathRunsWithoutWaiting) {
    params = scenario('b', 'c', 4);
    params.settings.sine.A = 0.6;  // the crests leave the 0.8 m reach
    update_derived(params);
    install_console_capture();
    const ExperimentRun run = run_experiment(params, {});
    const ReachReport& unreachable = run.unreachable;
    // the run hands its first unreachable point to the program, printing and waiting for nothing
    EXPECT_EQ(unreachable.count, 1);
    EXPECT_TRUE(console_capture.text.empty()) << console_capture.text;
    EXPECT_EQ(console_capture.key_waits, 0);
    bool any_nan = false;
    for (int k = 0; k <= params.settings.n_sample; ++k) {
        any_nan = any_nan || std::isnan(run.history->theta_ref[k][0]);
    }
    EXPECT_TRUE(any_nan);
}

// A few values of the default SCARA sine run, captured from the reviewed build of this engine;
// they change only when the numerics change, and then the change must be explained.
// (captured 2026-12-08 with g++ 12.2 -O2 -ffp-contract=off)
constexpr double REGRESSION_THETA_100_0 = -12.797040837288332;
constexpr double REGRESSION_THETA_100_1 = 90.218043899489928;
constexpr double REGRESSION_TAU_50_0 = 0.033558728653709839;
constexpr double REGRESSION_POS_ERR_200_1 = 3.3124959011865407e-05;

TEST_F(DriverTest, DefaultScaraSineRunRegression) {
    params = scenario_scara_sine();
    const ExperimentRun run = run_experiment(params, {});
    const HistorySet& h = *run.history;
    EXPECT_DOUBLE_EQ(h.theta[100][0], REGRESSION_THETA_100_0) << h.theta[100][0];
    EXPECT_DOUBLE_EQ(h.theta[100][1], REGRESSION_THETA_100_1) << h.theta[100][1];
    EXPECT_DOUBLE_EQ(h.tau_drive[50][0], REGRESSION_TAU_50_0) << h.tau_drive[50][0];
    EXPECT_DOUBLE_EQ(h.pos_err[200][1], REGRESSION_POS_ERR_200_1) << h.pos_err[200][1];
}

// a run of the settings ps into out, as the programs start one
static void run_settings(const ParameterSet& ps, HistorySet* out) {
    *out = *run_experiment(ps, {}).history;
}

// Each motor sees its own rotor plus its own diagonal of M, told apart by unequal motors; a
// gravity selector other than 'g' is no gravity, as 'h' is.
TEST_F(DriverTest, UnequalMotorsAndAnyOtherGravitySelector) {
    for (const int rt : {'a', 'b'}) {
        params = scenario(rt, 'p', 4);
        RobotSettings& rs = robot_of(params.settings, rt);
        RobotModel& rm = robot_of(params.model, rt);
        rs.PW1 = 200.0;
        rs.PW2 = 50.0;
        params.settings.gravity = 'x';
        update_derived(params);
        auto other = std::make_unique<HistorySet>();
        run_settings(params, other.get());
        for (const int k : {0, 100, 200}) {
            const double x[6] = {other->theta[k][0], other->theta[k][1], 0.0, 0.0, 0.0, 0.0};
            double M[4];
            inertia_matrix(params, rt, x, M);
            EXPECT_DOUBLE_EQ(other->inertia_seen[k][0], rm.IM1 + M[0]) << rt << " " << k;
            EXPECT_DOUBLE_EQ(other->inertia_seen[k][1], rm.IM2 + M[3]) << rt << " " << k;
        }
        params.settings.gravity = 'h';
        auto off = std::make_unique<HistorySet>();
        run_settings(params, off.get());
        EXPECT_EQ(std::memcmp(other.get(), off.get(), sizeof(HistorySet)), 0) << rt;
    }
}

// A held joint stands still in the accurate mode: the slide of the PD lesson (teach_pd.dat)
// stops short of its goal under its weight and stays there to the last bit, with no inertia
// torque, where the fixed step's rest band lets it creep on with a steady inertia torque.
TEST_F(DriverTest, AccurateModeHoldsAStoppedJointStill) {
    params = scenario('a', 'p', 4);
    params.settings.alpha1 = params.settings.alpha2 = 0.0;
    PatternRecord& trap = params.settings.trap;
    trap.x0 = 0.3;
    trap.y0 = 0.0;
    trap.xf = -0.25;
    trap.yf = 0.433;
    trap.tf = 1.5;
    update_derived(params);
    const auto fixed = std::make_unique<HistorySet>();
    run_settings(params, fixed.get());
    const ExperimentRun run = run_experiment(params, {.accurate = true});
    const HistorySet* held = run.history.get();
    for (int k = 100; k <= 200; ++k) {
        EXPECT_EQ(held->theta[k][1], held->theta[100][1]) << k;
        EXPECT_EQ(held->tau_inertia[k][1], 0.0) << k;
    }
    EXPECT_GT(fixed->theta[200][1] - fixed->theta[100][1], 0.2);  // the rest band's creep
}

// Self-locking gears in the accurate mode: only a jammed joint is stopped, a gear whose load
// overruns it slides on the edge of locking, and every mode is chosen with the forces of its
// own state. The runs converge (10 steps per sample against 160), no joint runs away and no
// recorded sample has a free gear whose power flows against its mode. Each case made the
// mode before wrong by 0.06 to 7 rad.
class SelfLockingTest : public ModelTest,
                        public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(SelfLockingTest, AccurateRunConvergesWithoutRunawayOrBackDrivenGear) {
    set_defaults(params);
    for (const std::string& setting : GetParam()) {
        const auto eq = setting.find('=');
        ASSERT_EQ(set_setting(params.settings, setting.substr(0, eq), setting.substr(eq + 1)), "")
            << setting;
    }
    update_derived(params);
    const auto run = [&](int steps) {
        ExperimentRun r = run_experiment(params, {.accurate = true, .steps_per_sample = steps});
        EXPECT_FALSE(r.accurate.budget_spent);
        EXPECT_EQ(r.accurate.disagreements, 0);
        return r;
    };
    const ExperimentRun coarse_run = run(10);
    const ExperimentRun fine_run = run(160);
    const HistorySet* coarse = coarse_run.history.get();
    const HistorySet* fine = fine_run.history.get();
    EXPECT_GT(coarse_run.accurate.stops + coarse_run.accurate.slides, 0);  // it locks a gear
    for (int j = 0; j < 2; ++j) {
        double lo = coarse->theta_ref[0][j];
        double hi = lo;
        for (int k = 0; k <= params.settings.n_sample; ++k) {
            lo = std::min(lo, coarse->theta_ref[k][j]);
            hi = std::max(hi, coarse->theta_ref[k][j]);
        }
        for (int k = 0; k <= params.settings.n_sample; ++k) {
            ASSERT_NEAR(coarse->theta[k][j], fine->theta[k][j], 1e-6)
                << "joint " << j + 1 << " k " << k;
            ASSERT_LE(std::fabs(coarse->theta_err[k][j]), 2.0 * (hi - lo) + 10.0) << k;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Gears, SelfLockingTest,
    ::testing::Values(
        std::vector<std::string>{"robot_type=a", "motion=p", "gravity=g", "fb_type=v",
                                 "eta_fwd1=0.45", "eta_fwd2=0.45"},
        std::vector<std::string>{"robot_type=b", "motion=c", "cp=2", "gravity=h", "fb_type=v",
                                 "eta_fwd1=0.45", "eta_fwd2=0.45"},
        std::vector<std::string>{"robot_type=b", "motion=c", "cp=3", "gravity=g", "fb_type=v",
                                 "mw=1.78695", "fn1=4.67454", "fn2=3.14316", "alpha1=9.47577",
                                 "alpha2=3.86504", "eta_fwd1=0.778969", "eta_fwd2=0.396758",
                                 "u1=129.514", "u2=114.03", "PW1=75.3377", "PW2=44.5415"},
        std::vector<std::string>{"robot_type=b", "motion=c", "cp=3", "gravity=g", "fb_type=V",
                                 "mw=0.664375", "fn1=4.43503", "fn2=6.43551", "alpha1=8.71068",
                                 "alpha2=8.59805", "eta_fwd1=0.323804", "eta_fwd2=0.440959",
                                 "u1=143.185", "u2=73.4299", "PW1=38.8832", "PW2=149.554"},
        std::vector<std::string>{"robot_type=a", "motion=c", "cp=3", "gravity=h", "fb_type=v",
                                 "mw=1.38296", "fn1=3.42159", "fn2=6.78167", "alpha1=5.25397",
                                 "alpha2=5.30311", "eta_fwd1=0.368818", "eta_fwd2=0.493281",
                                 "u1=34.4676", "u2=967.271", "PW1=41.9425", "PW2=186.835"},
        // examples/scara_trap.dat: an accumulation of stops that ends where no mode holds
        // (0.38), and a slide across a corner of the command that falls on a sample (0.42)
        std::vector<std::string>{"robot_type=b", "motion=p", "gravity=g", "fb_type=V", "x0=0.4",
                                 "y0=0.3", "xf=-0.3", "yf=0.5", "tf=1", "eta_fwd1=0.38"},
        std::vector<std::string>{"robot_type=b", "motion=p", "gravity=g", "fb_type=V", "x0=0.4",
                                 "y0=0.3", "xf=-0.3", "yf=0.5", "tf=1", "eta_fwd1=0.42"}));

// A loop too stiff to follow ends the accurate run where its step budget runs out, holds the
// last state recorded to the end, and says which pole made it so
TEST_F(DriverTest, AccurateRunEndsWhereItsStepBudgetRunsOut) {
    params = scenario('b', 'c', 4);
    params.settings.alpha1 = 1e6;
    update_derived(params);
    const ExperimentRun run = run_experiment(params, {.accurate = true, .step_budget = 20000});
    const AccurateStats& stats = run.accurate;
    const HistorySet* h = run.history.get();
    ASSERT_TRUE(stats.budget_spent);
    const int reached = static_cast<int>(stats.t_end / params.settings.dt_sample);
    ASSERT_LT(reached, params.settings.n_sample);
    EXPECT_EQ(h->theta[params.settings.n_sample][0], h->theta[reached][0]);
    EXPECT_NE(accurate_budget_report(params, stats).find("alpha1 = 1e+06"), std::string::npos)
        << accurate_budget_report(params, stats);
}
