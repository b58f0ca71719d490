// Cost of one frame of the browser build's software GL: compose_frame of the costliest
// picture, the SCARA sine run at its last sample (every curve complete, a trace of 201 dots),
// drawn natively at 800 x 800 pixels. The page has 16 ms a frame and its WebAssembly runs
// 1.5 to 2 times slower than this, so the figure to keep is 6 ms or less.
#include "tests/platform/soft_gl_frame.h"
#include "tests/support/scenarios.h"

#include <benchmark/benchmark.h>

using namespace robosim;

constexpr int FRAME_SIDE = 800;  // the window's width and height (px)

static void BM_soft_gl_frame_scara_sine_200(benchmark::State& state) {
    // set-up stays outside the timed loop
    const ParameterSet params = scenario_scara_sine();
    const auto history = run_experiment(params, {}).history;
    const auto none = std::make_unique<HistorySet>();
    Scene scene =
        experiment_scene(params, *none, *history, initial_view_state(), false, nullptr, "");
    scene.view.anim_index = params.settings.n_sample;
    softgl::resize(FRAME_SIDE, FRAME_SIDE);
    softgl::clear_colour(1.0f, 1.0f, 1.0f, 1.0f);
    on_reshape(FRAME_SIDE, FRAME_SIDE);
    for (auto _ : state) {
        compose_frame(scene);
        benchmark::DoNotOptimize(softgl::rgba()[0]);
    }
}

BENCHMARK(BM_soft_gl_frame_scara_sine_200)->Unit(benchmark::kMillisecond);
