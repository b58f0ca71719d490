// The frame: the layering of robot view, white panel and graphs, and the choice of the lower
// graph, on a real GL window.
#include "view/frame.h"

#include "app/session.h"
#include "model/parameters.h"
#include "sim/run.h"
#include "tests/support/scenarios.h"
#include "tests/view/view_fixture.h"
#include "view/graphs.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <array>

using namespace robosim;

namespace {

using Frame = ViewTest;

// the grid shows left of x = 0.35 and is hidden right of it, for both robots; a robot type
// with no scene has no panel either, and the grid shows through at the right edge
TEST_F(Frame, WhitePanelHidesTheRobotViewRightOfTheGraphs) {
    for (const int robot_type : {'a', 'b', 'x'}) {
        SCOPED_TRACE(static_cast<char>(robot_type));
        simulate_scenario(robot_type == 'x' ? 'b' : robot_type, 'c', 1);
        params.settings.robot_type = robot_type;
        compose_frame(current_scene());
        const Picture p = read_back_buffer();
        // a band free of graph texts: grid lines at x = 0.3 and y = -0.1, -0.2
        EXPECT_GT(p.count(0.2, -0.3, 0.34, -0.05, is_dark), 0);
        const int right_of_panel =
            p.count(0.36, -0.3, 0.39, -0.05, is_dark) + p.count(0.92, -0.45, 0.99, -0.05, is_dark);
        if (robot_type == 'x') {
            EXPECT_GT(right_of_panel, 0);
            EXPECT_FALSE(is_red(p.at(-0.5, -0.5)));  // no robot
        } else {
            EXPECT_EQ(right_of_panel, 0);
            EXPECT_TRUE(is_red(p.at(-0.5, -0.5)));  // the hub of joint 1 at the base
        }
    }
}

// 't' shows the two torque plots, 'i' the inertia plot, any other value neither
TEST_F(Frame, LowerGraphFollowsTheSelector) {
    simulate_scenario('b', 'c', 4);

    // vertical axes: torque motor 1 at y = 0.3 and motor 2 at y = -0.75, inertia at y = -0.1
    // (which the motor-1 torque axis also crosses)
    struct Expect {
        int select;
        bool torque, inertia_only;
    };

    for (const Expect e :
         {Expect{'t', true, false}, Expect{'i', false, true}, Expect{'x', false, false}}) {
        SCOPED_TRACE(static_cast<char>(e.select));
        params.settings.graph_select = e.select;
        compose_frame(current_scene());
        const Picture p = read_back_buffer();
        EXPECT_EQ(p.near_point(0.4, 0.3, 1, is_red), e.torque);
        EXPECT_EQ(p.near_point(0.4, -0.75, 1, is_red), e.torque);
        EXPECT_EQ(p.near_point(0.4, -0.1, 1, is_red), e.torque || e.inertia_only);
        EXPECT_TRUE(p.near_point(0.4, 0.7, 1, is_red));  // the joint graph is always there
    }
}

// the frame keeps nothing: composing it twice gives the same picture, and an animation
// index beyond the run shows the last sample
TEST_F(Frame, IsRebuiltFromTheStateAlone) {
    simulate_scenario('a', 'p', 0);
    view_state.anim_index = params.settings.n_sample;
    compose_frame(current_scene());
    const Picture first = read_back_buffer();
    compose_frame(current_scene());
    EXPECT_EQ(read_back_buffer().rgb, first.rgb);
    view_state.anim_index = params.settings.n_sample + 50;
    compose_frame(current_scene());
    EXPECT_EQ(read_back_buffer().rgb, first.rgb);
}

// a pixel of a window of any size to the sample at its time on the graph under it (golden
// samples of the default layout: 50.67 rounds up, -1 on the torque legend and the robot view)
using PixelCase = std::array<int, 6>;  // x y width height graph sample

class GraphTime : public ::testing::TestWithParam<PixelCase> {};

TEST_P(GraphTime, IsTheNearestSampleOnTheGraphUnderThePixel) {
    const auto [x, y, width, height, graph, sample] = GetParam();
    Settings s = scenario('b', 'c', 4).settings;
    s.graph_select = graph;
    const Point2 p = window_point(x, y, width, height);
    const std::optional<double> axis = graph_axis_at(s, p);
    EXPECT_EQ(axis ? sample_at_x(s, *axis, p.x) : -1, sample) << p.x << " " << p.y;
}

INSTANTIATE_TEST_SUITE_P(, GraphTime,
                         ::testing::Values(PixelCase{458, 329, 600, 600, 'i', 51},
                                           PixelCase{495, 380, 600, 600, 't', -1},
                                           PixelCase{825, 74, 1000, 500, 't', 100},
                                           PixelCase{772, 700, 800, 800, 't', 200},
                                           PixelCase{200, 360, 800, 800, 't', -1}));

}  // namespace
