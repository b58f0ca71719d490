// The parameter set after set_defaults and across switches of robot and pattern.
#include "model/parameters.h"

#include "model/derive.h"
#include "planning/experiment.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using namespace robosim;

using ParametersTest = ModelTest;

//------------------------------------------------------------------ defaults

TEST_F(ParametersTest, DefaultsLeaveTheSineExperimentOfTheScaraCurrent) {
    EXPECT_EQ(params.settings.robot_type, 'b');
    EXPECT_EQ(params.settings.motion, 'c');
    EXPECT_EQ(params.settings.cp, 4);
    EXPECT_EQ(params.settings.gravity, 'g');
    EXPECT_EQ(params.settings.graph_select, 't');
    EXPECT_EQ(params.settings.n_sample, 200);
    EXPECT_EQ(params.plan.tf, 2.0);
    EXPECT_EQ(params.plan.x0, -0.1);
    EXPECT_EQ(params.plan.y0, 0.3);
    EXPECT_DOUBLE_EQ(params.plan.xf, 0.5);  // x0 + L, one rounding
    EXPECT_EQ(params.plan.yf, 0.3);
}

TEST_F(ParametersTest, MotorValuesArePresetUntilTheRobotIsDerived) {
    for (const RobotModel* rm : {&params.model.cyl, &params.model.scara}) {
        EXPECT_EQ(rm->IM1, 3.7e-5);
        EXPECT_EQ(rm->IM2, 3.7e-5);
        EXPECT_EQ(rm->tau_m1, 0.42);
        EXPECT_EQ(rm->tau_m2, 0.42);
    }
    params.settings.robot_type = 'a';
    update_derived(params);
    EXPECT_NEAR(params.model.cyl.IM1, 3.63e-5, 0.005e-5);  // printed to 3 digits
    EXPECT_NEAR(params.model.cyl.tau_m1, 0.44, 0.005);     // printed to 2 digits
    EXPECT_EQ(params.model.scara.IM1, 3.7e-5);             // the other robot keeps its preset
}

TEST_F(ParametersTest, ScaraSecondLinkIsStoredLessTheWorkDistance) {
    EXPECT_NEAR(params.settings.scara.L2, 0.28, 1e-15);  // 0.4 - 0.12: one rounding
    EXPECT_NEAR(params.settings.scara.L2 + params.settings.wc, 0.40, 1e-15);
}

TEST_F(ParametersTest, NaturalFrequencyIsStoredInRadiansPerSecond) {
    EXPECT_NEAR(params.settings.omega_n1, 25.133, 0.0005);  // printed to 3 decimals
    char fn1[32];
    std::snprintf(fn1, sizeof fn1, "%.3f", params.settings.omega_n1 / (2.0 * PI));
    EXPECT_STREQ(fn1, "4.000");
}

TEST_F(ParametersTest, DerivedEndsOfCircleAndSine) {
    EXPECT_NEAR(params.settings.circle.x0, 0.7, 1e-15);  // 0.2 + 0.5: one rounding
    EXPECT_EQ(params.settings.circle.xf, params.settings.circle.x0);
    EXPECT_EQ(params.settings.circle.y0, 0.0);
    EXPECT_EQ(params.settings.circle.yf, 0.0);
    EXPECT_NEAR(params.settings.sine.xf, 0.5, 1e-15);
    EXPECT_EQ(params.settings.sine.yf, params.settings.sine.y0);
}

TEST_F(ParametersTest, PtpPointsLieAtSixtyAndHundredTwentyDegrees) {
    EXPECT_NEAR(params.settings.step.x0, 0.150, 0.0005);  // printed to 3 decimals
    EXPECT_NEAR(params.settings.step.y0, 0.260, 0.0005);
    EXPECT_NEAR(params.settings.step.xf, -0.300, 0.0005);
    EXPECT_NEAR(params.settings.step.yf, 0.520, 0.0005);
    EXPECT_EQ(params.settings.trap.x0, params.settings.step.x0);
    EXPECT_EQ(params.settings.trap.yf, params.settings.step.yf);
    EXPECT_EQ(params.settings.trap.tf, 2.0);
}

TEST_F(ParametersTest, PathNamesEndInTheirOwnNewline) {
    const char* expected[CP_NAME_COUNT] = {"cp\n", "straight line\n", "circle\n", "U-curve\n",
                                           "sinecurve\n"};
    for (int i = 0; i < CP_NAME_COUNT; ++i) {
        EXPECT_STREQ(cp_names[i], expected[i]);
    }
}

TEST_F(ParametersTest, ScaraArrayFormsAgreeWithTheScalars) {
    const auto check = [this](const char* when) {
        const RobotSettings& ss = params.settings.scara;
        const RobotModel& sm = params.model.scara;
        EXPECT_EQ(sm.IM[0], sm.IM1) << when;
        EXPECT_EQ(sm.IM[1], sm.IM2) << when;
        EXPECT_EQ(sm.eta[0], ss.eta_fwd1) << when;
        EXPECT_EQ(sm.eta[1], sm.eta_rev1) << when;
        EXPECT_EQ(sm.eta[2], ss.eta_fwd2) << when;
        EXPECT_EQ(sm.eta[3], sm.eta_rev2) << when;
    };
    check("after set_defaults");
    params.settings.scara.PW1 = 200.0;
    params.settings.scara.eta_fwd2 = 0.8;
    params.settings.scara.u1 = 80.0;
    derive_motor(params.settings, params.model, 'b');
    derive_gear(params.settings, params.model, 'b');
    check("after the motor and gear derivations");
    update_derived(params);
    check("after update_derived");
}

//------------------------------------------------------------------ switching records

TEST_F(ParametersTest, SwitchingRobotsKeepsEachRecord) {
    update_derived(params);
    const RobotModel model_before = params.model.scara;
    const RobotPlan plan_before = params.plan.scara;
    params.settings.robot_type = 'a';
    params.settings.cyl.L = 0.7;
    update_derived(params);
    params.settings.robot_type = 'b';
    update_derived(params);
    // the same inputs derive the same record, bit for bit
    EXPECT_EQ(std::memcmp(&model_before, &params.model.scara, sizeof(RobotModel)), 0);
    EXPECT_EQ(std::memcmp(&plan_before, &params.plan.scara, sizeof(RobotPlan)), 0);
    EXPECT_EQ(params.settings.cyl.L, 0.7);
}

TEST_F(ParametersTest, SwitchingPatternsKeepsEachRecord) {
    params.settings.line.tf = 3.0;
    params.settings.motion = 'c';
    params.settings.cp = 1;
    update_derived(params);
    EXPECT_EQ(params.plan.tf, 3.0);
    params.settings.cp = 2;
    update_derived(params);
    EXPECT_EQ(params.plan.tf, params.settings.circle.tf);
    params.settings.cp = 1;
    update_derived(params);
    EXPECT_EQ(params.plan.tf, 3.0);
    EXPECT_EQ(params.settings.line.tf, 3.0);
}

TEST_F(ParametersTest, SetDefaultsStartsFromAClearSet) {
    params.settings.fb_type = 'v';
    params.model.cyl.Kp1 = 123.0;
    set_defaults(params);
    EXPECT_EQ(params.settings.fb_type, 0);  // not a default: start-up or the data file sets it
    EXPECT_NE(params.model.cyl.Kp1, 123.0);
}
