// sim/run.h: the one way to run an experiment: a run of one experiment, or of a list of them on
// several threads; the window, the batch tool and every other caller go through here
#pragma once

#include "planning/kinematics.h"
#include "planning/plan.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "sim/simulate.h"

#include <memory>
#include <span>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ types
constexpr int MAX_STEPS_PER_SAMPLE = 1000;  // the most integration steps per sample a run takes (-)

// how a run integrates; what it runs (robot, motion, feedback, dt_sample, n_sample, start
// angles) it reads from its experiment
struct RunOptions {
    bool accurate = false;                       // switchings located, else the fixed step
    int steps_per_sample = STEPS_PER_SAMPLE;     // integration steps per output sample      (-)
    long step_budget = 0;                        // accurate: steps allowed, 0 the default    (-)
    const AccurateProgress* progress = nullptr;  // accurate: told how far the run has come
};

// why a run was not made
enum class RunRefusal {
    none,      // the run was made
    too_long,  // its samples 0 .. n_sample do not fit into a history: nothing was run
};

// one run of an experiment
struct ExperimentRun {
    RunRefusal refusal = RunRefusal::none;  // none, or why nothing was run
    std::unique_ptr<HistorySet> history;    // samples 0 .. n_sample, the rest zero; never null
    ReachReport unreachable = {};           // the first unreachable SCARA points the run met
    AccurateStats accurate = {};            // what an accurate run met; zero after a fixed step
};

//------------------------------------------------------------------ runs
// whether this build can start threads: the browser's build has none (its page must open from
// any web server or a folder, which shared memory between threads would not allow), and
// there every run is made on the caller's thread
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
constexpr bool THREADS_AVAILABLE = false;
#else
constexpr bool THREADS_AVAILABLE = true;
#endif

// runs the experiment in the integration of options; refuses (RunRefusal::too_long) a run of
// more samples than a history holds rather than cut it short
ExperimentRun run_experiment(const ParameterSet& experiment, const RunOptions& options);

// runs every experiment as run_experiment does, on up to threads threads at once (at least
// one; one where THREADS_AVAILABLE is false, or as many as could be started), and returns their
// runs in the order of the experiments; the runs are those of run_experiment to the last bit.
// options.progress is not told: the runs overlap.
std::vector<ExperimentRun> run_experiments(std::span<const ParameterSet> experiments,
                                           const RunOptions& options, int threads);

}  // namespace robosim
