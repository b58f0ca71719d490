// The reference generator over every motion of both robots.
#include "planning/reference.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/cp_path.h"
#include "planning/experiment.h"
#include "tests/support/console_capture.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <tuple>

using namespace robosim;

using ReferenceTest = ModelTest;

// (robot type, motion, cp)
using Experiment = std::tuple<int, int, int>;

class EveryMotionTest : public ModelTest, public ::testing::WithParamInterface<Experiment> {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        const auto [rt, motion, cp] = GetParam();
        params.settings.robot_type = rt;
        params.settings.motion = motion;
        params.settings.cp = cp;
        update_derived(params);
    }
};

TEST_P(EveryMotionTest, EndsAtTheGoalAtRest) {
    const auto [rt, motion, cp] = GetParam();
    const RobotSettings& rs = robot_of(params.settings, rt);
    const RobotPlan& rp = robot_of(params.plan, rt);
    double pos[2], vel[2];
    // a CP run must advance in small steps for the unwrapping to follow the path
    const int n = 400;
    for (int k = 0; k <= n; ++k) {
        reference_at(params, &ref_run, rt, motion, cp, k * params.plan.tf / n, pos, vel);
    }
    for (double t : {params.plan.tf, params.plan.tf + 0.5, 4.0}) {
        reference_at(params, &ref_run, rt, motion, cp, t, pos, vel);
        if (motion == 'c') {
            // the work point of the commanded joints is the path's end (the sine's is 3e-5 m
            // short of the nominal end, so compare with the path, not with xf)
            double end[2], end_vel[2];
            evaluate_cp_path(params, nullptr, cp, params.plan.sf, 0.0, end, end_vel);
            const double phi[2] = {pos[0] / rs.u1, pos[1] / rs.u2};
            double x = phi[1] * std::cos(phi[0]), y = phi[1] * std::sin(phi[0]);
            if (rt == 'b') {
                const double L2e = params.settings.scara.L2 + params.settings.wc;
                x = params.settings.scara.L1 * std::cos(phi[0]) + L2e * std::cos(phi[0] + phi[1]);
                y = params.settings.scara.L1 * std::sin(phi[0]) + L2e * std::sin(phi[0] + phi[1]);
            }
            // inverse then forward kinematics: rounding only
            EXPECT_NEAR(x, end[0], 1e-12) << "t " << t;
            EXPECT_NEAR(y, end[1], 1e-12) << "t " << t;
        } else {
            EXPECT_EQ(pos[0], rp.thetaf[0]);
            EXPECT_EQ(pos[1], rp.thetaf[1]);
        }
        EXPECT_EQ(vel[0], 0.0);
        EXPECT_EQ(vel[1], 0.0);
    }
}

TEST_P(EveryMotionTest, VelocityIsTheRateOfThePosition) {
    const auto [rt, motion, cp] = GetParam();
    const int n = 400;
    const double dt = params.plan.tf / n;
    double prev[2], pos[2], vel[2], vel_prev[2];
    reference_at(params, &ref_run, rt, motion, cp, 0.0, prev, vel_prev);
    for (int k = 1; k <= n; ++k) {
        reference_at(params, &ref_run, rt, motion, cp, k * dt, pos, vel);
        if (motion == 'q') {  // the step stands from t = 0 on: no rate at any time
            EXPECT_EQ(vel[0], 0.0);
            EXPECT_EQ(vel[1], 0.0);
        }
        for (int i = 0; i < 2; ++i) {
            // trapezoidal rule on a step of tf/400: the motor speeds reach about 100 rad/s
            // and change by at most a few rad/s per step, so 2e-3 of a radian covers it
            const double predicted = prev[i] + 0.5 * dt * (vel[i] + vel_prev[i]);
            EXPECT_NEAR(pos[i], predicted, 2e-3) << "motor " << i + 1 << " t " << k * dt;
            prev[i] = pos[i];
            vel_prev[i] = vel[i];
        }
    }
}

TEST_P(EveryMotionTest, StartsAtTheStartOrTheStep) {
    const auto [rt, motion, cp] = GetParam();
    const RobotPlan& rp = robot_of(params.plan, rt);
    double pos[2], vel[2];
    reference_at(params, &ref_run, rt, motion, cp, 0.0, pos, vel);
    const double* expected = motion == 'q' ? rp.thetaf : rp.theta0;  // the step is there at t = 0
    EXPECT_NEAR(pos[0], expected[0], 1e-9);
    EXPECT_NEAR(pos[1], expected[1], 1e-9);
    EXPECT_EQ(vel[0], 0.0);
    EXPECT_EQ(vel[1], 0.0);
}

INSTANTIATE_TEST_SUITE_P(Ptp, EveryMotionTest,
                         ::testing::Combine(::testing::Values('a', 'b'),
                                            ::testing::Values('q', 'p'), ::testing::Values(4)));
INSTANTIATE_TEST_SUITE_P(Cp, EveryMotionTest,
                         ::testing::Combine(::testing::Values('a', 'b'), ::testing::Values('c'),
                                            ::testing::Values(1, 2, 3, 4)));

//------------------------------------------------------------------ unwrapping along a run

