// batch/batch.h: the headless batch tool, one experiment from the defaults to CSV numbers
#pragma once

#include "analysis/summary.h"
#include "batch/pictures.h"
#include "planning/plan.h"
#include "settings/experiment_settings.h"
#include "sim/history.h"
#include "sim/simulate.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace robosim {

constexpr int DEFAULT_GIF_EVERY = 2;  // samples per GIF frame: 25 frames per simulated second
constexpr long MAX_RUNS = 10000000;   // the most runs one command line makes     (-)
constexpr int MAX_JOBS = 1024;        // the most threads --jobs takes                 (-)

// one setting taken through several values, a run for each (--sweep NAME=V1,V2 or FROM:TO:COUNT)
struct Sweep {
    std::string name;                 // a name --set takes
    std::vector<std::string> values;  // the values as --set would take them, in order
};

// what the command line asks for, every field with the value of a run with nothing given;
// selectors hold character codes as in the parameter set
struct BatchOptions {
    int robot_type = DEFAULT_ROBOT_TYPE;  // 'a' or 'b'
    int motion = DEFAULT_MOTION;          // 'q', 'p' or 'c'
    int cp = DEFAULT_CP;                  // 1 .. 4
    int gravity = DEFAULT_GRAVITY;        // 'g' or 'h'
    int fb_type = DEFAULT_FB_TYPE;        // 'v' or 'V'
    bool plan = false;                    // write the planned quantities instead of the histories
    bool help = false;                    // describe the tool and stop
    std::string data_file;  // robot data file to start from; empty: the start-up defaults
    std::vector<std::string> data_files;  // every data file named, in order (several: one run each)
    bool given[5] = {};                   // which of robot_type .. fb_type the command line set
    bool summary = false;                 // write the response figures instead of the histories
    bool csv = false;                     // the response figures as name,value lines
    std::string png_file;           // write the window's frame here as a PNG; empty: no picture
    int sample = -1;                // sample the PNG shows; -1: the last of the run          (-)
    int graph = 0;                  // lower graph of the pictures, 't' or 'i'; 0: the run's own
    double scale = 0.0;             // robot view scale of the pictures; 0: the window's 1.0  (-)
    bool fit = false;               // the robot view fitted to the runs; scale multiplies it
    std::string gif_file;           // write the whole animation here as a GIF; empty: none
    int every = DEFAULT_GIF_EVERY;  // samples from one GIF frame to the next         (-)
    int size = PICTURE_SIZE;        // width and height of the pictures                (px)
    std::string data_out;           // write the experiment here as a robot data file; empty: none
    bool accurate = false;          // the accurate integration mode in place of the fixed step
    int steps_per_sample = STEPS_PER_SAMPLE;  // integration steps per output sample    (-)
    std::vector<std::pair<std::string, std::string>> sets;  // --set NAME=VALUE, in order given
    std::vector<Sweep> sweeps;  // --sweep, in order given; the runs are their product
    int jobs = 0;               // threads of several runs; 0: one per core of the machine (-)
    double band_pct = 100.0 * SETTLING_BAND;  // settling band after the command (% of travel)
};

// how the experiment of the options came out
enum class Prepared {
    ready,          // read and set as asked
    file_stopped,   // the data file could not be read to its end (the reader said where)
    file_refused,   // the data file holds a value no robot can have; it was not applied
    wrong_setting,  // a --set does not apply to the experiment, or its value is impossible
};

//------------------------------------------------------------------ command line
// the options of a run with nothing given: robot b, motion c, cp 4, gravity g, fb V, the CSV
// histories, no pictures, a GIF frame every 2 samples
BatchOptions default_batch_options();

// the experiment the options describe: the defaults with the start-up's default answers, or
// the robot data file, then every selector the command line gave; finally update_derived.
// then the --set settings (selectors first, then the rest in the order given).
// writes: ps, reach (when given) with the motion's ends that lie out of reach, error (when
// given) with the reason of a wrong_setting, and as_read (when given) with the settings of the
// defaults or the data file before the command line changed any
Prepared prepare_batch_experiment(ParameterSet& ps, const BatchOptions& opt,
                                  ReachReport* reach = nullptr, std::string* error = nullptr,
                                  Settings* as_read = nullptr);

// reads argv[1 ..] into opt (each word that is not an option is a data file); on a wrong
// option or value, or options that do not go together, returns false and a one-line reason
bool parse_batch_args(int argc, char** argv, BatchOptions* opt, std::string* error);

// whether the options ask for several runs: more than one data file, or a sweep
bool several_runs(const BatchOptions& opt);

// the values of a --sweep word NAME=V1,V2,... or NAME=FROM:TO:COUNT (COUNT values evenly from
// FROM to TO, the ends as typed, the others in %.17g); false when the word is neither or NAME
// is no setting (its values are checked against the experiment when the runs are made)
bool parse_sweep(const std::string& word, Sweep* sweep);

//------------------------------------------------------------------ output
// header and rows k = 0 .. n of the history set, t = k dt (dt the sample period, s), every
// number in %.17g
void write_history_csv(std::FILE* out, const HistorySet* h, int n, double dt);

// one named quantity of --plan
struct PlanValue {
    const char* name;  // nullptr: none
    double value;
};

// name,value lines of the derived and planned quantities of the robot of ps; returns the first
// of them that is not finite (NaN or infinity), or one without a name when all are
PlanValue write_plan_csv(std::FILE* out, const ParameterSet& ps);

//------------------------------------------------------------------ program
// the whole tool: returns the exit status (0 success, 1 an unreadable data file or an output
// that could not be written, 2 usage, or pictures asked for without an X display, 3 a run
// whose histories turned to NaN or infinity, 4 a point out of the SCARA robot's reach)
int run_batch(int argc, char** argv);

}  // namespace robosim
