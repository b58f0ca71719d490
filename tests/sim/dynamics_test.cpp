// Robot dynamics at the motor shafts: printed special cases and the structure of the model.
#include "sim/dynamics.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "tests/support/model_test.h"

#include <cmath>

class DynamicsTest : public ModelTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        params.robot_type = GetParam();
        update_derived(params);
    }
};

// joint values (rad; cylindrical joint 2 in m) to the state's motor angles and speeds
static void joint_state(int rt, double phi1, double phi2, double w1, double w2, double x[6]) {
    const RobotRecord& r = *robot_record(params, rt);
    x[0] = r.u1 * phi1;
    x[1] = r.u2 * phi2;
    x[2] = r.u1 * w1;
    x[3] = r.u2 * w2;
    x[4] = 0.0;
    x[5] = 0.0;
}

// potential energy of arm and work in the vertical plane, written out independently (J)
static double potential(int rt, const double x[6]) {
    const double g = GRAVITY_ACCEL, mw = params.mw;
    if (rt == 'a') {
        const RobotRecord& c = params.cyl;
        const double phi1 = x[0] / c.u1, r = x[1] / c.u2;
        const double d = r - (c.L / 2.0 + params.wc);
        return (c.m_arm * d + mw * r) * g * std::sin(phi1);
    }
    const RobotRecord& s = params.scara;
    const double q1 = x[0] / s.u1, q12 = q1 + x[1] / s.u2, lw = s.L2 + params.wc;
    return g
           * (s.m1 * s.lc1 * std::sin(q1) + s.m2 * (s.L1 * std::sin(q1) + s.lc2 * std::sin(q12))
              + mw * (s.L1 * std::sin(q1) + lw * std::sin(q12)));
}

TEST_P(DynamicsTest, InertiaMatrixIsSymmetricAndPositive) {
    const int rt = GetParam();
    for (double q : {-2.5, -0.4, 0.0, 0.9, 2.0}) {
        double x[6], M[4];
        joint_state(rt, q, rt == 'a' ? 0.3 + 0.1 * q : q, 0.0, 0.0, x);
        inertia_matrix(params, rt, x, M);
        EXPECT_EQ(M[1], M[2]);
        EXPECT_GT(M[0], 0.0);
        EXPECT_GT(M[0] * M[3] - M[1] * M[2], 0.0);
    }
}

// the Coriolis and centrifugal torques belong to the inertia matrix: their power equals
// half the rate of change of the kinetic energy's matrix, x_dot' C = x_dot' M_dot x_dot / 2
TEST_P(DynamicsTest, CoriolisTorquesAreConsistentWithTheInertiaMatrix) {
    const int rt = GetParam();
    double x[6];
    joint_state(rt, 0.7, rt == 'a' ? 0.45 : 1.1, 1.3, rt == 'a' ? -0.4 : 2.1, x);
    const double dt = 1e-6;
    double xp[6], xm[6];
    for (int i = 0; i < 6; ++i) {
        xp[i] = x[i] + (i < 2 ? dt * x[i + 2] : 0.0);
        xm[i] = x[i] - (i < 2 ? dt * x[i + 2] : 0.0);
    }
    double Mp[4], Mm[4];
    inertia_matrix(params, rt, xp, Mp);
    inertia_matrix(params, rt, xm, Mm);
    double half_xMx = 0.0;
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < 2; ++c) {
            half_xMx += 0.5 * x[2 + r] * (Mp[2 * r + c] - Mm[2 * r + c]) / (2.0 * dt) * x[2 + c];
        }
    }
    const double power =
        x[2] * coriolis_torque(params, rt, 0, x) + x[3] * coriolis_torque(params, rt, 1, x);
    // central difference: relative truncation dt^2, cancellation 1e-16/dt
    EXPECT_NEAR(power, half_xMx, 1e-7 * std::fabs(power) + 1e-12);
}

