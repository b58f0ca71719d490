// The real program from its first question to its window: the start-up without a display, the
// caption, and the first frame of each robot after the dialogs.
#include "app/window.h"
#include "model/parameters.h"
#include "tests/e2e/batch_run.h"
#include "tests/e2e/window_harness.h"
#include "tests/support/scenarios.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>

using namespace robosim;

namespace {

// window position of a robot-space point at view scale 1
Point2 shown(const Settings& s, double x, double y) {
    return {s.view_origin.x + x, s.view_origin.y + y};
}

//------------------------------------------------------------------ no display

// without a usable display the program says so in one line on standard error and ends with a
// failure status before it asks anything
TEST_F(WindowRun, WithoutADisplayItStopsBeforeTheFirstQuestion) {
    for (const std::string& name : {std::string(), std::string(":4093")}) {
        SCOPED_TRACE("DISPLAY=" + name);
        ASSERT_NO_FATAL_FAILURE(start("nbc4\nn", name));
        const int status = wait_exit(10000);
        EXPECT_NE(status, 0);
        EXPECT_NE(status, -1) << "still running";
        const std::string said = output();
        EXPECT_EQ(said.find("ロボット"), std::string::npos) << said;
        EXPECT_EQ(said.find('\n'), said.size() - 1) << said;  // exactly one line
        EXPECT_NE(said.find("display"), std::string::npos) << said;
        close(stdin_fd);
        stdin_fd = -1;
    }
}

// -display names the one display checked and used, whatever DISPLAY says; console output that
// cannot be written stops the program; window options that could open no window stop it
// before the first question (the server, as X servers do by default, refuses indirect GL).
// Each run says why on stderr and ends with its status.
TEST_F(PrivateDisplay, DisplayArgumentWindowOptionsAndUnwritableOutput) {
    const std::string run = "DISPLAY=" + display + " exec \"$0\" ";
    for (const auto& [command, said, status] :
         std::vector<std::tuple<std::string, std::string, int>>{
             {"unset DISPLAY; exec \"$0\" -display " + display, "end of input", 1},  // it asked
             {run + "-display :4093", "display \":4093\"", 1},
             {run + ">/dev/full", "cannot write the console output", 1},
             {run + "-indirect", "no indirect OpenGL", 1},
             {run + "-geometry 0x0", "0 x 0 pixels", 2},
             {run + "-geometry +5000+5000", "off the 1280 x 1024 screen", 2},
             {run + "-geometry garbage", "no window geometry", 2}}) {
        const ProgramRun r = run_program("/bin/sh", {"-c", command, ROBOSIM_BIN}, {"LC_ALL=C"});
        EXPECT_TRUE(r.status == status && r.err.find(said) != std::string::npos)
            << command << r.err;
    }
}

//------------------------------------------------------------------ first frames

// the caption of the key commands, in UTF-8 as desktops read it
TEST_F(WindowRun, CaptionIsTheKeySummaryInUtf8) {
    ASSERT_NO_FATAL_FAILURE(start_window("nbc4\nn"));
    const CommandResult r = run_command({"xprop", "-id", window, "_NET_WM_NAME"}, display);
    EXPECT_EQ(r.out, "_NET_WM_NAME(UTF8_STRING) = \"" + std::string(WINDOW_CAPTION) + "\"\n");
    keys("Escape");
    EXPECT_EQ(wait_exit(10000), 0);
}

// The first frame after the dialogs: the grid, the robot in its start pose (hub of joint 1 at
// the base, work point on the start point), the blue goal marker and the white panel; answers
// "n" (no data file), robot, motion (and path), then "n" to the first dialog question.
struct StartCase {
    const char* answers;
    int robot_type, motion, cp;
};

class FirstFrame : public WindowRun, public ::testing::WithParamInterface<StartCase> {};

void PrintTo(const StartCase& sc, std::ostream* os) {
    *os << "robot " << static_cast<char>(sc.robot_type) << " motion "
        << static_cast<char>(sc.motion) << " cp " << sc.cp;
}

TEST_P(FirstFrame, ShowsTheRobotInItsStartPose) {
    const StartCase& sc = GetParam();
    ASSERT_NO_FATAL_FAILURE(start_window(sc.answers));
    const ParameterSet params =
        scenario(sc.robot_type, sc.motion, sc.cp);  // where the program's robot stands
    const Picture p = grab();

    // grid: centre lines 2 pixels wide through the base, others 1 pixel, every 0.1 m
    EXPECT_EQ(p.count(-0.52, -0.85, -0.48, -0.85, is_dark), 2);
    EXPECT_EQ(p.count(-0.32, -0.85, -0.28, -0.85, is_dark), 1);
    EXPECT_EQ(p.count(-0.85, 0.38, -0.85, 0.42, is_dark), 1);

    const Point2 base = shown(params.settings, 0.0, 0.0);
    EXPECT_TRUE(is_red(p.at(base.x, base.y)));
    const Point2 start = shown(params.settings, params.plan.x0, params.plan.y0);
    EXPECT_TRUE(p.near_point(start.x, start.y, 1, is_red));
    const Point2 goal = shown(params.settings, params.plan.xf, params.plan.yf);
    EXPECT_TRUE(is_blue(p.at(goal.x, goal.y)));

    // white panel right of x = 0.35: no grid line in a band free of graph texts
    EXPECT_GT(p.count(0.2, -0.3, 0.34, -0.05, is_dark), 0);
    EXPECT_EQ(p.count(0.36, -0.3, 0.39, -0.05, is_dark), 0);
    EXPECT_EQ(p.count(0.92, -0.45, 0.99, -0.05, is_dark), 0);
}

// a window made wide and low shows the same picture stretched, not letter-boxed: the base of
// the robot at a quarter of the width and of the height, the panel from 0.675 of the width on
TEST_F(WindowRun, ResizedWindowShowsTheDrawingStretched) {
    ASSERT_NO_FATAL_FAILURE(start_window("nbc4\nn"));
    run_command({"xdotool", "windowsize", window, "800", "400"}, display);
    // freeglut calls on_reshape, then the frame is drawn anew
    const Picture p =
        grab_when([](const Picture& q) { return q.height == 400 && is_red(q.at(-0.5, -0.5)); });
    ASSERT_EQ(p.width, 800);
    ASSERT_EQ(p.height, 400);
    EXPECT_TRUE(is_red(p.at(-0.5, -0.5)));                     // pixel (200, 300) from the top
    EXPECT_EQ(p.count(0.36, -0.3, 0.39, -0.05, is_dark), 0);   // panel
    EXPECT_GT(p.count(0.2, -0.3, 0.34, -0.05, is_dark), 0);    // grid left of it
    EXPECT_GT(p.count(-0.99, 0.93, -0.5, 0.99, is_text), 50);  // caption, squeezed in height
}

INSTANTIATE_TEST_SUITE_P(, FirstFrame,
                         ::testing::Values(StartCase{"nbc4\nn", 'b', 'c', 4},
                                           StartCase{"nbp n", 'b', 'p', 0},
                                           StartCase{"nap n", 'a', 'p', 0}),
                         [](const ::testing::TestParamInfo<StartCase>& param_info) {
                             const StartCase& c = param_info.param;
                             return std::string(c.robot_type == 'a' ? "Cylindrical" : "Scara")
                                    + (c.motion == 'c' ? "Sine" : "PtpTrapezoid");
                         });

}  // namespace
