// tests/view/view_fixture.h: a real 800 x 800 GL window for the drawing tests, and pixel
// reading from its back buffer in window units (-1 .. 1 on both axes)
#pragma once

#include "app/window.h"
#include "model/parameters.h"
#include "platform/window_system.h"
#include "sim/history.h"
#include "sim/run.h"
#include "tests/support/program_test.h"
#include "tests/support/scenarios.h"
#include "tests/view/picture.h"
#include "tests/view/x_display.h"
#include "view/draw.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace robosim;

// what has been drawn into the back buffer so far
inline Picture read_back_buffer() {
    Picture p;
    p.width = glutGet(GLUT_WINDOW_WIDTH);
    p.height = glutGet(GLUT_WINDOW_HEIGHT);
    p.rgb.assign(static_cast<size_t>(3) * p.width * p.height, 0);
    {
        const WindowSystemCall call;
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, p.width, p.height, GL_RGB, GL_UNSIGNED_BYTE, p.rgb.data());
    }
    // ROBOSIM_VIEW_DUMP=<dir> keeps every picture a test reads, to look at a failure
    if (const char* dir = std::getenv("ROBOSIM_VIEW_DUMP")) {
        static int serial = 0;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = test != nullptr ? test->name() : "picture";
        for (char& ch : name) {
            ch = ch == '/' ? '_' : ch;
        }
        save_png(p, std::string(dir) + "/" + name + "_" + std::to_string(serial++) + ".png");
    }
    return p;
}

//------------------------------------------------------------------ fixture
// set_defaults, zero histories, the view state of a fresh drawing screen, and a cleared
// white 800 x 800 window with an identity modelview matrix, lighting off and 1-pixel lines
class ViewTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        history_cyl = HistorySet{};
        history_scara = HistorySet{};
        view_state = initial_view_state();
        const std::string display = test_display_name();
        ASSERT_FALSE(display.empty()) << "no X display and no Xvfb to start";
        const WindowSystemCall call;
        // A shared virtual server resets whenever its last client leaves and refuses
        // connections meanwhile; holding a connection of our own for the whole test keeps it
        // from resetting under the window library's start.
        static Display* held = nullptr;
        for (int attempt = 0; held == nullptr && attempt < 40; ++attempt) {
            held = XOpenDisplay(display.c_str());
            if (held == nullptr) {
                usleep(50000);
            }
        }
        ASSERT_NE(held, nullptr) << "cannot open the X display";
        static bool window_open = false;
        if (!window_open) {
            std::string words[] = {"view_tests", "-display", display};
            int argc = 3;
            char* argv[] = {words[0].data(), words[1].data(), words[2].data(), nullptr};
            glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
            glutInit(&argc, argv);
            glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
            glutCreateWindow("robosim view test");
            glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
            window_open = true;
        }
        on_reshape(WINDOW_SIZE, WINDOW_SIZE);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLoadIdentity();
        glDisable(GL_LIGHTING);
        glLineWidth(1.0f);
    }

    // a simulated run of the robot with the scenario's settings, shown from its start
    void simulate_scenario(int robot_type, int motion, int cp) {
        params = scenario(robot_type, motion, cp);
        view_state = initial_view_state();
        *history_of(params.settings.robot_type) = *run_experiment(params, {}).history;
    }
};
