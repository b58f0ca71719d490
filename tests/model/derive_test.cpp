// The derived model: golden values of the default robots and the invariants of update_derived.
#include "model/derive.h"

#include "model/parameters.h"
#include "planning/experiment.h"
#include "planning/kinematics.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <cstring>
#include <tuple>

using namespace robosim;

using DeriveTest = ModelTest;

//------------------------------------------------------------------ work, motors, gears

TEST_F(DeriveTest, WorkBlockGrowsWithTheCubeRootOfItsMass) {
    derive_work(params.model, 1.0);
    EXPECT_NEAR(params.model.work_a, 0.1, 1e-15);  // cbrt(1) is exact
    EXPECT_NEAR(params.model.work_b, 0.12, 1e-15);
    EXPECT_NEAR(params.model.IGw, 2.03e-3, 0.005e-3);  // printed to 3 digits
    derive_work(params.model, 8.0);
    EXPECT_NEAR(params.model.work_a, 0.2, 1e-15);
}

TEST_F(DeriveTest, MotorDataFollowFromThePower) {
    for (int rt : {'a', 'b'}) {
        RobotSettings& rs = robot_of(params.settings, rt);
        RobotModel& rm = robot_of(params.model, rt);
        rs.PW1 = 110.0;
        rs.PW2 = 200.0;
        derive_motor(params.settings, params.model, rt);
        EXPECT_NEAR(rm.IM1, 3.63e-5, 0.005e-5);  // printed to 3 digits
        EXPECT_NEAR(rm.tau_m1, 0.44, 0.005);     // printed to 2 digits
        EXPECT_NEAR(rm.IM2, 1.2e-4, 0.05e-4);    // printed to 2 digits
        EXPECT_NEAR(rm.tau_m2, 0.8, 0.05);       // printed to 1 digit
    }
}

struct GearCase {
    double u, eta_fwd, eta_rev, tolerance;
};

class GearTest : public ModelTest, public ::testing::WithParamInterface<GearCase> {};

TEST_P(GearTest, ReverseEfficiencyOfTheWormGear) {
    const GearCase g = GetParam();
    for (int rt : {'a', 'b'}) {
        RobotSettings& rs = robot_of(params.settings, rt);
        RobotModel& rm = robot_of(params.model, rt);
        rs.u1 = g.u;
        rs.eta_fwd1 = g.eta_fwd;
        rs.u2 = g.u;
        rs.eta_fwd2 = g.eta_fwd;
        derive_gear(params.settings, params.model, rt);
        EXPECT_NEAR(rm.eta_rev1, g.eta_rev, g.tolerance) << "robot " << char(rt);
        EXPECT_EQ(rm.eta_rev2, rm.eta_rev1);
    }
}

// tolerances: half a unit in the last printed digit; eta_fwd = 1 is an identity of the formula
INSTANTIATE_TEST_SUITE_P(
    PrintedValues, GearTest,
    ::testing::Values(GearCase{100.0, 0.6, 0.333, 0.0005}, GearCase{60.0, 0.6, 0.334, 0.0005},
                      GearCase{100.0, 1.0, 1.0, 1e-12}, GearCase{60.0, 1.0, 1.0, 1e-12},
                      GearCase{100.0, 0.5, 2.0e-4, 0.05e-4}, GearCase{100.0, 0.4, -0.50, 0.005}));

//------------------------------------------------------------------ links and nominal inertia

TEST_F(DeriveTest, CylindricalRobotModel) {
    params.settings.robot_type = 'a';
    update_derived(params);
    const RobotModel& cm = params.model.cyl;
    EXPECT_NEAR(cm.d, 0.05, 1e-15);
    EXPECT_NEAR(cm.d2, 0.10, 1e-15);
    EXPECT_NEAR(cm.d3, 0.15, 1e-15);
    // golden values printed to 3 digits: half a unit in the last
    EXPECT_NEAR(cm.m_arm, 0.747, 0.0005);
    EXPECT_NEAR(cm.IG_arm, 1.56e-2, 0.005e-2);
    EXPECT_NEAR(cm.JM1, 4.55e-5, 0.005e-5);
    EXPECT_NEAR(cm.JM2, 2.11e-4, 0.005e-4);
    EXPECT_NEAR(cm.Kp1, 3.79e-2, 0.005e-2);
    EXPECT_NEAR(cm.Kv1, 2.47e-3, 0.005e-3);
    EXPECT_NEAR(cm.Ki1, 0.115, 0.0005);
}

