// The response figures: the closed loop at another inertia, and the figures of runs made here.
#include "analysis/summary.h"

#include "app/session.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "sim/history.h"
#include "sim/run.h"
#include "tests/support/program_test.h"
#include "tests/support/scenarios.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

using namespace robosim;

// wn and zeta come from a bisected simple root and one division: a few ulps of a double,
// far inside this relative tolerance
constexpr double LOOP_TOLERANCE = 1e-9;

static void expect_relative(double actual, double expected, double tolerance, const char* what) {
    EXPECT_NEAR(actual, expected, tolerance * std::fabs(expected)) << what;
}

//------------------------------------------------------------------ closed loop

namespace {

struct LoopCase {
    int robot_type;  // 'a' or 'b'
    double zeta;     // damping ratio placed on both joints (-)
    double alpha;    // third pole placed on both joints; 0 gives PD (1/s)
};

void PrintTo(const LoopCase& c, std::ostream* os) {
    *os << "robot " << (char)c.robot_type << ", zeta " << c.zeta << ", alpha " << c.alpha;
}

}  // namespace

class NominalLoopTest : public ProgramTest, public ::testing::WithParamInterface<LoopCase> {};

// zeta 0.5: one real root and a complex pair; zeta 1: the pair is a double real root;
// zeta 1.5 with alpha 30: three distinct real roots with -alpha between the pair's two
TEST_P(NominalLoopTest, NominalInertiaGivesBackThePlacedLoop) {
    const LoopCase c = GetParam();
    params.settings.robot_type = c.robot_type;
    params.settings.omega_n2 = 1.5 * params.settings.omega_n1;  // the joints told apart
    params.settings.zeta1 = c.zeta;
    params.settings.zeta2 = c.zeta;
    params.settings.alpha1 = c.alpha;
    params.settings.alpha2 = c.alpha;
    update_derived(params);
    const RobotModel& rm = robot_of(params.model, c.robot_type);

    const LoopFigures f1 =
        closed_loop_figures(rm.JM1, rm.Kp1, rm.Kv1, rm.Ki1, params.settings.alpha1);
    const LoopFigures f2 =
        closed_loop_figures(rm.JM2, rm.Kp2, rm.Kv2, rm.Ki2, params.settings.alpha2);
    expect_relative(f1.wn, params.settings.omega_n1, LOOP_TOLERANCE, "wn of joint 1");
    expect_relative(f1.zeta, params.settings.zeta1, LOOP_TOLERANCE, "zeta of joint 1");
    expect_relative(f2.wn, params.settings.omega_n2, LOOP_TOLERANCE, "wn of joint 2");
    expect_relative(f2.zeta, params.settings.zeta2, LOOP_TOLERANCE, "zeta of joint 2");
}

INSTANTIATE_TEST_SUITE_P(Placements, NominalLoopTest,
                         ::testing::Values(LoopCase{'a', 0.5, 4.0}, LoopCase{'b', 0.5, 4.0},
                                           LoopCase{'a', 1.0, 4.0}, LoopCase{'b', 1.0, 4.0},
                                           LoopCase{'a', 1.5, 30.0}, LoopCase{'b', 1.5, 30.0},
                                           LoopCase{'a', 0.7, 0.0}, LoopCase{'b', 0.7, 0.0}));

TEST(ClosedLoopFigures, PdLoopFollowsTheSquareRootOfTheInertia) {
    // placed with wn 20 rad/s and zeta 0.8 on JM: four times the inertia halves both
    const double JM = 1.0e-4;
    const double Kp = 400.0 * JM;
    const double Kv = 2.0 * 0.8 * 20.0 * JM;
    const LoopFigures heavy = closed_loop_figures(4.0 * JM, Kp, Kv, 0.0, 0.0);
    const LoopFigures light = closed_loop_figures(0.25 * JM, Kp, Kv, 0.0, 0.0);
    expect_relative(heavy.wn, 10.0, LOOP_TOLERANCE, "wn at 4 JM");
    expect_relative(heavy.zeta, 0.4, LOOP_TOLERANCE, "zeta at 4 JM");
    expect_relative(light.wn, 40.0, LOOP_TOLERANCE, "wn at JM/4");
    expect_relative(light.zeta, 1.6, LOOP_TOLERANCE, "zeta at JM/4");
}

