// Fuzzing the robot data file reader: any bytes as a data file, then everything that follows a
// read in the programs (derivation, planning, the reports, the whole simulation, the response
// figures and the CSV the batch tool writes) must neither crash nor hang, whatever the values.
// A run is bounded by the history length, so each input takes a bounded time; scripts/run-fuzz
// gives libFuzzer a limit per input on top.
#include "analysis/summary.h"
#include "app/datafile.h"
#include "app/report.h"
#include "batch/batch.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "planning/reference.h"
#include "platform/console_io.h"
#include "sim/history.h"
#include "sim/run.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sys/mman.h>
#include <unistd.h>

using namespace robosim;

static void discard_text(const char*) {}

static int answer_no() {
    return 'n';
}

// the entry libFuzzer calls with each input
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memfd_create("robot.dat", 0);
    if (fd < 0) {
        return 0;
    }
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    console_hooks.write_text = discard_text;
    console_hooks.read_key = answer_no;
    char path[64];
    std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);

    ParameterSet params = {};
    set_defaults(params);
    read_robot_data(params, path);
    tell_unreachable(params, update_derived(params), true);
    print_settings(params);
    print_settings_derived(params);
    // the commanded motion along the run, as the simulation asks for it
    ReferenceRun ref_run = new_reference_run();
    double position[2];
    double velocity[2];
    for (int k = 0; k <= 40; ++k) {
        reference_at(params, &ref_run, params.settings.robot_type, params.settings.motion,
                     params.settings.cp, 0.1 * k, position, velocity);
    }
    // what robosim-batch writes for the experiment, into nowhere
    static std::FILE* const nowhere = std::fopen("/dev/null", "w");
    write_plan_csv(nowhere, params);
    const ExperimentRun run = run_experiment(params, {});
    tell_unreachable(params, run.unreachable, false);
    write_summary(nowhere, params, *run.history, true);
    write_summary(nowhere, params, *run.history, false);
    write_history_csv(nowhere, run.history.get(), params.settings.n_sample,
                      params.settings.dt_sample);
    close(fd);
    return 0;
}
