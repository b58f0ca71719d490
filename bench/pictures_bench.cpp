// Cost of the batch tool's picture files for the costliest run, the SCARA sine: the whole
// animation (simulation, 101 frames drawn, read back and packed into the GIF) and one PNG of
// the last sample. Wall-clock time, as the software rasteriser works on threads of its own.
// Needs the display in DISPLAY; run under a virtual display, as `make bench` does.
#include "app/session.h"
#include "batch/pictures.h"
#include "model/parameters.h"
#include "platform/offscreen.h"
#include "platform/x_window.h"
#include "sim/run.h"
#include "tests/support/scenarios.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

using namespace robosim;

// the off-screen drawable, opened once; false without a display
static bool open_bench_view() {
    static bool open = false;
    if (!open) {
        if (display_problem() != nullptr || open_offscreen_view(PICTURE_SIZE, PICTURE_SIZE)) {
            return false;
        }
        on_reshape(PICTURE_SIZE, PICTURE_SIZE);
        open = true;
    }
    return true;
}

static std::string scratch_file(const char* ending) {
    return "/tmp/robosim_picture_bench_" + std::to_string(getpid()) + ending;
}

// what `robosim-batch --gif FILE` does after reading its options
static void BM_gif_scara_sine_whole_run(benchmark::State& state) {
    if (!open_bench_view()) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    const std::string path = scratch_file(".gif");
    for (auto _ : state) {
        Session session;
        session.experiment = scenario_scara_sine();
        history_of(session, session.experiment.settings.robot_type) =
            *run_experiment(session.experiment, {}).history;
        session.view = initial_view_state();
        std::string error;
        if (!write_animation_gif(current_scene(session), path, 2, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    unlink(path.c_str());
}

BENCHMARK(BM_gif_scara_sine_whole_run)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

// one picture of the last sample, the run made once outside the timed loop
static void BM_png_scara_sine_200(benchmark::State& state) {
    if (!open_bench_view()) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    Session session;
    const ParameterSet& params = session.experiment = scenario_scara_sine();
    history_of(session, params.settings.robot_type) = *run_experiment(params, {}).history;
    session.view = initial_view_state();
    const std::string path = scratch_file(".png");
    for (auto _ : state) {
        std::string error;
        if (!write_frame_png(current_scene(session), path, params.settings.n_sample, &error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    unlink(path.c_str());
}

BENCHMARK(BM_png_scara_sine_200)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