TEST(ClosedLoopFigures, ThreeRealPolesTakeTheOneNearestAlphaAsTheThirdPole) {
    // J (s + 2)(s + 5)(s + 40) = J (s^3 + 47 s^2 + 290 s + 400)
    const double J = 2.0e-4;

    const struct {
        double alpha;         // placed third pole (1/s)
        double pair_sum;      // sum of the other two poles' sizes (1/s)
        double pair_product;  // product of the other two poles (1/s^2)
    } cases[] = {{3.0, 45.0, 200.0}, {6.0, 42.0, 80.0}, {35.0, 7.0, 10.0}, {100.0, 7.0, 10.0}};

    for (const auto& c : cases) {
        const LoopFigures f = closed_loop_figures(J, 290.0 * J, 47.0 * J, 400.0 * J, c.alpha);
        const double wn = std::sqrt(c.pair_product);
        expect_relative(f.wn, wn, LOOP_TOLERANCE, "wn");
        expect_relative(f.zeta, c.pair_sum / (2.0 * wn), LOOP_TOLERANCE, "zeta");
        EXPECT_GE(f.zeta, 1.0) << "alpha " << c.alpha;
    }
}

TEST(ClosedLoopFigures, FactorsRebuildTheCharacteristicPolynomialAtAnyInertia) {
    // placed with wn 25 rad/s, alpha 4 on JM; at J the loop is J (s + p3)(s^2 + 2 zeta wn s +
    // wn^2) with the third pole p3 = Ki / (J wn^2)
    const double JM = 5.0e-5;
    for (const double zeta_placed : {0.5, 1.0, 1.5}) {
        const double wn0 = 25.0;
        const double alpha = 4.0;
        const double Kp = (wn0 * wn0 + 2.0 * zeta_placed * wn0 * alpha) * JM;
        const double Kv = (2.0 * zeta_placed * wn0 + alpha) * JM;
        const double Ki = alpha * wn0 * wn0 * JM;
        for (const double ratio : {0.1, 0.5, 0.9, 1.1, 2.0, 10.0}) {
            const double J = ratio * JM;
            const LoopFigures f = closed_loop_figures(J, Kp, Kv, Ki, alpha);
            const double p3 = Ki / (J * f.wn * f.wn);
            const double two_zeta_wn = 2.0 * f.zeta * f.wn;
            expect_relative(J * (two_zeta_wn + p3), Kv, LOOP_TOLERANCE, "Kv");
            expect_relative(J * (f.wn * f.wn + two_zeta_wn * p3), Kp, LOOP_TOLERANCE, "Kp");
            EXPECT_GT(p3, 0.0) << "zeta " << zeta_placed << ", J/JM " << ratio;
        }
    }
}

//------------------------------------------------------------------ figures of a run

namespace {

struct RunCase {
    int robot_type;  // 'a' or 'b'
    int motion;      // 'q', 'p' or 'c'
    int cp;          // path kind for 'c'
};

void PrintTo(const RunCase& c, std::ostream* os) {
    *os << "robot " << (char)c.robot_type << ", motion " << (char)c.motion << ", cp " << c.cp;
}

}  // namespace

class RunFiguresTest : public ProgramTest, public ::testing::WithParamInterface<RunCase> {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        const RunCase c = GetParam();
        params = scenario(c.robot_type, c.motion, c.cp);
        *history_of(params.settings.robot_type) = *run_experiment(params, {}).history;
    }
};

