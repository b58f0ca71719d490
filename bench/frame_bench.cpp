// Cost of one window frame: display_frame of the costliest picture, the SCARA sine run at its
// last sample (every curve and trace complete), on the display in DISPLAY. Each repetition
// draws one frame untimed first, then times one frame to its end on the GL side (glFinish),
// in wall-clock time because the software rasteriser works on threads of its own. Run under
// a virtual display with Mesa's software renderer, as the README shows.
#include "app/session.h"
#include "app/window.h"
#include "model/parameters.h"
#include "platform/x_window.h"
#include "sim/run.h"
#include "tests/support/scenarios.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <benchmark/benchmark.h>

using namespace robosim;

// opens the 800 x 800 window once; false without a display
static bool open_bench_window() {
    static bool open = false;
    if (!open) {
        if (display_problem() != nullptr) {
            return false;
        }
        int argc = 1;
        char name[] = "robosim_frame_bench";
        char* argv[] = {name, nullptr};
        glutInitWindowSize(WINDOW_SIZE, WINDOW_SIZE);
        glutInit(&argc, argv);
        glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
        glutCreateWindow("robosim frame benchmark");
        on_reshape(WINDOW_SIZE, WINDOW_SIZE);
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
        open = true;
    }
    return true;
}

static void BM_display_frame_scara_sine_200(benchmark::State& state) {
    if (!open_bench_window()) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    // set-up stays outside the timed loop, once for all repetitions
    static Session session;
    static bool simulated = false;
    ParameterSet& params = session.experiment;
    if (!simulated) {
        params = scenario_scara_sine();
        history_of(session, params.settings.robot_type) = *run_experiment(params, {}).history;
        simulated = true;
    }
    session.view = initial_view_state();
    session.view.anim_index = params.settings.n_sample;
    display_frame(current_scene(session));  // the first frame pays for set-up inside the driver
    glFinish();
    for (auto _ : state) {
        display_frame(current_scene(session));
        glFinish();
    }
}

// 100 repetitions of one frame each: the median is the figure to read
BENCHMARK(BM_display_frame_scara_sine_200)
    ->Iterations(1)
    ->Repetitions(100)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// the floor under every frame: clear and hand over to the window, nothing drawn
static void BM_empty_frame(benchmark::State& state) {
    if (!open_bench_window()) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    end_frame();
    glFinish();
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        end_frame();
        glFinish();
    }
}

BENCHMARK(BM_empty_frame)
    ->Iterations(1)
    ->Repetitions(100)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
