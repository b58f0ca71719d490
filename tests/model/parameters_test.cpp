// The parameter set after set_defaults and across switches of robot and pattern.
#include "model/parameters.h"

#include "model/derive.h"
#include "planning/experiment.h"
#include "tests/support/model_test.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using ParametersTest = ModelTest;

//------------------------------------------------------------------ defaults

TEST_F(ParametersTest, DefaultsLeaveTheSineExperimentOfTheScaraCurrent) {
    EXPECT_EQ(params.robot_type, 'b');
    EXPECT_EQ(params.motion, 'c');
    EXPECT_EQ(params.cp, 4);
    EXPECT_EQ(params.gravity, 'g');
    EXPECT_EQ(params.graph_select, 't');
    EXPECT_EQ(params.n_sample, 200);
    EXPECT_EQ(params.tf, 2.0);
    EXPECT_EQ(params.x0, -0.1);
    EXPECT_EQ(params.y0, 0.3);
    EXPECT_DOUBLE_EQ(params.xf, 0.5);  // x0 + L, one rounding
    EXPECT_EQ(params.yf, 0.3);
}

TEST_F(ParametersTest, MotorValuesArePresetUntilTheRobotIsDerived) {
    for (RobotRecord* r : {&params.cyl, &params.scara}) {
        EXPECT_EQ(r->IM1, 3.7e-5);
        EXPECT_EQ(r->IM2, 3.7e-5);
        EXPECT_EQ(r->tau_m1, 0.42);
        EXPECT_EQ(r->tau_m2, 0.42);
    }
    params.robot_type = 'a';
    update_derived(params);
    EXPECT_NEAR(params.cyl.IM1, 3.63e-5, 0.005e-5);  // printed to 3 digits
    EXPECT_NEAR(params.cyl.tau_m1, 0.44, 0.005);     // printed to 2 digits
    EXPECT_EQ(params.scara.IM1, 3.7e-5);             // the other robot keeps its preset
}

TEST_F(ParametersTest, ScaraSecondLinkIsStoredLessTheWorkDistance) {
    EXPECT_NEAR(params.scara.L2, 0.28, 1e-15);  // 0.4 - 0.12: one rounding
    EXPECT_NEAR(params.scara.L2 + params.wc, 0.40, 1e-15);
}

TEST_F(ParametersTest, NaturalFrequencyIsStoredInRadiansPerSecond) {
    EXPECT_NEAR(params.omega_n1, 25.133, 0.0005);  // printed to 3 decimals
    char fn1[32];
    std::snprintf(fn1, sizeof fn1, "%.3f", params.omega_n1 / (2.0 * PI));
    EXPECT_STREQ(fn1, "4.000");
}

TEST_F(ParametersTest, DerivedEndsOfCircleAndSine) {
    EXPECT_NEAR(params.circle.x0, 0.7, 1e-15);  // 0.2 + 0.5: one rounding
    EXPECT_EQ(params.circle.xf, params.circle.x0);
    EXPECT_EQ(params.circle.y0, 0.0);
    EXPECT_EQ(params.circle.yf, 0.0);
    EXPECT_NEAR(params.sine.xf, 0.5, 1e-15);
    EXPECT_EQ(params.sine.yf, params.sine.y0);
}

TEST_F(ParametersTest, PtpPointsLieAtSixtyAndHundredTwentyDegrees) {
    EXPECT_NEAR(params.step.x0, 0.150, 0.0005);  // printed to 3 decimals
    EXPECT_NEAR(params.step.y0, 0.260, 0.0005);
    EXPECT_NEAR(params.step.xf, -0.300, 0.0005);
    EXPECT_NEAR(params.step.yf, 0.520, 0.0005);
    EXPECT_EQ(params.trap.x0, params.step.x0);
    EXPECT_EQ(params.trap.yf, params.step.yf);
    EXPECT_EQ(params.trap.tf, 2.0);
}

TEST_F(ParametersTest, PathNamesEndInTheirOwnNewline) {
    const char* expected[CP_NAME_COUNT] = {"cp\n", "straight line\n", "circle\n", "U-curve\n",
                                           "sinecurve\n"};
    for (int i = 0; i < CP_NAME_COUNT; ++i) {
        EXPECT_STREQ(cp_names[i], expected[i]);
    }
}

TEST_F(ParametersTest, ScaraArrayFormsAgreeWithTheScalars) {
    const auto check = [](const char* when) {
        const RobotRecord& s = params.scara;
        EXPECT_EQ(s.IM[0], s.IM1) << when;
        EXPECT_EQ(s.IM[1], s.IM2) << when;
        EXPECT_EQ(s.eta[0], s.eta_fwd1) << when;
        EXPECT_EQ(s.eta[1], s.eta_rev1) << when;
        EXPECT_EQ(s.eta[2], s.eta_fwd2) << when;
        EXPECT_EQ(s.eta[3], s.eta_rev2) << when;
    };
    check("after set_defaults");
    params.scara.PW1 = 200.0;
    params.scara.eta_fwd2 = 0.8;
    params.scara.u1 = 80.0;
    derive_motor(params, 'b');
    derive_gear(params, 'b');
    check("after the motor and gear derivations");
    update_derived(params);
    check("after update_derived");
}

//------------------------------------------------------------------ switching records

TEST_F(ParametersTest, SwitchingRobotsKeepsEachRecord) {
    update_derived(params);
    const RobotRecord scara_before = params.scara;
    params.robot_type = 'a';
    params.cyl.L = 0.7;
    update_derived(params);
    params.robot_type = 'b';
    update_derived(params);
    // the same inputs derive the same record, bit for bit
    EXPECT_EQ(std::memcmp(&scara_before, &params.scara, sizeof(RobotRecord)), 0);
    EXPECT_EQ(params.cyl.L, 0.7);
}

TEST_F(ParametersTest, SwitchingPatternsKeepsEachRecord) {
    params.line.tf = 3.0;
    params.motion = 'c';
    params.cp = 1;
    update_derived(params);
    EXPECT_EQ(params.tf, 3.0);
    params.cp = 2;
    update_derived(params);
    EXPECT_EQ(params.tf, params.circle.tf);
    params.cp = 1;
    update_derived(params);
    EXPECT_EQ(params.tf, 3.0);
    EXPECT_EQ(params.line.tf, 3.0);
}

TEST_F(ParametersTest, SetDefaultsStartsFromAClearSet) {
    params.fb_type = 'v';
    params.cyl.Kp1 = 123.0;
    set_defaults(params);
    EXPECT_EQ(params.fb_type, 0);  // not a default: start-up or the data file sets it
    EXPECT_NE(params.cyl.Kp1, 123.0);
}