// every figure by a plain scan of the histories, in the words of its definition
TEST_P(RunFiguresTest, FiguresAgreeWithAScanOfTheHistories) {
    const int rt = params.settings.robot_type;
    const ResponseSummary s = summarize_response(params, *history_of(rt), rt);
    const HistorySet& h = *history_of(rt);
    const RobotModel& rm = robot_of(params.model, rt);
    const RobotPlan& rp = robot_of(params.plan, rt);
    const bool ptp = params.settings.motion != 'c';
    const int last = params.settings.n_sample;
    const double dt = params.settings.dt_sample;
    ASSERT_EQ(s.last, last);

    // the sample nearest tf
    int k_tf = 0;
    for (int k = 0; k <= last; ++k) {
        if (std::fabs(k * dt - params.plan.tf) < std::fabs(k_tf * dt - params.plan.tf)) {
            k_tf = k;
        }
    }
    EXPECT_EQ(s.k_tf, k_tf);

    for (int j = 0; j < 2; ++j) {
        SCOPED_TRACE("joint " + std::to_string(j + 1));
        // the motion's travel and where it comes to rest
        const double start = ptp ? rp.theta0[j] : h.theta_ref[0][j];
        const double end = ptp ? rp.thetaf[j] : h.theta_ref[last][j];
        EXPECT_EQ(s.travel[j], end - start);

        double during = 0.0;
        double after = 0.0;
        for (int k = 0; k <= last; ++k) {
            if (k * dt <= params.plan.tf) {
                during = std::max(during, std::fabs(h.theta_err[k][j]));
            } else {
                after = std::max(after, std::fabs(h.theta_err[k][j]));
            }
        }
        EXPECT_EQ(s.max_error_during[j], during);
        EXPECT_EQ(s.max_error_after[j], after);
        EXPECT_EQ(s.error_at_tf[j], h.theta_err[k_tf][j]);
        EXPECT_EQ(s.error_at_end[j], h.theta_err[last][j]);

        // overshoot: the farthest sample beyond the goal, seen from the start
        if (ptp) {
            double beyond = 0.0;
            for (int k = 0; k <= last; ++k) {
                const double past = end > start ? h.theta[k][j] - end : end - h.theta[k][j];
                beyond = std::max(beyond, past);
            }
            expect_relative(s.overshoot_pct[j], 100.0 * beyond / std::fabs(end - start), 1e-15,
                            "overshoot");
        } else {
            EXPECT_FALSE(s.overshoot_applies[j]);
            EXPECT_TRUE(std::isnan(s.overshoot_pct[j]));
        }

        // settling: the first sample from which every later one lies in the band
        const double band = 0.02 * std::fabs(end - start);
        int k_settled = -1;
        for (int k = 0; k <= last && k_settled < 0; ++k) {
            bool inside = true;
            for (int i = k; i <= last; ++i) {
                inside = inside && std::fabs(h.theta[i][j] - end) <= band;
            }
            k_settled = inside ? k : -1;
        }
        ASSERT_GE(k_settled, 0) << "every run here settles";
        EXPECT_EQ(s.settling_time[j], k_settled * dt);

        // drive torque
        const double tau_m = j == 0 ? rm.tau_m1 : rm.tau_m2;
        double peak = 0.0;
        int at_limit = 0;
        for (int k = 0; k <= last; ++k) {
            peak = std::max(peak, std::fabs(h.tau_drive[k][j]));
            // the saturated torque, (tau_m tau) / |tau|, is tau_m to within one rounding
            at_limit += std::fabs(std::fabs(h.tau_drive[k][j]) - tau_m) <= 2e-16 * tau_m ? 1 : 0;
        }
        EXPECT_EQ(s.peak_drive_torque[j], peak);
        expect_relative(s.limit_share_pct[j], 100.0 * at_limit / (last + 1), 1e-15, "share");
        if (params.settings.motion == 'q') {
            EXPECT_GT(at_limit, 0) << "a step drives the motor to its limit";
        }

        // inertia seen, and the loop there
        double J_min = h.inertia_seen[0][j];
        double J_max = J_min;
        for (int k = 0; k <= last; ++k) {
            J_min = std::min(J_min, h.inertia_seen[k][j]);
            J_max = std::max(J_max, h.inertia_seen[k][j]);
        }
        EXPECT_EQ(s.inertia_min[j], J_min);
        EXPECT_EQ(s.inertia_max[j], J_max);
        const double Kp = j == 0 ? rm.Kp1 : rm.Kp2;
        const double Kv = j == 0 ? rm.Kv1 : rm.Kv2;
        const double Ki = j == 0 ? rm.Ki1 : rm.Ki2;
        const double alpha = j == 0 ? params.settings.alpha1 : params.settings.alpha2;
        EXPECT_EQ(s.at_inertia_min[j].wn, closed_loop_figures(J_min, Kp, Kv, Ki, alpha).wn);
        EXPECT_EQ(s.at_inertia_max[j].zeta, closed_loop_figures(J_max, Kp, Kv, Ki, alpha).zeta);
        // a larger inertia makes the loop slower
        EXPECT_LE(s.at_inertia_max[j].wn, s.at_inertia_min[j].wn);
    }

    // the work point's path error
    if (ptp) {
        EXPECT_TRUE(std::isnan(s.max_path_error_mm));
    } else {
        double e = 0.0;
        for (int k = 0; k <= last; ++k) {
            e = std::max(e, std::sqrt(h.pos_err[k][0] * h.pos_err[k][0]
                                      + h.pos_err[k][1] * h.pos_err[k][1]));
        }
        expect_relative(s.max_path_error_mm, 1000.0 * e, 1e-15, "path error");
        EXPECT_GT(s.max_path_error_mm, 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Experiments, RunFiguresTest,
                         ::testing::Values(RunCase{'a', 'q', 0}, RunCase{'b', 'q', 0},
                                           RunCase{'a', 'p', 0}, RunCase{'b', 'p', 0},
                                           RunCase{'a', 'c', 1}, RunCase{'b', 'c', 3},
                                           RunCase{'b', 'c', 4}));

//------------------------------------------------------------------ edges of a run

class SummaryEdgesTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        params = scenario('a', 'p', 0);
        *history_of(params.settings.robot_type) = *run_experiment(params, {}).history;
    }
};

