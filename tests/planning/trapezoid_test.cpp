// Trapezoidal profiles: evaluation, boundary rule and the PTP planning rule.
#include "planning/trapezoid.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "tests/support/model_test.h"

#include <cmath>

using namespace robosim;

using TrapezoidTest = ModelTest;

TEST_F(TrapezoidTest, NineRadiansInOneSecond) {
    double t1 = 0.0, omega = 0.0, alpha = 0.0;
    plan_ptp_axis(1.0, 9.0, &t1, &omega, &alpha);
    // printed values; rounding of one division only
    EXPECT_NEAR(t1, 0.1, 1e-15);
    EXPECT_NEAR(alpha, 100.0, 1e-12);
    EXPECT_NEAR(omega, 10.0, 1e-13);
    const double q0 = 2.0, qf = 11.0;
    const auto at = [&](double t) {
        return trapezoid_position(t, t1, t1, 1.0, alpha, alpha, omega, q0, qf);
    };
    EXPECT_NEAR(at(0.05), q0 + 0.125, 1e-13);
    EXPECT_NEAR(at(0.5), q0 + 4.5, 1e-13);
    EXPECT_EQ(at(1.0), qf);
    EXPECT_EQ(at(1.7), qf);
    EXPECT_EQ(trapezoid_velocity(1.0, t1, t1, 1.0, alpha, alpha, omega), 0.0);
    EXPECT_EQ(trapezoid_velocity(5.0, t1, t1, 1.0, alpha, alpha, omega), 0.0);
}

TEST_F(TrapezoidTest, ProfileIsContinuousAndItsVelocityIsTheDerivative) {
    for (double distance : {9.0, -4.0, 0.3}) {
        double t1 = 0.0, omega = 0.0, alpha = 0.0;
        const double tf = 1.7;
        plan_ptp_axis(tf, distance, &t1, &omega, &alpha);
        const double h = 1e-6;
        for (int i = 1; i < 200; ++i) {
            const double t = tf * i / 180.0;  // runs past tf
            const double qp =
                trapezoid_position(t + h, t1, t1, tf, alpha, alpha, omega, 0.0, distance);
            const double qm =
                trapezoid_position(t - h, t1, t1, tf, alpha, alpha, omega, 0.0, distance);
            const double v = trapezoid_velocity(t, t1, t1, tf, alpha, alpha, omega);
            // central difference of a piecewise quadratic: exact but for a kink inside +-h,
            // where it is off by at most alpha h
            EXPECT_NEAR((qp - qm) / (2.0 * h), v, std::fabs(alpha) * h + 1e-6) << "t " << t;
        }
    }
}

TEST_F(TrapezoidTest, SignsFollowTheDistance) {
    double t1p, omegap, alphap, t1n, omegan, alphan;
    plan_ptp_axis(2.0, 3.0, &t1p, &omegap, &alphap);
    plan_ptp_axis(2.0, -3.0, &t1n, &omegan, &alphan);
    EXPECT_EQ(alphan, -alphap);
    EXPECT_EQ(omegan, -omegap);
    for (double t : {0.1, 0.7, 1.9}) {
        EXPECT_EQ(trapezoid_position(t, t1n, t1n, 2.0, alphan, alphan, omegan, 0.0, -3.0),
                  -trapezoid_position(t, t1p, t1p, 2.0, alphap, alphap, omegap, 0.0, 3.0));
    }
    double t1z, omegaz, alphaz;
    plan_ptp_axis(2.0, 0.0, &t1z, &omegaz, &alphaz);
    EXPECT_EQ(alphaz, 0.0);
    EXPECT_EQ(omegaz, 0.0);
    EXPECT_EQ(trapezoid_position(0.9, t1z, t1z, 2.0, alphaz, alphaz, omegaz, 1.5, 1.5), 1.5);
}

TEST_F(TrapezoidTest, AtAPhaseBoundaryTheEarlierPhaseHolds) {
    // a profile whose phases do not join, so that each formula shows in the velocity
    const double ta1 = 1.0, ta2 = 1.0, tf = 3.0, a1 = 2.0, a2 = 4.0, v = 10.0;
    EXPECT_EQ(trapezoid_velocity(1.0, ta1, ta2, tf, a1, a2, v), 2.0);   // a1 t, not v
    EXPECT_EQ(trapezoid_velocity(2.0, ta1, ta2, tf, a1, a2, v), 10.0);  // v, not a2 (tf - t)
    EXPECT_EQ(trapezoid_velocity(2.5, ta1, ta2, tf, a1, a2, v), 2.0);   // a2 (tf - t)
    EXPECT_EQ(trapezoid_position(2.0, ta1, ta2, tf, a1, a2, v, 0.0, 100.0), 11.0);
    EXPECT_EQ(trapezoid_position(3.0, ta1, ta2, tf, a1, a2, v, 0.0, 100.0), 100.0);
}

class PtpPlanningTest : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(PtpPlanningTest, BothMotorsArriveTogetherAtTf) {
    params.settings.robot_type = GetParam();
    params.settings.motion = 'p';
    update_derived(params);
    const RobotPlan& rp = robot_of(params.plan, GetParam());
    EXPECT_EQ(rp.t11, rp.t12);
    EXPECT_NEAR(rp.t11, 0.1 * params.plan.tf, 1e-15);
    const double end1 =
        trapezoid_position(params.plan.tf, rp.t11, rp.t11, params.plan.tf, rp.alpha_m1, rp.alpha_m1,
                           rp.omega_m1, rp.theta0[0], rp.thetaf[0]);
    const double end2 =
        trapezoid_position(params.plan.tf, rp.t12, rp.t12, params.plan.tf, rp.alpha_m2, rp.alpha_m2,
                           rp.omega_m2, rp.theta0[1], rp.thetaf[1]);
    EXPECT_EQ(end1, rp.thetaf[0]);
    EXPECT_EQ(end2, rp.thetaf[1]);
    // the constant phase joins the deceleration: the travel is covered exactly
    const double t_dec = params.plan.tf - rp.t11;
    const double q_dec =
        rp.theta0[0] + rp.alpha_m1 * rp.t11 * rp.t11 / 2.0 + rp.omega_m1 * (t_dec - rp.t11);
    EXPECT_NEAR(q_dec + rp.alpha_m1 * rp.t11 * rp.t11 / 2.0, rp.thetaf[0],
                1e-12 * std::fabs(rp.thetaf[0] - rp.theta0[0]) + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(BothRobots, PtpPlanningTest, ::testing::Values('a', 'b'));

TEST_F(TrapezoidTest, ZeroTimeGivesNonFiniteValuesWithoutACrash) {
    double t1 = 0.0, omega = 0.0, alpha = 0.0;
    plan_ptp_axis(0.0, 1.0, &t1, &omega, &alpha);
    EXPECT_EQ(t1, 0.0);
    EXPECT_TRUE(std::isinf(alpha));
    EXPECT_TRUE(std::isnan(omega));  // inf * 0
    // after the zero-length motion the end value holds
    EXPECT_EQ(trapezoid_position(0.5, t1, t1, 0.0, alpha, alpha, omega, 0.0, 1.0), 1.0);
    params.settings.motion = 'p';
    params.settings.trap.tf = 0.0;
    update_derived(params);
    EXPECT_FALSE(std::isfinite(params.plan.scara.alpha_m1));
}
