// Inverse kinematics, unwrapping and Jacobians of both robots.
#include "planning/kinematics.h"

#include "model/parameters.h"
#include "tests/support/console_capture.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <string>

using namespace robosim;

using KinematicsTest = ModelTest;

// work point of joint vector phi by the kinematic model the Jacobian differentiates
static void forward(const ParameterSet& params, int robot_type, const double phi[2],
                    double pos[2]) {
    if (robot_type == 'a') {
        pos[0] = phi[1] * std::cos(phi[0]);
        pos[1] = phi[1] * std::sin(phi[0]);
    } else {
        const double L1 = params.settings.scara.L1,
                     L2e = params.settings.scara.L2 + params.settings.wc;
        pos[0] = L1 * std::cos(phi[0]) + L2e * std::cos(phi[0] + phi[1]);
        pos[1] = L1 * std::sin(phi[0]) + L2e * std::sin(phi[0] + phi[1]);
    }
}

static void inverse(const ParameterSet& params, int robot_type, double x, double y,
                    const double ref[2], double phi[2], double theta[2]) {
    if (robot_type == 'a') {
        ik_cylindrical(params.settings, x, y, ref, phi, theta);
    } else {
        ik_scara(params.settings, x, y, ref, phi, theta);
    }
}

//------------------------------------------------------------------ cylindrical robot

TEST_F(KinematicsTest, CylindricalPointOnTheXAxis) {
    const double zero[2] = {0.0, 0.0};
    double phi[2], theta[2];
    ik_cylindrical(params.settings, 0.3, 0.0, zero, phi, theta);
    EXPECT_EQ(phi[0], 0.0);
    EXPECT_EQ(phi[1], 0.3);
    EXPECT_EQ(theta[0], 0.0);
    EXPECT_EQ(theta[1], 0.3 * params.settings.cyl.u2);
}

TEST_F(KinematicsTest, CylindricalOriginHasAFiniteSolution) {
    const double zero[2] = {0.0, 0.0};
    double phi[2], theta[2];
    ik_cylindrical(params.settings, 0.0, 0.0, zero, phi, theta);
    EXPECT_EQ(phi[0], 0.0);
    EXPECT_EQ(phi[1], 0.0);
}

//------------------------------------------------------------------ SCARA reach

TEST_F(KinematicsTest, ScaraFullyStretchedIsReachedWithoutAMessage) {
    install_console_capture();
    const double zero[2] = {0.0, 0.0};
    double phi[2], theta[2];
    const double reach = params.settings.scara.L1 + params.settings.scara.L2 + params.settings.wc;
    const double angle = 0.7;
    ik_scara(params.settings, reach * std::cos(angle), reach * std::sin(angle), zero, phi, theta);
    // c = -1 up to the rounding of r: beta = pi within a few 1e-8 (acos is steep at -1)
    EXPECT_NEAR(phi[1], 0.0, 1e-7);
    EXPECT_NEAR(phi[0], angle, 1e-7);
    EXPECT_TRUE(console_capture.text.empty());

    ik_scara(params.settings, 0.8, 0.0, zero, phi, theta);  // c is -1 exactly here
    EXPECT_NEAR(phi[1], 0.0, 1e-14);                        // PI less the double pi: 3.2e-15
    EXPECT_EQ(phi[0], 0.0);
    EXPECT_TRUE(console_capture.text.empty());
    EXPECT_EQ(console_capture.key_waits, 0);
}

TEST_F(KinematicsTest, ScaraOriginWithEqualArmsIsNotANumberWithoutAMessage) {
    install_console_capture();
    const double zero[2] = {0.0, 0.0};
    double phi[2], theta[2];
    ASSERT_DOUBLE_EQ(params.settings.scara.L1, params.settings.scara.L2 + params.settings.wc);
    ik_scara(params.settings, 0.0, 0.0, zero, phi, theta);  // c = 1, but gamma is acos(0/0)
    EXPECT_TRUE(std::isnan(phi[0]));
    EXPECT_TRUE(console_capture.text.empty());
}

// planning only tells its caller: the program decides what to print and whether to wait
TEST_F(KinematicsTest, ScaraOutOfReachIsToldToTheCallerOnly) {
    install_console_capture();
    const double zero[2] = {0.0, 0.0};
    double phi[2], theta[2];
    EXPECT_FALSE(ik_scara(params.settings, 0.9, 0.1, zero, phi, theta));
    EXPECT_TRUE(std::isnan(phi[0]));
    EXPECT_TRUE(std::isnan(phi[1]));
    EXPECT_TRUE(std::isnan(theta[1]));
    EXPECT_TRUE(ik_scara(params.settings, 0.3, 0.1, zero, phi, theta));
    params.plan.x0 = 0.3;
    params.plan.xf = 0.9;
    params.plan.yf = 0.1;
    const ReachReport ends = convert_motion_ends(params.settings, params.plan, 'b');
    ASSERT_EQ(ends.count, 1);  // the end only
    EXPECT_EQ(ends.points[0].x, 0.9);
    EXPECT_EQ(ends.points[0].y, 0.1);
    EXPECT_TRUE(console_capture.text.empty());
    EXPECT_EQ(console_capture.key_waits, 0);
}

TEST_F(KinematicsTest, ScaraElbowConfigurationIsFixed) {
    const double zero[2] = {0.0, 0.0};
    double phi[2], theta[2];
    for (double a = -3.0; a <= 3.0; a += 0.5) {
        ik_scara(params.settings, 0.5 * std::cos(a), 0.5 * std::sin(a), zero, phi, theta);
        // arm 2 folds the same way everywhere: phi2 in [0, pi], arm 1 clockwise of the target
        EXPECT_GT(phi[1], 0.0);
        EXPECT_LT(phi[1], PI);
    }
}