TEST_F(SummaryEdgesTest, TfBeyondTheRunLeavesNoSampleAfterIt) {
    params.plan.tf = 10.0;
    const ResponseSummary s = summarize_response(params, *history_of('a'), 'a');
    EXPECT_EQ(s.n_after, 0);
    EXPECT_EQ(s.k_tf, s.last);
    for (int j = 0; j < 2; ++j) {
        EXPECT_TRUE(std::isnan(s.max_error_after[j]));
        EXPECT_EQ(s.error_at_tf[j], s.error_at_end[j]);
    }
}

TEST_F(SummaryEdgesTest, ALastSampleOutsideTheBandIsNotSettled) {
    const int last = params.settings.n_sample;
    history_cyl.theta[last][0] =
        params.plan.cyl.thetaf[0] + 0.03 * (params.plan.cyl.thetaf[0] - params.plan.cyl.theta0[0]);
    const ResponseSummary s = summarize_response(params, *history_of('a'), 'a');
    EXPECT_TRUE(s.settling_applies[0]);
    EXPECT_TRUE(std::isnan(s.settling_time[0]));
    EXPECT_FALSE(std::isnan(s.settling_time[1]));
}

// the 2 % band after the command is the settling time counted from tf (0 when settled by
// then) for the trapezoid and from 0 for the step; a narrower band is reached later
TEST_F(SummaryEdgesTest, SettlingAfterTheCommandFollowsItsBandAndTheCommandsEnd) {
    const ResponseSummary s2 = summarize_response(params, *history_of('a'), 'a');
    const ResponseSummary s02 = summarize_response(params, *history_of('a'), 'a', 0.002);
    const ResponseSummary s01 = summarize_response(params, *history_of('a'), 'a', 0.001);
    const ParameterSet step = scenario('a', 'q', 0);
    const ResponseSummary s_step = summarize_response(step, *run_experiment(step, {}).history, 'a');
    for (int j = 0; j < 2; ++j) {
        EXPECT_EQ(s2.settling_after_command[j],
                  std::max(0.0, s2.settling_time[j] - params.plan.tf));
        EXPECT_GT(s02.settling_after_command[j], 0.0) << j;
        EXPECT_GT(s01.settling_after_command[j], s02.settling_after_command[j]) << j;
        EXPECT_EQ(s01.settling_time[j], s2.settling_time[j]) << j;
        EXPECT_GT(s_step.settling_time[j], 0.0) << j;
        EXPECT_EQ(s_step.settling_after_command[j], s_step.settling_time[j]) << j;
    }
}

