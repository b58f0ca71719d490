// One complete closed-loop run of every robot and motion: 200 samples of 10 Runge-Kutta-Gill
// steps. The SCARA sine run is the costliest, its path point being an integration of its own.
#include "model/parameters.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "sim/run.h"
#include "sim/simulate.h"
#include "tests/support/scenarios.h"

#include <benchmark/benchmark.h>

#include <memory>

using namespace robosim;

// robot, motion and path packed in the benchmark's arguments
static void BM_simulate(benchmark::State& state) {
    const int rt = static_cast<int>(state.range(0));
    const int motion = static_cast<int>(state.range(1));
    const int cp = static_cast<int>(state.range(2));
    const ParameterSet ps = scenario(rt, motion, cp);  // set-up stays outside the timed loop
    const auto histories = std::make_unique<HistorySet>();
    for (auto _ : state) {
        simulate(ps, STEPS_PER_SAMPLE, histories.get());
        benchmark::DoNotOptimize(histories->theta[ps.settings.n_sample][0]);
    }
    state.SetLabel(std::string(1, char(rt)) + " " + char(motion)
                   + (motion == 'c' ? " cp" + std::to_string(cp) : ""));
}

BENCHMARK(BM_simulate)
    ->ArgNames({"robot", "motion", "cp"})
    ->Args({'a', 'q', 4})
    ->Args({'a', 'p', 4})
    ->Args({'a', 'c', 1})
    ->Args({'a', 'c', 2})
    ->Args({'a', 'c', 3})
    ->Args({'a', 'c', 4})
    ->Args({'b', 'q', 4})
    ->Args({'b', 'p', 4})
    ->Args({'b', 'c', 1})
    ->Args({'b', 'c', 2})
    ->Args({'b', 'c', 3})
    ->Args({'b', 'c', 4})
    ->Unit(benchmark::kMillisecond);

// The accurate mode against the fixed step on the SCARA robot's step command (events at the
// torque limit and the gears' switching) and its sine path (the costliest reference); the
// accurate step is to stay under 50 ms. Argument: 0 fixed step, 1 accurate.
static void BM_accurate_against_fixed(benchmark::State& state, int motion) {
    const bool accurate = state.range(0) != 0;
    const ParameterSet ps = scenario('b', motion, 4);
    for (auto _ : state) {
        const ExperimentRun run = run_experiment(ps, {.accurate = accurate});
        benchmark::DoNotOptimize(run.history->theta[ps.settings.n_sample][0]);
    }
    state.SetLabel(accurate ? "accurate" : "fixed step");
}

BENCHMARK_CAPTURE(BM_accurate_against_fixed, scara_step, 'q')
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_accurate_against_fixed, scara_sine, 'c')
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);
