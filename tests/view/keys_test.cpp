// The key commands that stay in the window: view keys, re-simulation keys and keys that do
// nothing. (The keys into the console dialogs are exercised end to end.)
#include "app/keys.h"

#include "app/dialogs.h"
#include "app/session.h"
#include "model/parameters.h"
#include "sim/history.h"
#include "sim/run.h"
#include "tests/support/console_capture.h"
#include "tests/support/scenarios.h"
#include "tests/view/view_fixture.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace robosim;

namespace {

class Keys : public ViewTest {
  protected:
    void SetUp() override {
        ViewTest::SetUp();
        params = scenario('b', 'c', 4);
        view_state = initial_view_state();
        *history_of(params.settings.robot_type) = *run_experiment(params, {}).history;
        install_console_capture();
    }
};

// 's' steps one sample and stops at the last; '0' goes back to the start
TEST_F(Keys, StepStopsAtTheLastSampleAndZeroRestarts) {
    for (int i = 0; i < 250; ++i) {
        on_key(session, 's', 0, 0);
    }
    EXPECT_EQ(view_state.anim_index, 200);
    on_key(session, '0', 0, 0);
    EXPECT_EQ(view_state.anim_index, 0);
}

// 'w' shrinks by 0.9 and 'W' enlarges by 1/0.9: one of each is back to 1 up to rounding
TEST_F(Keys, ShrinkThenEnlargeRestoresTheScale) {
    on_key(session, 'w', 0, 0);
    EXPECT_DOUBLE_EQ(view_state.robot_scale, 0.9);
    on_key(session, 'W', 0, 0);
    EXPECT_NEAR(view_state.robot_scale, 1.0, 1e-15);  // two roundings of a number near 1
}

// 't' and 'i' choose the lower graph
TEST_F(Keys, TorqueAndInertiaKeysChooseTheLowerGraph) {
    on_key(session, 'i', 0, 0);
    EXPECT_EQ(params.settings.graph_select, 'i');
    on_key(session, 't', 0, 0);
    EXPECT_EQ(params.settings.graph_select, 't');
}

// unlisted keys, the digits 5 to 9 among them, change nothing but last_key
TEST_F(Keys, UnlistedKeysOnlyReplaceLastKey) {
    on_key(session, 's', 0, 0);
    const ParameterSet params_before = params;
    const ViewState view_before = view_state;
    for (const unsigned char key : {'5', '6', '9', 'y', 'S', 'G', ' '}) {
        on_key(session, key, 0, 0);
        EXPECT_EQ(last_key, static_cast<char>(key));
        EXPECT_EQ(std::memcmp(&params, &params_before, sizeof params), 0);
        EXPECT_EQ(std::memcmp(&view_state, &view_before, sizeof view_state), 0);
    }
    EXPECT_TRUE(console_capture.text.empty());
}

// 'g' and 'h' switch gravity and re-simulate at once, saying so for the long sine path;
// 'v' and 'V' switch the feedback and re-simulate silently; all restart the animation
TEST_F(Keys, GravityAndFeedbackKeysResimulate) {
    const char* calculating = "只今計算中";
    on_key(session, 's', 0, 0);
    on_key(session, 'h', 0, 0);
    EXPECT_EQ(params.settings.gravity, 'h');
    EXPECT_EQ(view_state.anim_index, 0);
    EXPECT_NE(console_capture.text.find(calculating), std::string::npos);
    bool any_gravity = false;
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        any_gravity = any_gravity || history_scara.tau_gravity[i][0] != 0.0;
    }
    EXPECT_FALSE(any_gravity);

    install_console_capture();
    const double theta_before = history_scara.theta[100][0];
    on_key(session, 's', 0, 0);
    on_key(session, 'v', 0, 0);
    EXPECT_EQ(params.settings.fb_type, 'v');
    EXPECT_EQ(view_state.anim_index, 0);
    EXPECT_NE(history_scara.theta[100][0], theta_before);
    EXPECT_TRUE(console_capture.text.empty());
    EXPECT_EQ(history_cyl.inertia_seen[0][0], 0.0);  // a run keeps the other robot's set
}

// 'x' switches to the accurate integration and back, re-simulating and saying which it uses
TEST_F(Keys, IntegrationKeyResimulatesAccuratelyAndBack) {
    const double fixed = history_scara.theta[100][0];
    on_key(session, 's', 0, 0);
    on_key(session, 'x', 0, 0);
    EXPECT_TRUE(accurate_integration);
    EXPECT_EQ(view_state.anim_index, 0);
    EXPECT_NE(console_capture.text.find("精密積分"), std::string::npos);
    EXPECT_NE(history_scara.theta[100][0], fixed);
    on_key(session, 'x', 0, 0);
    EXPECT_FALSE(accurate_integration);
    EXPECT_EQ(history_scara.theta[100][0], fixed);
}

}  // namespace
