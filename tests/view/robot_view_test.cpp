// The robot scene on a real GL window: where the robots, the goal, the magnified error and the
// traces appear, and how the zoom moves them.
#include "view/robot_view.h"

#include "app/session.h"
#include "model/parameters.h"
#include "settings/datafile.h"
#include "sim/history.h"
#include "sim/run.h"
#include "tests/support/scenarios.h"
#include "tests/view/view_fixture.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

using namespace robosim;

namespace {

class RobotScene : public ViewTest {
  protected:
    // window position of a robot-space point at the current scale
    Point2 shown(double x, double y) const {
        const double s = view_state.robot_scale;
        const Point2 o = params.settings.view_origin, d = view_state.view_shift;
        return {s * (o.x + d.x + x), s * (o.y + d.y + y)};
    }
};

//------------------------------------------------------------------ start poses

// SCARA at sample 0: the hub of joint 1 at the base, the ring of joint 2 (an inner ring, no
// hub) at the end of link 1, the work point on the start point and the goal marker at the goal
TEST_F(RobotScene, ScaraStartPose) {
    simulate_scenario('b', 'c', 4);
    draw_robot_scene(current_scene(), 0);
    const Picture p = read_back_buffer();

    const Point2 base = shown(0.0, 0.0);
    EXPECT_TRUE(is_red(p.at(base.x, base.y)));

    const double q1 = history_scara.theta[0][0] / params.settings.scara.u1;
    const Point2 j2 =
        shown(params.settings.scara.L1 * std::cos(q1), params.settings.scara.L1 * std::sin(q1));
    EXPECT_TRUE(p.near_point(j2.x + params.settings.joint_r2, j2.y, 1, is_red));
    EXPECT_TRUE(p.near_point(j2.x + 0.7 * params.settings.joint_r2, j2.y, 1, is_red));
    EXPECT_TRUE(is_white(p.at(j2.x, j2.y)));

    const Point2 start = shown(params.plan.x0, params.plan.y0);
    EXPECT_TRUE(is_red(p.at(start.x, start.y)));
    const Point2 goal = shown(params.plan.xf, params.plan.yf);
    EXPECT_TRUE(is_blue(p.at(goal.x, goal.y)));
}

// cylindrical robot at sample 0: hub at the base, the arm's back end at e - wc - L along the
// joint-1 angle, the work point on the start point
TEST_F(RobotScene, CylindricalStartPose) {
    simulate_scenario('a', 'p', 0);
    draw_robot_scene(current_scene(), 0);
    const Picture p = read_back_buffer();

    const Point2 base = shown(0.0, 0.0);
    EXPECT_TRUE(is_red(p.at(base.x, base.y)));

    const double theta = history_cyl.theta[0][0] / params.settings.cyl.u1;
    const double e = history_cyl.theta[0][1] / params.settings.cyl.u2;
    const double back = e - params.settings.wc - params.settings.cyl.L;
    const Point2 arm_end = shown(back * std::cos(theta), back * std::sin(theta));
    EXPECT_TRUE(p.near_point(arm_end.x, arm_end.y, 2, is_red));

    const Point2 start = shown(params.plan.x0, params.plan.y0);
    EXPECT_TRUE(is_red(p.at(start.x, start.y)));
    const Point2 goal = shown(params.plan.xf, params.plan.yf);
    EXPECT_TRUE(is_blue(p.at(goal.x, goal.y)));
}

//------------------------------------------------------------------ markers and traces

// an actual point 3 mm off the commanded one puts the green marker 30 mm from the commanded
// point on the same side as the red dot
TEST_F(RobotScene, ErrorMarkerMagnifiesTheDeviationTenTimes) {
    params = scenario('b', 'c', 4);
    view_state = initial_view_state();
    HistorySet& h = history_scara;
    for (int i = 0; i <= 3; ++i) {
        h.theta[i][0] = params.plan.scara.theta0[0];
        h.theta[i][1] = params.plan.scara.theta0[1];
        h.pos_ref[i][0] = 0.3;
        h.pos_ref[i][1] = 0.9;
        h.pos_err[i][0] = 0.003;
        h.pos[i][0] = 0.3 - 0.003;
        h.pos[i][1] = 0.9;
    }
    draw_robot_scene(current_scene(), 3);
    const Picture p = read_back_buffer();
    const Point2 green = shown(0.3 - 0.03, 0.9);
    EXPECT_TRUE(is_green(p.at(green.x, green.y)));
    EXPECT_FALSE(p.near_point(shown(0.3 + 0.03, 0.9).x, green.y, 2, is_green));
}

// the commanded path is a blue polyline, except for a step command, which jumps
TEST_F(RobotScene, CommandedPathIsDrawnExceptForAStepCommand) {
    for (const int motion : {'p', 'q'}) {
        SCOPED_TRACE(static_cast<char>(motion));
        params = scenario('b', motion, 0);
        view_state = initial_view_state();
        glClear(GL_COLOR_BUFFER_BIT);
        HistorySet& h = history_scara;
        for (int i = 0; i <= 10; ++i) {
            h.theta[i][0] = params.plan.scara.theta0[0];
            h.theta[i][1] = params.plan.scara.theta0[1];
            h.pos_ref[i][0] = 0.1 + 0.02 * i;  // 0.1 .. 0.3 along y = 0.05
            h.pos_ref[i][1] = 0.05;
            h.pos[i][0] = h.pos_ref[i][0];
            h.pos[i][1] = h.pos_ref[i][1];
        }
        draw_robot_scene(current_scene(), 10);
        const Picture p = read_back_buffer();
        const Point2 between = shown(0.19, 0.05);  // between two red dots, on the path
        EXPECT_EQ(p.near_point(between.x, between.y, 1, is_blue), motion != 'q');
        // the dots lie under the path: red shows above and below it
        EXPECT_TRUE(is_red(p.at(shown(0.2, 0.05).x, between.y + 0.005)));
    }
}

// a run beside the current one leaves the path of its work point in its own colour
TEST_F(RobotScene, AnotherRunLeavesItsWorkPointPath) {
    simulate_scenario('b', 'p', 0);
    HistorySet other = {};
    for (int i = 0; i <= 10; ++i) {
        other.pos[i][0] = 0.1 + 0.02 * i;  // 0.1 .. 0.3 along y = -0.3, clear of the robot
        other.pos[i][1] = -0.3;
    }
    Scene scene = current_scene();
    scene.runs[1] = {&params, &other, false,
                     nullptr, "",     {WINDOW_COLOURS, LinePattern::solid, false}};
    scene.runs[1].style.colours.trace = MAGENTA;
    scene.run_count = 2;
    draw_robot_scene(scene, 10);
    const Point2 middle = shown(0.2, -0.3);
    EXPECT_TRUE(read_back_buffer().near_point(middle.x, middle.y, 1, is_magenta));
}

// after one 'w' the base moves from (-0.5, -0.5) to (-0.45, -0.45) and all sizes shrink by 0.9
TEST_F(RobotScene, ZoomScalesAboutTheWindowCentre) {
    simulate_scenario('b', 'c', 4);
    view_state.robot_scale = 0.9;
    draw_robot_scene(current_scene(), 0);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(is_red(p.at(-0.45, -0.45)));
    // the hub radius shrinks to 0.7 * 0.035 * 0.9 = 0.022: red at 0.020, not at 0.024
    EXPECT_TRUE(is_red(p.at(-0.45 + 0.020, -0.45)));
    EXPECT_FALSE(is_red(p.at(-0.45 + 0.024, -0.45)));
    const Point2 goal = {0.9 * (-0.5 + params.plan.xf), 0.9 * (-0.5 + params.plan.yf)};
    EXPECT_TRUE(is_blue(p.at(goal.x, goal.y)));
}

//------------------------------------------------------------------ unsound data

// an unreachable SCARA path leaves not-a-number poses and positions: the scene draws none of
// them, only what needs no pose (joint 1 at the base and the goal marker), and does not fail
TEST_F(RobotScene, NotANumberPosesDrawNothingOfTheRobot) {
    params = scenario('b', 'c', 4);
    view_state = initial_view_state();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    HistorySet& h = history_scara;
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        h.theta[i][0] = h.theta[i][1] = nan;
        h.pos[i][0] = h.pos[i][1] = nan;
        h.pos_ref[i][0] = h.pos_ref[i][1] = nan;
        h.pos_err[i][0] = h.pos_err[i][1] = nan;
    }
    draw_robot_scene(current_scene(), params.settings.n_sample);
    const Picture p = read_back_buffer();
    const Point2 base = shown(0.0, 0.0);
    const double ring = params.settings.joint_r1 + 0.005;
    EXPECT_EQ(p.count(-1.0, -1.0, 0.999, 0.999, is_red),
              p.count(base.x - ring, base.y - ring, base.x + ring, base.y + ring, is_red));
    EXPECT_TRUE(is_red(p.at(base.x, base.y)));
    const Point2 goal = shown(params.plan.xf, params.plan.yf);
    EXPECT_TRUE(is_blue(p.at(goal.x, goal.y)));
}

