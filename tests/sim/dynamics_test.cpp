// Robot dynamics at the motor shafts: printed special cases and the structure of the model.
#include "sim/dynamics.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "tests/support/model_test.h"

#include <cmath>

using namespace robosim;

class DynamicsTest : public ModelTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        params.settings.robot_type = GetParam();
        update_derived(params);
    }
};

// joint values (rad; cylindrical joint 2 in m) to the state's motor angles and speeds
static void joint_state(const ParameterSet& params, int rt, double phi1, double phi2, double w1,
                        double w2, double x[6]) {
    const RobotSettings& rs = robot_of(params.settings, rt);
    x[0] = rs.u1 * phi1;
    x[1] = rs.u2 * phi2;
    x[2] = rs.u1 * w1;
    x[3] = rs.u2 * w2;
    x[4] = 0.0;
    x[5] = 0.0;
}

// potential energy of arm and work in the vertical plane, written out independently (J)
static double potential(const ParameterSet& params, int rt, const double x[6]) {
    const double g = GRAVITY_ACCEL, mw = params.settings.mw;
    if (rt == 'a') {
        const RobotSettings& cs = params.settings.cyl;
        const RobotModel& cm = params.model.cyl;
        const double phi1 = x[0] / cs.u1, r = x[1] / cs.u2;
        const double d = r - (cs.L / 2.0 + params.settings.wc);
        return (cm.m_arm * d + mw * r) * g * std::sin(phi1);
    }
    const RobotSettings& ss = params.settings.scara;
    const RobotModel& sm = params.model.scara;
    const double q1 = x[0] / ss.u1, q12 = q1 + x[1] / ss.u2, lw = ss.L2 + params.settings.wc;
    return g
           * (sm.m1 * sm.lc1 * std::sin(q1)
              + sm.m2 * (ss.L1 * std::sin(q1) + sm.lc2 * std::sin(q12))
              + mw * (ss.L1 * std::sin(q1) + lw * std::sin(q12)));
}

TEST_P(DynamicsTest, InertiaMatrixIsSymmetricAndPositive) {
    const int rt = GetParam();
    for (double q : {-2.5, -0.4, 0.0, 0.9, 2.0}) {
        double x[6], M[4];
        joint_state(params, rt, q, rt == 'a' ? 0.3 + 0.1 * q : q, 0.0, 0.0, x);
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
    joint_state(params, rt, 0.7, rt == 'a' ? 0.45 : 1.1, 1.3, rt == 'a' ? -0.4 : 2.1, x);
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
    const RobotSettings& rs = robot_of(params.settings, rt);
    for (double q : {-1.0, 0.3, 2.2}) {
        double x[6];
        joint_state(params, rt, q, rt == 'a' ? 0.5 : 0.8 - q, 0.0, 0.0, x);
        for (int j = 0; j < 2; ++j) {
            const double dphi = 1e-6;
            double xp[6], xm[6];
            for (int i = 0; i < 6; ++i) {
                xp[i] = xm[i] = x[i];
            }
            const double u = j == 0 ? rs.u1 : rs.u2;
            xp[j] += u * dphi;
            xm[j] -= u * dphi;
            const double slope =
                (potential(params, rt, xp) - potential(params, rt, xm)) / (2.0 * dphi);
            // central difference on a smooth potential of size 10 J: 1e-8 absolute
            EXPECT_NEAR(gravity_torque(params, rt, j, x) * u, slope, 1e-7) << "joint " << j + 1;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BothRobots, DynamicsTest, ::testing::Values('a', 'b'));

//------------------------------------------------------------------ special postures

using PostureTest = ModelTest;

TEST_F(PostureTest, CylindricalArmCentredOnTheAxisLeavesTheWorkTerms) {
    params.settings.robot_type = 'a';
    update_derived(params);
    const RobotSettings& cs = params.settings.cyl;
    const RobotModel& cm = params.model.cyl;
    const double r = cs.L / 2.0 + params.settings.wc;  // arm's centre of mass on the axis: d = 0
    double x[6];
    joint_state(params, 'a', 0.4, r, 1.5, -0.3, x);
    const double mw = params.settings.mw, g = GRAVITY_ACCEL;
    // only the work's terms remain: rounding only
    EXPECT_NEAR(coriolis_torque(params, 'a', 0, x), 2.0 * mw * r * 1.5 * -0.3 / cs.u1, 1e-15);
    EXPECT_NEAR(coriolis_torque(params, 'a', 1, x), -mw * r * 1.5 * 1.5 / cs.u2, 1e-15);
    EXPECT_NEAR(gravity_torque(params, 'a', 0, x), mw * r * g * std::cos(0.4) / cs.u1, 1e-15);
    double M[4];
    inertia_matrix(params, 'a', x, M);
    EXPECT_NEAR(M[0], (cm.IG_arm + params.model.IGw + mw * r * r) / (cs.u1 * cs.u1), 1e-18);
    EXPECT_EQ(M[1], 0.0);
    EXPECT_NEAR(M[3], (cm.m_arm + mw) / (cs.u2 * cs.u2), 1e-18);
}

TEST_F(PostureTest, ScaraStretchedArmHasNoCoriolisTorque) {
    params.settings.robot_type = 'b';
    update_derived(params);
    const RobotSettings& ss = params.settings.scara;
    const RobotModel& sm = params.model.scara;
    double x[6];
    joint_state(params, 'b', 0.6, 0.0, 2.0, -3.0, x);
    EXPECT_EQ(coriolis_torque(params, 'b', 0, x), 0.0);
    EXPECT_EQ(coriolis_torque(params, 'b', 1, x), 0.0);
    const double lw = ss.L2 + params.settings.wc, mw = params.settings.mw;
    const double J22 = sm.m2 * sm.lc2 * sm.lc2 + sm.IG2 + params.model.IGw + mw * lw * lw;
    const double J12 = J22 + (sm.m2 * sm.lc2 + mw * lw) * ss.L1;
    double M[4];
    inertia_matrix(params, 'b', x, M);
    EXPECT_NEAR(M[1], J12 / (ss.u1 * ss.u2), 1e-18);  // rounding of sums of 1e-2 over 3600
}

TEST_F(PostureTest, ScaraHorizontalStartPoseGravity) {
    params.settings.robot_type = 'b';
    update_derived(params);
    const RobotSettings& ss = params.settings.scara;
    const RobotModel& sm = params.model.scara;
    const double x[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    const double lw = ss.L2 + params.settings.wc, mw = params.settings.mw, g = GRAVITY_ACCEL;
    EXPECT_NEAR(gravity_torque(params, 'b', 1, x), (sm.m2 * sm.lc2 + mw * lw) * g / ss.u2, 1e-15);
    EXPECT_NEAR(gravity_torque(params, 'b', 0, x),
                (sm.m1 * sm.lc1 + sm.m2 * (ss.L1 + sm.lc2) + mw * (ss.L1 + lw)) * g / ss.u1, 1e-15);
}

TEST_F(PostureTest, StateEquationPassesSpeedsAndErrors) {
    params.settings.robot_type = 'b';
    params.settings.motion = 'q';
    update_derived(params);
    const double x[6] = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
    EXPECT_EQ(state_derivative(params, &ref_run, 0, 0.3, x, 0.002), 3.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 1, 0.3, x, 0.002), 4.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 4, 0.3, x, 0.002),
              params.plan.scara.thetaf[0] - 1.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 5, 0.3, x, 0.002),
              params.plan.scara.thetaf[1] - 2.0);
    EXPECT_EQ(state_derivative(params, &ref_run, 6, 0.3, x, 0.002),
              0.0);  // no seventh element
}