// the gravity torques are the slope of the potential energy, joint by joint, at the motors
TEST_P(DynamicsTest, GravityTorquesAreTheSlopeOfThePotential) {
    const int rt = GetParam();
    const RobotRecord& r = *robot_record(params, rt);
    for (double q : {-1.0, 0.3, 2.2}) {
        double x[6];
        joint_state(rt, q, rt == 'a' ? 0.5 : 0.8 - q, 0.0, 0.0, x);
        for (int j = 0; j < 2; ++j) {
            const double dphi = 1e-6;
            double xp[6], xm[6];
            for (int i = 0; i < 6; ++i) {
                xp[i] = xm[i] = x[i];
            }
            const double u = j == 0 ? r.u1 : r.u2;
            xp[j] += u * dphi;
            xm[j] -= u * dphi;
            const double slope = (potential(rt, xp) - potential(rt, xm)) / (2.0 * dphi);
            // central difference on a smooth potential of size 10 J: 1e-8 absolute
            EXPECT_NEAR(gravity_torque(params, rt, j, x) * u, slope, 1e-7) << "joint " << j + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothRobots, DynamicsTest, ::testing::Values('a', 'b'));

//------------------------------------------------------------------ special postures

using PostureTest = ModelTest;

TEST_F(PostureTest, CylindricalArmCentredOnTheAxisLeavesTheWorkTerms) {
    params.robot_type = 'a';
    update_derived(params);
    const RobotRecord& c = params.cyl;
    const double r = c.L / 2.0 + params.wc;  // arm's centre of mass on the axis: d = 0
    double x[6];
    joint_state('a', 0.4, r, 1.5, -0.3, x);
    const double mw = params.mw, g = GRAVITY_ACCEL;
    // only the work's terms remain: rounding only
    EXPECT_NEAR(coriolis_torque(params, 'a', 0, x), 2.0 * mw * r * 1.5 * -0.3 / c.u1, 1e-15);
    EXPECT_NEAR(coriolis_torque(params, 'a', 1, x), -mw * r * 1.5 * 1.5 / c.u2, 1e-15);
    EXPECT_NEAR(gravity_torque(params, 'a', 0, x), mw * r * g * std::cos(0.4) / c.u1, 1e-15);
    double M[4];
    inertia_matrix(params, 'a', x, M);
    EXPECT_NEAR(M[0], (c.IG_arm + params.IGw + mw * r * r) / (c.u1 * c.u1), 1e-18);
    EXPECT_EQ(M[1], 0.0);
    EXPECT_NEAR(M[3], (c.m_arm + mw) / (c.u2 * c.u2), 1e-18);
}

TEST_F(PostureTest, ScaraStretchedArmHasNoCoriolisTorque) {
    params.robot_type = 'b';
    update_derived(params);
    const RobotRecord& s = params.scara;
    double x[6];
    joint_state('b', 0.6, 0.0, 2.0, -3.0, x);
    EXPECT_EQ(coriolis_torque(params, 'b', 0, x), 0.0);
    EXPECT_EQ(coriolis_torque(params, 'b', 1, x), 0.0);
    const double lw = s.L2 + params.wc, mw = params.mw;
    const double J22 = s.m2 * s.lc2 * s.lc2 + s.IG2 + params.IGw + mw * lw * lw;
    const double J12 = J22 + (s.m2 * s.lc2 + mw * lw) * s.L1;
    double M[4];
    inertia_matrix(params, 'b', x, M);
    EXPECT_NEAR(M[1], J12 / (s.u1 * s.u2), 1e-18);  // rounding of sums of 1e-2 over 3600
}

TEST_F(PostureTest, ScaraHorizontalStartPoseGravity) {
    params.robot_type = 'b';
    update_derived(params);
    const RobotRecord& s = params.scara;
    const double x[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    const double lw = s.L2 + params.wc, mw = params.mw, g = GRAVITY_ACCEL;
    EXPECT_NEAR(gravity_torque(params, 'b', 1, x), (s.m2 * s.lc2 + mw * lw) * g / s.u2, 1e-15);
    EXPECT_NEAR(gravity_torque(params, 'b', 0, x),
                (s.m1 * s.lc1 + s.m2 * (s.L1 + s.lc2) + mw * (s.L1 + lw)) * g / s.u1, 1e-15);
}

TEST_F(PostureTest, StateEquationPassesSpeedsAndErrors) {
    params.robot_type = 'b';
    params.motion = 'q';
    update_derived(params);
    const double x[6] = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    EXPECT_EQ(state_derivative(params, &ref_run, 'b', 0, 0.3, x), 3.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 'b', 1, 0.3, x), 4.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 'b', 4, 0.3, x), params.scara.thetaf[0] - 1.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 'b', 5, 0.3, x), params.scara.thetaf[1] - 2.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 'b', 6, 0.3, x), 0.0);  // no seventh element
}