// a sample number beyond the history is held at the last recorded sample
TEST_F(RobotScene, SampleBeyondTheHistoryIsHeldAtTheLast) {
    simulate_scenario('b', 'c', 4);
    draw_robot_scene(current_scene(), HISTORY_LEN + 1000);
    const Picture beyond = read_back_buffer();
    glClear(GL_COLOR_BUFFER_BIT);
    glLineWidth(1.0f);  // outlines take the width left by the last thick line
    draw_robot_scene(current_scene(), params.settings.n_sample);
    const Picture last = read_back_buffer();
    EXPECT_EQ(beyond.rgb, last.rgb);
}

//------------------------------------------------------------------ fitted view

std::vector<std::string> example_files() {
    std::vector<std::string> names;
    for (const auto& f : std::filesystem::directory_iterator(ROBOSIM_SOURCE_DIR "/examples")) {
        names.push_back(f.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class FittedView : public RobotScene, public ::testing::WithParamInterface<std::string> {};

// every example's work point, base and arm's end (sliding arm's back, SCARA joint 2)
// at every sample inside the robot view's area, filling 3/5 of its width or height
TEST_P(FittedView, ShowsTheWholeRunInsideTheRobotViewArea) {
    const std::string file = ROBOSIM_SOURCE_DIR "/examples/" + GetParam() + ".dat";
    params = read_robot_data_file(file.c_str(), params, true).ps;
    ASSERT_EQ(update_derived(params).count, 0);
    const Settings& s = params.settings;
    const HistorySet& h = *history_of(s.robot_type) = *run_experiment(params, {}).history;
    const ViewFit fit = fit_robot_view(current_scene());
    view_state.robot_scale = fit.scale;
    view_state.view_shift = fit.shift;
    Box seen = {1e9, 1e9, -1e9, -1e9};  // the points in the window
    const auto see = [&](double x, double y) {
        const Point2 w = shown(x, y);
        seen = {std::min(seen.left, w.x), std::min(seen.bottom, w.y), std::max(seen.right, w.x),
                std::max(seen.top, w.y)};
    };
    const bool cyl = s.robot_type == 'a';
    see(0.0, 0.0);  // the base
    for (int k = 0; k <= s.n_sample; ++k) {
        const double q1 = h.theta[k][0] / (cyl ? s.cyl.u1 : s.scara.u1);
        const double q2 = h.theta[k][1] / (cyl ? s.cyl.u2 : s.scara.u2);
        const double back = cyl ? q2 - s.wc - s.cyl.L : s.scara.L1;
        see(h.pos[k][0], h.pos[k][1]);
        see(back * std::cos(q1), back * std::sin(q1));
    }
    const Box area = robot_view_area(s);
    EXPECT_TRUE(seen.left > area.left && seen.right < area.right && seen.bottom > area.bottom
                && seen.top < area.top);
    EXPECT_GT(std::max((seen.right - seen.left) / (area.right - area.left),
                       (seen.top - seen.bottom) / (area.top - area.bottom)),
              0.6);
    draw_robot_scene(current_scene(), 0);  // the robot where the fitted view puts it
    EXPECT_TRUE(is_red(read_back_buffer().at(shown(0.0, 0.0).x, shown(0.0, 0.0).y)));
}

INSTANTIATE_TEST_SUITE_P(, FittedView, ::testing::ValuesIn(example_files()));

}  // namespace