TEST_F(DeriveTest, ScaraRobotModel) {
    params.settings.robot_type = 'b';
    update_derived(params);
    const RobotModel& sm = params.model.scara;
    EXPECT_NEAR(sm.lc1, 0.2, 1e-15);
    EXPECT_NEAR(sm.lc2, 0.14, 1e-15);
    EXPECT_NEAR(sm.d1, 0.08, 1e-15);
    EXPECT_NEAR(sm.d2, 0.056, 1e-15);
    // golden values: half a unit in the last printed digit
    EXPECT_NEAR(sm.m1, 1.529, 0.0005);
    EXPECT_NEAR(sm.IG1, 2.04e-2, 0.005e-2);
    EXPECT_NEAR(sm.m2, 0.524, 0.0005);
    EXPECT_NEAR(sm.IG2, 3.43e-3, 0.005e-3);
    EXPECT_NEAR(sm.JM1, 2.28e-4, 0.005e-4);
    EXPECT_NEAR(sm.JM2, 8.51e-5, 0.005e-5);
}

//------------------------------------------------------------------ gains

class GainTest : public ModelTest, public ::testing::WithParamInterface<int> {};

TEST_P(GainTest, PolePlacementOnTheNominalInertia) {
    const int rt = GetParam();
    params.settings.robot_type = rt;
    update_derived(params);
    const RobotModel& rm = robot_of(params.model, rt);
    // the closed loop s^3 JM + s^2 Kv + s Kp + Ki has the poles -alpha and a double -omega_n
    for (int j = 0; j < 2; ++j) {
        const double JM = j == 0 ? rm.JM1 : rm.JM2;
        const double Kv = j == 0 ? rm.Kv1 : rm.Kv2;
        const double Kp = j == 0 ? rm.Kp1 : rm.Kp2;
        const double Ki = j == 0 ? rm.Ki1 : rm.Ki2;
        for (double s : {-params.settings.alpha1, -params.settings.omega_n1}) {
            const double residual = JM * s * s * s + Kv * s * s + Kp * s + Ki;
            // rounding of four terms of size Kp*omega_n: relative 1e-12
            EXPECT_NEAR(residual, 0.0, 1e-12 * Kp * params.settings.omega_n1) << "joint " << j + 1;
        }
    }
}

TEST_P(GainTest, ZeroThirdPoleGivesPdControl) {
    const int rt = GetParam();
    params.settings.robot_type = rt;
    params.settings.alpha1 = 0.0;
    params.settings.alpha2 = 0.0;
    params.settings.zeta2 = 0.7;
    update_derived(params);
    const RobotModel& rm = robot_of(params.model, rt);
    const double wn = params.settings.omega_n1;
    EXPECT_EQ(rm.Ki1, 0.0);
    EXPECT_EQ(rm.Ki2, 0.0);
    EXPECT_DOUBLE_EQ(rm.Kp1, wn * wn * rm.JM1);
    EXPECT_DOUBLE_EQ(rm.Kv1, 2.0 * wn * rm.JM1);
    EXPECT_DOUBLE_EQ(rm.Kv2, 2.0 * 0.7 * params.settings.omega_n2 * rm.JM2);
}

INSTANTIATE_TEST_SUITE_P(BothRobots, GainTest, ::testing::Values('a', 'b'));

//------------------------------------------------------------------ robot types

TEST_F(DeriveTest, DerivationsIgnoreATypeWithoutARobot) {
    const ParameterSet before = params;
    derive_arm(params.settings, params.model, 'x');
    derive_motor(params.settings, params.model, 'x');
    derive_gear(params.settings, params.model, 'x');
    derive_nominal_inertia(params.settings, params.model, 'x');
    derive_gains(params.settings, params.model, 'x');
    params.settings.robot_type = 'x';
    params.settings.motion = 'c';
    update_derived(params);  // only the shared work block and the current motion may change
    ParameterSet after = params;
    after.settings.robot_type = before.settings.robot_type;
    EXPECT_EQ(std::memcmp(&before.model.cyl, &after.model.cyl, sizeof(RobotModel)), 0);
    EXPECT_EQ(std::memcmp(&before.model.scara, &after.model.scara, sizeof(RobotModel)), 0);
    EXPECT_EQ(std::memcmp(&before.plan.cyl, &after.plan.cyl, sizeof(RobotPlan)), 0);
    EXPECT_EQ(std::memcmp(&before.plan.scara, &after.plan.scara, sizeof(RobotPlan)), 0);
}

