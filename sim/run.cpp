// Runs of experiments. A run reads its experiment and writes only its own history set and its
// own reference generator state, so runs on different threads never meet and give the bits of
// runs one by one. A run's history set is made before its integration starts, on the thread
// that integrates it: nothing is allocated while a run integrates, and the zeroing of the sets
// is shared among the threads as the integrations are.
#include "sim/run.h"

#include "sim/accurate.h"
#include "sim/history.h"
#include "sim/simulate.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <system_error>
#include <thread>

namespace robosim {

// a run of the experiment with its zero history set, refused where the set cannot hold it
static ExperimentRun prepare_run(const ParameterSet& experiment) {
    ExperimentRun run;
    run.history = std::make_unique<HistorySet>();
    // samples 0 .. n_sample take n_sample + 1 records
    if (experiment.settings.n_sample > HISTORY_LEN - 1) {
        run.refusal = RunRefusal::too_long;
    }
    return run;
}

// integrates a prepared run into its history set, unless it was refused
static void integrate(const ParameterSet& experiment, const RunOptions& options,
                      ExperimentRun* run) {
    if (run->refusal != RunRefusal::none) {
        return;
    }
    if (options.accurate) {
        run->unreachable =
            simulate_accurate(experiment, options.steps_per_sample, options.step_budget,
                              options.progress, run->history.get(), &run->accurate);
    } else {
        run->unreachable = simulate(experiment, options.steps_per_sample, run->history.get());
    }
}

//------------------------------------------------------------------ runs

ExperimentRun run_experiment(const ParameterSet& experiment, const RunOptions& options) {
    ExperimentRun run = prepare_run(experiment);
    integrate(experiment, options, &run);
    return run;
}

std::vector<ExperimentRun> run_experiments(std::span<const ParameterSet> experiments,
                                           const RunOptions& options, int threads) {
    std::vector<ExperimentRun> runs(experiments.size());
    RunOptions quiet = options;
    quiet.progress = nullptr;  // one progress line cannot follow runs that overlap

    // each thread takes the next experiment nobody has taken: a sine path costs thirty times a
    // line, so a fixed share per thread would leave threads idle
    std::atomic<std::size_t> next = 0;
    const auto take_runs = [&] {
        for (std::size_t i = next++; i < runs.size(); i = next++) {
            runs[i] = prepare_run(experiments[i]);
            integrate(experiments[i], quiet, &runs[i]);
        }
    };
    const std::size_t count =
        THREADS_AVAILABLE ? std::min<std::size_t>(std::max(threads, 1), runs.size()) : 1;
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < count; ++t) {
        try {
            helpers.emplace_back(take_runs);
        } catch (const std::system_error&) {
            break;  // the system gives no more threads: fewer take part, the runs are the same
        }
    }
    take_runs();
    for (std::thread& helper : helpers) {
        helper.join();  // all runs are done
    }
    return runs;
}

}  // namespace robosim