//------------------------------------------------------------------ both robots

class BothRobotsTest : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(BothRobotsTest, ForwardOfInverseIsTheIdentity) {
    const int rt = GetParam();
    const double zero[2] = {0.0, 0.0};
    for (double r = 0.1; r < 0.75; r += 0.13) {
        for (double a = -3.1; a < 3.2; a += 0.4) {
            double phi[2], theta[2], pos[2];
            inverse(params, rt, r * std::cos(a), r * std::sin(a), zero, phi, theta);
            forward(params, rt, phi, pos);
            // a few trigonometric terms of at most 0.4 m: rounding only
            EXPECT_NEAR(pos[0], r * std::cos(a), 1e-12);
            EXPECT_NEAR(pos[1], r * std::sin(a), 1e-12);
            const RobotSettings& recs = robot_of(params.settings, rt);
            EXPECT_EQ(theta[0], recs.u1 * phi[0]);
            EXPECT_EQ(theta[1], recs.u2 * phi[1]);
        }
    }
}

TEST_P(BothRobotsTest, JacobianIsTheDerivativeOfTheKinematics) {
    const int rt = GetParam();
    const double h = 1e-6;
    const double phis[3][2] = {{0.3, 0.5}, {-2.0, 1.2}, {2.9, 0.2}};
    for (const auto& phi : phis) {
        double J[4];
        jacobian(params.settings, rt, phi, J);
        for (int j = 0; j < 2; ++j) {
            double plus[2] = {phi[0], phi[1]}, minus[2] = {phi[0], phi[1]};
            plus[j] += h;
            minus[j] -= h;
            double pp[2], pm[2];
            forward(params, rt, plus, pp);
            forward(params, rt, minus, pm);
            // central difference: truncation h^2 ~ 1e-12, cancellation 1e-16/h ~ 1e-10
            EXPECT_NEAR(J[j], (pp[0] - pm[0]) / (2.0 * h), 1e-9);
            EXPECT_NEAR(J[2 + j], (pp[1] - pm[1]) / (2.0 * h), 1e-9);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Robots, BothRobotsTest, ::testing::Values('a', 'b'));

TEST_F(KinematicsTest, JacobianOfATypeWithoutARobotIsUntouched) {
    const double phi[2] = {0.3, 0.4};
    double J[4] = {1.0, 2.0, 3.0, 4.0};
    jacobian(params.settings, 'x', phi, J);
    EXPECT_EQ(J[0], 1.0);
    EXPECT_EQ(J[3], 4.0);
}

TEST_F(KinematicsTest, JacobianDeterminantsVanishAtTheSingularPostures) {
    double J[4];
    const double cyl_axis[2] = {0.7, 0.0};
    jacobian(params.settings, 'a', cyl_axis, J);
    EXPECT_EQ(J[0] * J[3] - J[1] * J[2], 0.0);
    const double phi[2] = {0.7, 0.9};
    jacobian(params.settings, 'a', phi, J);
    EXPECT_NEAR(J[0] * J[3] - J[1] * J[2], -0.9, 1e-15);  // det = -phi2
    jacobian(params.settings, 'b', phi, J);
    const double L2e = params.settings.scara.L2 + params.settings.wc;
    EXPECT_NEAR(J[0] * J[3] - J[1] * J[2], params.settings.scara.L1 * L2e * std::sin(0.9), 1e-15);
}

//------------------------------------------------------------------ unwrapping

TEST_F(KinematicsTest, UnwrappingTakesTheCandidateNearestTheReference) {
    const double ref[2] = {-3.0, 0.0};
    const double raw[2] = {3.0, 0.3};
    double phi[2];
    unwrap_joint_angles(ref, raw, phi);
    EXPECT_EQ(phi[0], 3.0 - 2.0 * PI);
    EXPECT_EQ(phi[1], 0.3);

    const double far_ref[2] = {3.0 + 4.0 * PI, -3.0 - 4.0 * PI};
    const double far_raw[2] = {3.0, -3.0};
    unwrap_joint_angles(far_ref, far_raw, phi);
    EXPECT_EQ(phi[0], 3.0 + 4.0 * PI);
    EXPECT_EQ(phi[1], -3.0 - 4.0 * PI);

    // shifts of more than 4 pi are never made
    const double too_far[2] = {3.0 + 6.0 * PI, 0.0};
    unwrap_joint_angles(too_far, far_raw, phi);
    EXPECT_EQ(phi[0], 3.0 + 4.0 * PI);
}

TEST_F(KinematicsTest, UnwrappingTiesKeepTheEarlierCandidate) {
    const double ref[2] = {0.0, 0.0};
    double phi[2];
    // a difference of exactly -pi or +pi: the raw value is the first candidate and stays
    const double raw[2] = {-PI, PI};
    unwrap_joint_angles(ref, raw, phi);
    EXPECT_EQ(phi[0], -PI);
    EXPECT_EQ(phi[1], PI);
    // the same ties seen from the other side: raw 0 with the reference at +-pi
    const double ref_pi[2] = {PI, -PI};
    const double raw0[2] = {0.0, 0.0};
    unwrap_joint_angles(ref_pi, raw0, phi);
    EXPECT_EQ(phi[0], 0.0);
    EXPECT_EQ(phi[1], 0.0);
}