TEST_F(DeriveTest, ZeroRatioAndEfficiencyGiveNonFiniteValuesWithoutACrash) {
    params.settings.robot_type = 'a';
    params.settings.cyl.u1 = 0.0;
    params.settings.cyl.eta_fwd2 = 0.0;
    update_derived(params);
    EXPECT_TRUE(std::isinf(params.model.cyl.JM1));
    EXPECT_TRUE(std::isinf(params.model.cyl.Kp1));
    EXPECT_LT(params.model.cyl.eta_rev2, 0.0);         // no forward efficiency: a locking gear
    EXPECT_TRUE(std::isfinite(params.model.cyl.JM2));  // a zero efficiency does not enter JM
}

//------------------------------------------------------------------ current motion

TEST_F(DeriveTest, StepMotionKeepsTheTimeAndTrapezoidTakesItsOwn) {
    params.plan.tf = 1.25;
    params.settings.motion = 'q';
    update_derived(params);
    EXPECT_EQ(params.plan.tf, 1.25);
    EXPECT_EQ(params.plan.xf, params.settings.step.xf);
    params.settings.motion = 'p';
    params.settings.trap.tf = 3.5;
    update_derived(params);
    EXPECT_EQ(params.plan.tf, 3.5);
}

TEST_F(DeriveTest, UnknownMotionOrPathLeavesTheCurrentMotion) {
    update_derived(params);
    const double x0 = params.plan.x0, tf = params.plan.tf;
    params.settings.motion = 'z';
    update_derived(params);
    EXPECT_EQ(params.plan.x0, x0);
    EXPECT_EQ(params.plan.tf, tf);
    params.settings.motion = 'c';
    params.settings.cp = 7;
    update_derived(params);
    EXPECT_EQ(params.plan.x0, x0);
    EXPECT_EQ(params.plan.tf, tf);
}

// (robot type, motion, cp) of every experiment the program offers
using Experiment = std::tuple<int, int, int>;

class UpdateDerivedTest : public ModelTest, public ::testing::WithParamInterface<Experiment> {};

TEST_P(UpdateDerivedTest, CurrentMotionIsThePatternConvertedAtBothEnds) {
    const auto [rt, motion, cp] = GetParam();
    params.settings.robot_type = rt;
    params.settings.motion = motion;
    params.settings.cp = cp;
    update_derived(params);

    const PatternRecord* p = motion == 'q'   ? &params.settings.step
                             : motion == 'p' ? &params.settings.trap
                             : cp == 1       ? &params.settings.line
                             : cp == 2       ? &params.settings.circle
                             : cp == 3       ? &params.settings.ucurve
                                             : &params.settings.sine;
    EXPECT_EQ(params.plan.x0, p->x0);
    EXPECT_EQ(params.plan.y0, p->y0);
    EXPECT_EQ(params.plan.xf, p->xf);
    EXPECT_EQ(params.plan.yf, p->yf);

    // theta = u phi, and the joint values put the work back on the start and the end
    const RobotSettings& rs = robot_of(params.settings, rt);
    const RobotPlan& rp = robot_of(params.plan, rt);
    const double L2e = params.settings.scara.L2 + params.settings.wc;
    for (int end = 0; end < 2; ++end) {
        const double* phi = end == 0 ? rp.phi0 : rp.phif;
        const double* theta = end == 0 ? rp.theta0 : rp.thetaf;
        EXPECT_EQ(theta[0], rs.u1 * phi[0]);
        EXPECT_EQ(theta[1], rs.u2 * phi[1]);
        double x = 0.0, y = 0.0;
        if (rt == 'a') {
            x = phi[1] * std::cos(phi[0]);
            y = phi[1] * std::sin(phi[0]);
        } else {
            x = params.settings.scara.L1 * std::cos(phi[0]) + L2e * std::cos(phi[0] + phi[1]);
            y = params.settings.scara.L1 * std::sin(phi[0]) + L2e * std::sin(phi[0] + phi[1]);
        }
        // inverse then forward kinematics: rounding of a few trigonometric terms of 0.4 m
        EXPECT_NEAR(x, end == 0 ? params.plan.x0 : params.plan.xf, 1e-12);
        EXPECT_NEAR(y, end == 0 ? params.plan.y0 : params.plan.yf, 1e-12);
        // nearest to the zero posture: every joint angle lies in [-pi, pi]
        EXPECT_LE(std::fabs(phi[0]), PI + 1e-12);
    }
}

INSTANTIATE_TEST_SUITE_P(AllExperiments, UpdateDerivedTest,
                         ::testing::Combine(::testing::Values('a', 'b'),
                                            ::testing::Values('q', 'p'), ::testing::Values(4)));
INSTANTIATE_TEST_SUITE_P(AllPaths, UpdateDerivedTest,
                         ::testing::Combine(::testing::Values('a', 'b'), ::testing::Values('c'),
                                            ::testing::Values(1, 2, 3, 4)));
