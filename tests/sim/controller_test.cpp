// The joint controller: the two feedback laws and the torque limit.
#include "sim/controller.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "planning/reference.h"
#include "tests/support/model_test.h"

#include <cmath>

using namespace robosim;

class ControllerTest : public ModelTest, public ::testing::WithParamInterface<int> {
  protected:
    void SetUp() override {
        ModelTest::SetUp();
        params.settings.robot_type = GetParam();
    }

    // the drive torque of joint with the feedback law fb, the rest of the experiment as it is
    double torque(int fb, int joint, double t, const double x[6]) {
        params.settings.fb_type = fb;
        return control_torque(params, &ref_run, joint, t, x);
    }
};

TEST_P(ControllerTest, NoErrorNoSpeedNoTorque) {
    const int rt = GetParam();
    params.settings.motion = 'p';
    update_derived(params);
    const RobotPlan& rp = robot_of(params.plan, rt);
    const double x[6] = {rp.theta0[0], rp.theta0[1], 0.0, 0.0, 0.0, 0.0};
    for (int fb : {'v', 'V'}) {
        EXPECT_EQ(torque(fb, 0, 0.0, x), 0.0);
        EXPECT_EQ(torque(fb, 1, 0.0, x), 0.0);
    }
}

TEST_P(ControllerTest, LargeErrorsSaturateAtTheMotorTorque) {
    const int rt = GetParam();
    params.settings.motion = 'q';
    update_derived(params);
    const RobotModel& rm = robot_of(params.model, rt);
    const RobotPlan& rp = robot_of(params.plan, rt);
    const double below[6] = {rp.thetaf[0] - 1e3, rp.thetaf[1] + 1e3, 0.0, 0.0, 0.0, 0.0};
    EXPECT_EQ(torque('V', 0, 0.5, below), rm.tau_m1);
    EXPECT_EQ(torque('V', 1, 0.5, below), -rm.tau_m2);
}

TEST_P(ControllerTest, StepCommandHasNoSpeedSoBothLawsAgree) {
    const int rt = GetParam();
    params.settings.motion = 'q';
    update_derived(params);
    const RobotPlan& rp = robot_of(params.plan, rt);
    const double x[6] = {rp.thetaf[0] - 0.01, rp.thetaf[1] + 0.02, 0.3, -0.2, 0.001, -0.002};
    for (int j = 0; j < 2; ++j) {
        EXPECT_EQ(torque('v', j, 0.7, x), torque('V', j, 0.7, x));
    }
}

TEST_P(ControllerTest, FeedbackLawsOnAMovingCommand) {
    const int rt = GetParam();
    params.settings.motion = 'p';
    update_derived(params);
    const RobotModel& rm = robot_of(params.model, rt);
    const double t = 0.5 * params.plan.tf;
    double theta_ref[2], omega_ref[2];
    reference_at(params, &ref_run, rt, 'p', 4, t, theta_ref, omega_ref);
    ASSERT_NE(omega_ref[0], 0.0);
    // following the command exactly: the velocity-error law leaves only the integral
    const double follow[6] = {theta_ref[0], theta_ref[1], omega_ref[0], omega_ref[1], 1e-4, 0.0};
    EXPECT_DOUBLE_EQ(torque('V', 0, t, follow), rm.Ki1 * 1e-4);
    // the velocity law brakes on the whole speed, the commanded speed does not enter
    const double Kv = rm.Kv1;
    double expected = rm.Ki1 * 1e-4 - Kv * omega_ref[0];
    expected = std::fabs(expected) > rm.tau_m1 ? std::copysign(rm.tau_m1, expected) : expected;
    EXPECT_DOUBLE_EQ(torque('v', 0, t, follow), expected);
}

TEST_P(ControllerTest, AnotherSelectorDrivesWithTheVelocityErrorLaw) {
    const int rt = GetParam();
    params.settings.motion = 'p';
    update_derived(params);
    const RobotPlan& rp = robot_of(params.plan, rt);
    const double x[6] = {rp.theta0[0] + 0.01, rp.theta0[1], 0.5, 0.1, 0.0, 0.0};
    for (int j = 0; j < 2; ++j) {
        EXPECT_EQ(torque('x', j, 0.3, x), torque('V', j, 0.3, x));
    }
}

INSTANTIATE_TEST_SUITE_P(BothRobots, ControllerTest, ::testing::Values('a', 'b'));