TEST_F(ReferenceTest, CircleAroundTheAxisKeepsTurningJointOne) {
    params.settings.robot_type = 'a';
    params.settings.motion = 'c';
    params.settings.cp = 2;
    params.settings.circle.Ox = 0.0;
    params.settings.circle.x0 = params.settings.circle.xf = params.settings.circle.rr;
    update_derived(params);
    double pos[2], vel[2];
    double last = 0.0;
    for (int k = 0; k <= 200; ++k) {
        reference_at(params, &ref_run, 'a', 'c', 2, k * params.plan.tf / 200.0, pos, vel);
        const double phi1 = pos[0] / params.settings.cyl.u1;
        EXPECT_LT(std::fabs(phi1 - last), 0.1) << "no jump of 2 pi at step " << k;
        last = phi1;
    }
    EXPECT_NEAR(last, 2.0 * PI, 1e-9);  // one full turn, not back to 0
    EXPECT_EQ(ref_run.prev_phi[0], last);
}

TEST_F(ReferenceTest, LineThroughTheAxisFlipsJointOneByHalfATurn) {
    params.settings.robot_type = 'a';
    params.settings.motion = 'c';
    params.settings.cp = 1;
    params.settings.line.x0 = -0.3;
    params.settings.line.y0 = 0.0;
    params.settings.line.xf = 0.3;
    params.settings.line.yf = 0.0;
    update_derived(params);
    double pos[2], vel[2];
    reference_at(params, &ref_run, 'a', 'c', 1, 0.0, pos, vel);
    const double before = pos[0] / params.settings.cyl.u1;
    reference_at(params, &ref_run, 'a', 'c', 1, params.plan.tf, pos, vel);
    const double after = pos[0] / params.settings.cyl.u1;
    EXPECT_NEAR(std::fabs(after - before), PI, 1e-9);  // only multiples of 2 pi are corrected
    EXPECT_GE(pos[1], 0.0);                            // r never becomes negative

    // on the axis det = -phi2 = 0: the joint speeds are not finite
    reference_at(params, &ref_run, 'a', 'c', 1, params.plan.tf / 2.0, pos, vel);
    EXPECT_NEAR(pos[1], 0.0, 1e-12);
    EXPECT_FALSE(std::isfinite(vel[0]) && std::isfinite(vel[1]));
}

TEST_F(ReferenceTest, TimeZeroResetsTheUnwrapping) {
    params.settings.robot_type = 'a';
    params.settings.motion = 'c';
    params.settings.cp = 2;
    params.settings.circle.Ox = 0.0;
    params.settings.circle.x0 = params.settings.circle.xf = params.settings.circle.rr;
    update_derived(params);
    double pos[2], vel[2];
    for (int k = 0; k <= 100; ++k) {
        reference_at(params, &ref_run, 'a', 'c', 2, k * params.plan.tf / 100.0, pos, vel);
    }
    EXPECT_GT(ref_run.prev_phi[0], PI);
    reference_at(params, &ref_run, 'a', 'c', 2, 0.0, pos, vel);
    EXPECT_NEAR(ref_run.prev_phi[0], 0.0, 1e-15);
    EXPECT_NEAR(pos[0], 0.0, 1e-12);
}

//------------------------------------------------------------------ unreachable SCARA paths

// planning tells the program, which prints: a conversion reports the motion's ends, a run
// its first unreachable point, and a new run reports again
TEST_F(ReferenceTest, UnreachablePathIsReportedOncePerRunAndPrintsNothing) {
    install_console_capture();
    params.settings.robot_type = 'b';
    params.settings.motion = 'c';
    params.settings.cp = 2;
    params.settings.circle.rr = 0.7;  // reaches 0.9 m from the axis: out of the 0.8 m reach
    params.settings.circle.x0 = params.settings.circle.xf =
        params.settings.circle.Ox + params.settings.circle.rr;
    EXPECT_EQ(update_derived(params).count, 2);  // the start and the end
    for (int run = 0; run < 2; ++run) {
        ref_run = new_reference_run();
        double pos[2], vel[2];
        int not_a_number = 0;
        for (int k = 0; k <= 2000; ++k) {
            reference_at(params, &ref_run, 'b', 'c', 2, k * 4.0 / 2000.0, pos, vel);
            not_a_number += std::isnan(pos[0]) ? 1 : 0;
        }
        EXPECT_GT(not_a_number, 100);
        EXPECT_EQ(ref_run.unreachable.count, 1) << run;
    }
    EXPECT_TRUE(console_capture.text.empty());
    EXPECT_EQ(console_capture.key_waits, 0);
}

TEST_F(ReferenceTest, UnknownMotionHoldsTheStart) {
    update_derived(params);
    double pos[2] = {9.0, 9.0}, vel[2] = {9.0, 9.0};
    reference_at(params, &ref_run, 'b', 'z', 4, 0.7, pos, vel);
    EXPECT_EQ(pos[0], params.plan.scara.theta0[0]);
    EXPECT_EQ(pos[1], params.plan.scara.theta0[1]);
    EXPECT_EQ(vel[0], 0.0);
    EXPECT_EQ(vel[1], 0.0);
}