TEST_F(SummaryEdgesTest, RunLengthIsClampedToTheHistories) {
    params.settings.n_sample = HISTORY_LEN + 10;
    EXPECT_EQ(summarize_response(params, *history_of('a'), 'a').last, HISTORY_LEN - 1);
    params.settings.n_sample = -3;
    const ResponseSummary s = summarize_response(params, *history_of('a'), 'a');
    EXPECT_EQ(s.last, 0);
    EXPECT_EQ(s.k_tf, 0);
}

TEST_F(SummaryEdgesTest, ASampleThatIsNotANumberShowsInItsFiguresAsPlainNan) {
    history_cyl.theta_err[50][1] = -std::nan("");  // printed "-nan" unless written with care
    history_cyl.inertia_seen[60][0] = std::nan("");
    const ResponseSummary s = summarize_response(params, *history_of('a'), 'a');
    EXPECT_FALSE(std::isnan(s.max_error_during[0]));
    EXPECT_TRUE(std::isnan(s.max_error_during[1]));
    EXPECT_TRUE(std::isnan(s.inertia_min[0]));
    EXPECT_TRUE(std::isnan(s.at_inertia_max[0].wn));
    EXPECT_FALSE(std::isnan(s.inertia_min[1]));

    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    write_summary(f, params, *history_of(params.settings.robot_type), true);
    std::rewind(f);
    std::string text;
    for (int ch = std::fgetc(f); ch != EOF; ch = std::fgetc(f)) {
        text.push_back((char)ch);
    }
    std::fclose(f);
    EXPECT_NE(text.find("\nmax_error_during_2,nan\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\ninertia_min_1,nan\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("-nan"), std::string::npos) << text;
}

// A closed CP path brings a joint back to the angle it started from; what is left of its net
// travel is rounding of angles of tens of radians, and a settling band of 2 % of that would be
// narrower than the rounding itself: the settling time does not apply, as for no travel.
TEST(SummaryClosedPath, AJointBackAtItsStartHasNoSettlingTime) {
    for (const int robot_type : {'a', 'b'}) {
        SCOPED_TRACE(std::string("robot ") + static_cast<char>(robot_type));
        ParameterSet params = scenario(robot_type, 'c', 2);
        if (robot_type == 'b') {
            // a circle beside the base: both joints swing out and back
            params.settings.circle.Ox = 0.3;
            params.settings.circle.Oy = 0.2;
            params.settings.circle.rr = 0.15;
            params.settings.circle.tf = 1.5;
            update_derived(params);
        }
        const ExperimentRun run = run_experiment(params, {});
        const HistorySet& h = *run.history;
        const ResponseSummary s = summarize_response(params, h, robot_type);
        int closed = 0;
        for (int j = 0; j < 2; ++j) {
            const double net = h.theta_ref[s.last][j] - h.theta_ref[0][j];
            if (std::fabs(net) < 1e-9) {
                ++closed;
                EXPECT_FALSE(s.settling_applies[j]) << "joint " << j + 1 << ", net " << net;
            } else {
                EXPECT_TRUE(s.settling_applies[j]) << "joint " << j + 1;
                EXPECT_FALSE(std::isnan(s.settling_time[j])) << "joint " << j + 1;
            }
        }
        EXPECT_GE(closed, 1) << "the circle returns at least one joint to its start";
    }
}
