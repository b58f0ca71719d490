// Several runs through the run-list call: a 100-run sweep of the SCARA trapezoid on 1 and on 2
// threads in the same process. The second is to take at most 1/1.8 of the first's time on two
// idle cores; the experiments are made before the timed loop.
#include "model/parameters.h"
#include "planning/experiment.h"
#include "sim/run.h"
#include "tests/support/scenarios.h"

#include <benchmark/benchmark.h>

#include <vector>

using namespace robosim;

constexpr int SWEEP_RUNS = 100;  // runs of the sweep (-)

// argument: threads; the sweep takes the joint-1 loop from 2 to 8 Hz, as --sweep fn1=2:8:100
static void BM_sweep_scara_trapezoid(benchmark::State& state) {
    const int threads = static_cast<int>(state.range(0));
    std::vector<ParameterSet> experiments(SWEEP_RUNS, scenario('b', 'p', 4));
    for (int i = 0; i < SWEEP_RUNS; ++i) {
        experiments[i].settings.omega_n1 = omega_of_hz(2.0 + 6.0 * i / (SWEEP_RUNS - 1));
        update_derived(experiments[i]);
    }
    for (auto _ : state) {
        const std::vector<ExperimentRun> runs = run_experiments(experiments, {}, threads);
        benchmark::DoNotOptimize(runs.back().history->theta[0][0]);
    }
    state.counters["runs/s"] =
        benchmark::Counter(SWEEP_RUNS, benchmark::Counter::kIsIterationInvariantRate);
}

BENCHMARK(BM_sweep_scara_trapezoid)
    ->ArgName("threads")
    ->Arg(1)
    ->Arg(2)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);
