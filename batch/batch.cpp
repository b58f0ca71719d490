// robosim-batch: starts from the defaults, applies the command line, derives and simulates as
// the final stage of the dialogs does, and writes the numbers to standard output. The model's
// console text goes to standard error so that the CSV stays clean.
#include "batch/batch.h"

#include "analysis/summary.h"
#include "batch/pictures.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "platform/console_io.h"
#include "platform/offscreen.h"
#include "platform/output_file.h"
#include "platform/x_connection.h"
#include "platform/x_window.h"
#include "settings/datafile.h"
#include "settings/experiment_settings.h"
#include "settings/messages_ja.h"
#include "settings/setting_fields.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "sim/run.h"
#include "view/frame.h"
#include "view/robot_view.h"
#include "view/view_state.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <future>
#include <iterator>
#include <memory>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ console

static void write_stderr(const char* utf8) {
    std::fputs(utf8, stderr);
}

// a batch run has no one at the keyboard: a key wait of the model returns at once
static int no_key() {
    return ' ';
}

// the model's message for each point of report not among told (when given); no key is waited
// for, since no one is at the keyboard
static void tell_unreachable(const ParameterSet& ps, const ReachReport& report,
                             ReachReport* told = nullptr) {
    const ReachReport tell = points_to_tell(report, told);
    for (int i = 0; i < tell.count; ++i) {
        console_print("%s", unreachable_text_ja(ps.settings, tell.points[i]).c_str());
    }
}

//------------------------------------------------------------------ command line

static const char* const USAGE =
    "usage: robosim-batch [FILE.dat ...] [--robot a|b] [--motion q|p|c] [--cp 1|2|3|4] "
    "[--gravity g|h] [--fb v|V] [--plan | --summary [--csv] [--band PERCENT]] "
    "[--png FILE [--sample K]] [--gif FILE [--every N]] [--graph t|i] [--scale S] [--fit] [--size "
    "PIXELS] "
    "[--accurate] [--steps-per-sample N] [--set NAME=VALUE ...] "
    "[--sweep NAME=V1,V2,...|NAME=FROM:TO:COUNT ...] [--jobs N] [--write-data FILE] [--help]";

static const char* const HELP =
    "robosim-batch: runs one experiment of the robot control simulator without a window and\n"
    "writes its numbers, its response figures or its pictures; several data files or a sweep\n"
    "run several experiments at once and write their numbers or figures.\n"
    "\n"
    "It starts from the built-in defaults (the SCARA robot on the sine path, gravity on,\n"
    "velocity-error feedback) or from a robot data file, applies the options, derives the\n"
    "model, plans the motion and simulates 4 s of closed-loop motion.\n"
    "\n"
    "  FILE.dat          read the experiment from this robot data file (see examples/); the\n"
    "                    options below override what it says. Several files make a run\n"
    "                    each, with the same options\n"
    "  --robot a|b       a: cylindrical-coordinate robot, b: SCARA robot (default b)\n"
    "  --motion q|p|c    q: PTP step, p: PTP trapezoid, c: CP path (default c)\n"
    "  --cp 1|2|3|4      CP path: 1 line, 2 circle, 3 inverted U, 4 sine (default 4)\n"
    "  --gravity g|h     g: gravity on (vertical motion), h: off (default g)\n"
    "  --fb v|V          v: velocity feedback, V: velocity-error feedback (default V)\n"
    "  --plan            write the derived and planned quantities as name,value lines\n"
    "  --summary         write the response figures per joint as a table: largest errors\n"
    "                    during and after the motion, overshoot, 2 %% settling time and the\n"
    "                    settling time after the command (--band), peak drive torque and\n"
    "                    the share of samples at the torque limit, the inertia seen with\n"
    "                    the natural frequency and damping the gains give at it, and for\n"
    "                    CP motions the largest path error (mm); then the travel and the\n"
    "                    errors at the joint (deg, mm for the cylindrical robot's joint 2)\n"
    "  --csv             with --summary: the same figures as name,value lines\n"
    "  --band PERCENT    with --summary: the band of the settling time after the command\n"
    "                    (counted from t = 0 for the step command, from tf otherwise),\n"
    "                    in %% of the travel, above 0 and at most 100 (default 2)\n"
    "  --png FILE        write the window's frame as an 800 x 800 PNG picture\n"
    "  --sample K        the sample the PNG shows, 0 .. 200 (default: the last)\n"
    "  --gif FILE        write the whole animation as a looping GIF at the pace of the\n"
    "                    simulated time\n"
    "  --every N         one GIF frame every N samples (default 2)\n"
    "  --accurate        integrate the gears' switching accurately: each gear drives, is\n"
    "                    driven or sticks, and every change of that, and of the torque\n"
    "                    limit, is found inside its step (the window's key x)\n"
    "  --set NAME=VALUE  change one setting of the experiment, after the data file and the\n"
    "                    options above; repeatable. NAME is one of the settings listed\n"
    "                    below, VALUE is in the unit shown, as a data file holds it\n"
    "  --sweep NAME=V1,V2,...\n"
    "  --sweep NAME=FROM:TO:COUNT\n"
    "                    a run for each value of a setting (COUNT values evenly from FROM to\n"
    "                    TO); NAME is one --set takes. Repeatable: the runs are every\n"
    "                    combination, for each data file, the last sweep changing fastest\n"
    "  --jobs N          threads of several runs, 1 .. 1024 (default: the machine's cores);\n"
    "                    the numbers are the same on any number\n"
    "  --write-data FILE write the experiment as a robot data file (its settings after the\n"
    "                    data file and the options), which reads back to the same run;\n"
    "                    alone, nothing else is written. A file holds no damping ratio:\n"
    "                    with zeta1 or zeta2 other than 1.0 nothing is written\n"
    "  --steps-per-sample N\n"
    "                    integration steps per 0.02 s sample, 1 .. 1000 (default 10): run\n"
    "                    the same experiment with 20, 40, .. to see how far the numbers\n"
    "                    still move with the step\n"
    "  --graph t|i       lower graph of the pictures: t torques, i inertias (default t)\n"
    "  --scale S         robot view scale of the pictures, as the keys w and W set it\n"
    "                    (default 1; w multiplies by 0.9)\n"
    "  --size PIXELS     width and height of the pictures, 200 .. 4000 (default 800, the\n"
    "                    window's); smaller than 800, the text takes the window's smaller fonts\n"
    "  --fit             fit the robot view of the pictures to the runs, so that their\n"
    "                    paths and the arm in every pose are whole (the window's key z);\n"
    "                    with --scale the fitted scale is multiplied by S, as w and W do\n"
    "                    after z\n"
    "  --help            show this text\n"
    "\n"
    "Output without --plan, --summary, --png or --gif: one CSV row per sample k = 0 .. 200\n"
    "with t = k * 0.02 s: motor angles, commanded angles and errors (rad), work position,\n"
    "command and error (m), the motor torques split into drive, inertia, Coriolis, gravity\n"
    "and friction (N*m) and the inertia seen by each motor (kg*m^2). Every number reads back\n"
    "to the same double. Pictures are drawn by the window's own view code and need an X\n"
    "display (a virtual one such as xvfb-run will do); no window is shown. Messages of the\n"
    "model go to standard error, as does the echo of a data file. A data file is a regular\n"
    "file of at most 64 KB. A picture file is written under a temporary name beside it and\n"
    "takes its name only when complete, so a failure leaves any earlier file as it was; only\n"
    "a regular file that may be written is a target.\n"
    "\n"
    "Several runs (several data files, --sweep) write the histories with leading columns\n"
    "naming the run (file, then each swept setting), and --summary one row per run, those\n"
    "columns first, then the figures: with --csv named and written as the single run's\n"
    "name,value lines, else as a table of 6 digits. --png and --gif draw up to 5 runs of one\n"
    "robot over each other, the first as the current run and the others as the window's\n"
    "pinned runs, with a legend. --plan and --write-data take one run. The tool ends with\n"
    "the status of the first run that did not end well.\n"
    "\n"
    "Settings for --set. A plain name means the current robot and the current motion's\n"
    "record; a name may be qualified by its record: cyl. scara. (robot a, b), step. trap.\n"
    "line. circle. ucurve. sine. (e.g. scara.PW1, circle.tf, sine.L):\n"
    "%s"
    "\n"
    "Exit status:\n"
    "  0  success\n"
    "  1  a data file that could not be read to its end, or holds a value no robot can have\n"
    "     or a choice outside its list (robot, gravity, feedback, motion, path kind), or an\n"
    "     output that could not be written (standard output included)\n"
    "  2  a wrong option or value (a --set included, or a name of a record the experiment\n"
    "     does not use), outputs that name the data file or each other, or pictures without\n"
    "     an X display\n"
    "  3  the run diverged: its numbers turned to NaN or infinity (a point the robot cannot\n"
    "     reach does that too), or with --plan a planned number is not finite; everything is\n"
    "     written all the same, and one line on standard error names the first sample and\n"
    "     quantity\n"
    "  4  a point of the motion lies out of the SCARA robot's reach: everything is written\n"
    "     all the same (its numbers are not numbers), and one line on standard error names\n"
    "     the first such point\n";

constexpr double MAX_VIEW_SCALE = 1e3;  // beyond this the robot is a few metres of grid cells

BatchOptions default_batch_options() {
    return BatchOptions{};
}

// the one-character value of an option if it is one of `allowed`, else 0
static int selector_value(const char* value, const char* allowed) {
    if (value == nullptr || std::strlen(value) != 1 || std::strchr(allowed, value[0]) == nullptr) {
        return 0;
    }
    return value[0];
}

// a whole word of decimal digits as an integer in lo .. hi (lo >= 0); leading zeros are digits
// like any other, so only the digits after them count towards the bound of a long
static bool integer_value(const std::string& text, long lo, long hi, int* value) {
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const size_t first = std::min(text.find_first_not_of('0'), text.size() - 1);
    if (text.size() - first > 9) {
        return false;
    }
    const long v = std::strtol(text.c_str() + first, nullptr, 10);
    if (v < lo || v > hi) {
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

// a whole word as a finite number in (0, hi]
static bool positive_value(const std::string& text, double hi, double* value) {
    double v = 0.0;
    if (read_number_word(text, &v) != NumberWord::number || !std::isfinite(v) || v <= 0.0
        || v > hi) {
        return false;
    }
    *value = v;
    return true;
}

// the runs the options make: each data file (or the defaults) with every combination of the
// swept values; a count beyond MAX_RUNS stands for any larger one
static long run_count(const BatchOptions& opt) {
    long count = std::max<long>(1, static_cast<long>(opt.data_files.size()));
    for (const Sweep& sweep : opt.sweeps) {
        count = std::min(count * static_cast<long>(sweep.values.size()), MAX_RUNS + 1);
    }
    return count;
}

bool several_runs(const BatchOptions& opt) {
    return opt.data_files.size() > 1 || !opt.sweeps.empty();
}

bool parse_sweep(const std::string& word, Sweep* sweep) {
    const size_t eq = word.find('=');
    if (eq == std::string::npos || !setting_name_known(word.substr(0, eq))) {
        return false;
    }
    sweep->name = word.substr(0, eq);
    const std::string list = word.substr(eq + 1);
    sweep->values.clear();
    const size_t colon = list.find(':');
    if (colon == std::string::npos) {
        // V1,V2,...: each value a word --set takes
        for (size_t start = 0;;) {
            const size_t comma = list.find(',', start);
            const std::string value = list.substr(start, comma - start);
            if (value.empty()) {
                return false;
            }
            sweep->values.push_back(value);
            if (comma == std::string::npos) {
                return true;
            }
            start = comma + 1;
        }
    }
    // FROM:TO:COUNT: v_i = FROM + (TO - FROM) i / (COUNT - 1), i = 0 .. COUNT - 1
    const size_t colon2 = list.find(':', colon + 1);
    if (colon2 == std::string::npos) {
        return false;
    }
    const std::string from_word = list.substr(0, colon);
    const std::string to_word = list.substr(colon + 1, colon2 - colon - 1);
    double from = 0.0;
    double to = 0.0;
    int count = 0;
    if (read_number_word(from_word, &from) != NumberWord::number
        || read_number_word(to_word, &to) != NumberWord::number || !std::isfinite(from)
        || !std::isfinite(to) || !integer_value(list.substr(colon2 + 1), 1, MAX_RUNS, &count)) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        char text[40] = "";
        if (i > 0 && i < count - 1) {
            std::snprintf(text, sizeof text, "%.17g", from + (to - from) * i / (count - 1));
        }
        sweep->values.push_back(i == 0 ? from_word : i == count - 1 ? to_word : text);
    }
    return true;
}

// whether the options ask for a PNG or a GIF
static bool wants_pictures(const BatchOptions& opt) {
    return !opt.png_file.empty() || !opt.gif_file.empty();
}

// the combinations that make no sense, named as the user wrote them
static bool options_fit(const BatchOptions& opt, const bool* named, std::string* error) {
    enum { SAMPLE, EVERY, GRAPH, SCALE, BAND, SIZE };

    const bool pictures = wants_pictures(opt);
    if (opt.plan && opt.summary) {
        *error = "--plan and --summary cannot go together";
    } else if (opt.csv && !opt.summary) {
        *error = "--csv goes with --summary";
    } else if (named[BAND] && !opt.summary) {
        *error = "--band goes with --summary";
    } else if (named[SAMPLE] && opt.png_file.empty()) {
        *error = "--sample goes with --png";
    } else if (named[EVERY] && opt.gif_file.empty()) {
        *error = "--every goes with --gif";
    } else if ((named[GRAPH] || named[SCALE] || named[SIZE] || opt.fit) && !pictures) {
        *error = std::string(named[GRAPH]   ? "--graph"
                             : named[SCALE] ? "--scale"
                             : named[SIZE]  ? "--size"
                                            : "--fit")
                 + " goes with --png or --gif";
    } else if (opt.plan && pictures) {
        *error = "--plan writes no pictures";
    } else if (several_runs(opt) && (opt.plan || !opt.data_out.empty())) {
        *error = std::string(opt.plan ? "--plan" : "--write-data")
                 + " take one run, not the several of a sweep or of several data files";
    } else if (pictures && run_count(opt) > MAX_SCENE_RUNS) {
        // the window's own limit: the current run and four pinned beside it
        *error = "--png and --gif draw at most " + std::to_string(MAX_SCENE_RUNS) + " runs, not "
                 + std::to_string(run_count(opt));
    } else if (run_count(opt) > MAX_RUNS) {
        *error = "more than " + std::to_string(MAX_RUNS) + " runs";
    } else {
        return true;
    }
    return false;
}

bool parse_batch_args(int argc, char** argv, BatchOptions* opt, std::string* error) {
    struct Selector {
        const char* name;
        const char* allowed;
        int* field;
    };

    const Selector selectors[] = {
        {"--robot", "ab", &opt->robot_type}, {"--motion", "qpc", &opt->motion},
        {"--cp", "1234", &opt->cp},          {"--gravity", "gh", &opt->gravity},
        {"--fb", "vV", &opt->fb_type},
    };

    // options with a value that are not selectors of the experiment, in the order of `named`;
    // each stores its value and says whether it was a valid one
    struct Valued {
        const char* name;
        bool (*store)(const std::string& value, BatchOptions* opt);
    };

    static const Valued valued[] = {
        {"--sample",  // the upper end depends on the run and is checked once it is known
         [](const std::string& v, BatchOptions* o) {
             return integer_value(v, 0, HISTORY_LEN - 1, &o->sample);
         }},
        {"--every",
         [](const std::string& v, BatchOptions* o) {
             return integer_value(v, 1, HISTORY_LEN - 1, &o->every);
         }},
        {"--graph",
         [](const std::string& v, BatchOptions* o) {
             o->graph = selector_value(v.c_str(), "ti");
             return o->graph != 0;
         }},
        {"--scale", [](const std::string& v,
                       BatchOptions* o) { return positive_value(v, MAX_VIEW_SCALE, &o->scale); }},
        {"--band", [](const std::string& v,
                      BatchOptions* o) { return positive_value(v, 100.0, &o->band_pct); }},
        {"--size",
         [](const std::string& v, BatchOptions* o) {
             return integer_value(v, MIN_PICTURE_SIZE, MAX_PICTURE_SIZE, &o->size);
         }},
        {"--png",
         [](const std::string& v, BatchOptions* o) {
             o->png_file = v;
             return !v.empty();
         }},
        {"--gif",
         [](const std::string& v, BatchOptions* o) {
             o->gif_file = v;
             return !v.empty();
         }},
        {"--write-data",
         [](const std::string& v, BatchOptions* o) {
             o->data_out = v;
             return !v.empty();
         }},
        {"--steps-per-sample",
         [](const std::string& v, BatchOptions* o) {
             return integer_value(v, 1, MAX_STEPS_PER_SAMPLE, &o->steps_per_sample);
         }},
        {"--set",  // what the name means, and so the value's rule, depends on the experiment
         [](const std::string& v, BatchOptions* o) {
             const size_t eq = v.find('=');
             if (eq == std::string::npos || !setting_name_known(v.substr(0, eq))) {
                 return false;
             }
             o->sets.emplace_back(v.substr(0, eq), v.substr(eq + 1));
             return true;
         }},
        {"--sweep",
         [](const std::string& v, BatchOptions* o) {
             Sweep sweep;
             if (!parse_sweep(v, &sweep)) {
                 return false;
             }
             o->sweeps.push_back(sweep);
             return true;
         }},
        {"--jobs", [](const std::string& v,
                      BatchOptions* o) { return integer_value(v, 1, MAX_JOBS, &o->jobs); }},
    };
    bool named[std::size(valued)] = {};

    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.empty()) {
            *error = "an empty data file name";
            return false;
        }
        if (arg.rfind("-", 0) != 0) {
            // the first file is the run's; more make a run each
            if (opt->data_file.empty()) {
                opt->data_file = arg;
            }
            opt->data_files.push_back(arg);
            continue;
        }

        const struct {
            const char* name;
            bool* flag;
        } flags[] = {{"--plan", &opt->plan}, {"--summary", &opt->summary},
                     {"--csv", &opt->csv},   {"--accurate", &opt->accurate},
                     {"--fit", &opt->fit},   {"--help", &opt->help},
                     {"-h", &opt->help}};

        bool* flag = nullptr;
        for (const auto& f : flags) {
            if (arg == f.name) {
                flag = f.flag;
            }
        }
        if (flag != nullptr) {
            *flag = true;
            continue;
        }
        // --name value or --name=value
        const size_t eq = arg.find('=');
        const std::string name = arg.substr(0, eq);
        const Selector* sel = nullptr;
        for (const Selector& s : selectors) {
            if (name == s.name) {
                sel = &s;
            }
        }
        int other = -1;
        for (int v = 0; v < static_cast<int>(std::size(valued)); ++v) {
            if (name == valued[v].name) {
                other = v;
            }
        }
        if (sel == nullptr && other < 0) {
            *error = "unknown argument '" + arg + "'";
            return false;
        }
        std::string value;
        if (eq != std::string::npos) {
            value = arg.substr(eq + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            *error = name + " needs a value";
            return false;
        }
        std::string wrong = "wrong value '" + value + "' for " + name;
        if (name == "--set" || name == "--sweep") {
            const std::string setting = value.substr(0, value.find('='));
            wrong = value.find('=') == std::string::npos
                        ? name + (name == "--set" ? " takes NAME=VALUE" : " takes NAME=V1,V2,...")
                              + ", not '" + value + "'"
                    : !setting_name_known(setting)
                        ? "unknown setting '" + setting + "' in " + name + " (--help lists them)"
                        : "wrong values '" + value.substr(value.find('=') + 1) + "' in " + name
                              + " (V1,V2,... or FROM:TO:COUNT)";
        }
        if (sel != nullptr) {
            const int v = selector_value(value.c_str(), sel->allowed);
            if (v == 0) {
                *error = wrong;
                return false;
            }
            *sel->field = sel->field == &opt->cp ? v - '0' : v;
            opt->given[sel - selectors] = true;
            continue;
        }
        named[other] = true;
        const bool ok = valued[other].store(value, opt);
        if (!ok) {
            *error = wrong;
            return false;
        }
    }
    return options_fit(*opt, named, error);
}

//------------------------------------------------------------------ output

// the history header, after the columns that name a run (run_columns: empty, or ending in ',')
static void write_history_header(std::FILE* out, const std::string& run_columns) {
    std::fprintf(out, "%sk,t", run_columns.c_str());
    for (const HistoryField& f : HISTORY_FIELD_TABLE) {
        std::fprintf(out, ",%s,%s", history_column_name(f, 0).c_str(),
                     history_column_name(f, 1).c_str());
    }
    std::fputc('\n', out);
}

// rows k = 0 .. n of the history set, each after the run's own values (run: empty, or ending
// in ',')
static void write_history_rows(std::FILE* out, const HistorySet* h, int n, double dt,
                               const std::string& run) {
    const int last = std::min(n, HISTORY_LEN - 1);
    for (int k = 0; k <= last; ++k) {
        std::fprintf(out, "%s%d,%.17g", run.c_str(), k, k * dt);
        for (const HistoryField& f : HISTORY_FIELD_TABLE) {
            std::fprintf(out, ",%.17g,%.17g", (h->*f.values)[k][0], (h->*f.values)[k][1]);
        }
        std::fputc('\n', out);
    }
}

void write_history_csv(std::FILE* out, const HistorySet* h, int n, double dt) {
    write_history_header(out, "");
    write_history_rows(out, h, n, dt, "");
}

PlanValue write_plan_csv(std::FILE* out, const ParameterSet& ps) {
    const RobotModel& rm = robot_of(ps.model, ps.settings.robot_type);
    const RobotPlan& rp = robot_of(ps.plan, ps.settings.robot_type);

    const PlanValue rows[] = {
        {"IM1", rm.IM1},
        {"IM2", rm.IM2},
        {"tau_m1", rm.tau_m1},
        {"tau_m2", rm.tau_m2},
        {"eta_rev1", rm.eta_rev1},
        {"eta_rev2", rm.eta_rev2},
        {"JM1", rm.JM1},
        {"JM2", rm.JM2},
        {"Kp1", rm.Kp1},
        {"Kv1", rm.Kv1},
        {"Ki1", rm.Ki1},
        {"Kp2", rm.Kp2},
        {"Kv2", rm.Kv2},
        {"Ki2", rm.Ki2},
        {"x0", ps.plan.x0},
        {"y0", ps.plan.y0},
        {"xf", ps.plan.xf},
        {"yf", ps.plan.yf},
        {"tf", ps.plan.tf},
        {"phi0_1", rp.phi0[0]},
        {"phi0_2", rp.phi0[1]},
        {"phif_1", rp.phif[0]},
        {"phif_2", rp.phif[1]},
        {"theta0_1", rp.theta0[0]},
        {"theta0_2", rp.theta0[1]},
        {"thetaf_1", rp.thetaf[0]},
        {"thetaf_2", rp.thetaf[1]},
        {"t11", rp.t11},
        {"t12", rp.t12},
        {"omega_m1", rp.omega_m1},
        {"omega_m2", rp.omega_m2},
        {"alpha_m1", rp.alpha_m1},
        {"alpha_m2", rp.alpha_m2},
        {"sf", ps.plan.sf},
        {"t1", rp.t1},
        {"t2", rp.t2},
        {"am1", rp.am1},
        {"am2", rp.am2},
        {"vm", rp.vm},
    };

    PlanValue first_not_finite = {nullptr, 0.0};
    for (const PlanValue& row : rows) {
        std::fprintf(out, "%s,%.17g\n", row.name, row.value);
        if (first_not_finite.name == nullptr && !std::isfinite(row.value)) {
            first_not_finite = row;
        }
    }
    return first_not_finite;
}

//------------------------------------------------------------------ experiment

// the experiment before the --set settings: the defaults with the start-up's default answers,
// or the robot data file (complete: whether it was read to its end), then the selectors the
// command line gave. as_read (when given): the settings before those selectors, what the
// command line changed the experiment from
static Prepared start_batch_experiment(ParameterSet& ps, const BatchOptions& opt, bool* complete,
                                       Settings* as_read = nullptr) {
    *complete = true;
    if (opt.data_file.empty()) {
        // the start-up's answers: robot, motion and the selectors it sets itself
        set_start_defaults(ps);
    } else {
        set_defaults(ps);
        // a run without anyone to see the echo: a selector outside its list refuses the file
        const DataFileRead read = read_robot_data_file(opt.data_file.c_str(), ps, true);
        console_print("%s\n", data_file_text_ja(read, opt.data_file).c_str());
        if (refuses_file(read.error.problem)) {
            return Prepared::file_refused;
        }
        ps = read.ps;
        *complete = read.error.problem == DataFileProblem::none;
    }
    if (as_read != nullptr) {
        *as_read = ps.settings;
    }
    // what the command line says comes last
    int* const fields[5] = {&ps.settings.robot_type, &ps.settings.motion, &ps.settings.cp,
                            &ps.settings.gravity, &ps.settings.fb_type};
    const int values[5] = {opt.robot_type, opt.motion, opt.cp, opt.gravity, opt.fb_type};
    for (int i = 0; i < 5; ++i) {
        if (opt.given[i]) {
            *fields[i] = values[i];
        }
    }
    return Prepared::ready;
}

// the settings by name, selectors first: they decide which robot and record the plain names
// mean. sets from swept on are a sweep's values, named as such in error.
static Prepared apply_batch_settings(ParameterSet& ps,
                                     const std::vector<std::pair<std::string, std::string>>& sets,
                                     size_t swept, std::string* error) {
    std::string why;
    const size_t i = apply_named_settings(ps.settings, sets, &why);
    if (i < sets.size()) {
        if (error != nullptr) {
            *error = (i < swept ? "--set " : "--sweep ") + sets[i].first + "=" + sets[i].second
                     + ": " + why;
        }
        return Prepared::wrong_setting;
    }
    return Prepared::ready;
}

Prepared prepare_batch_experiment(ParameterSet& ps, const BatchOptions& opt, ReachReport* reach,
                                  std::string* error, Settings* as_read) {
    bool complete = true;
    const Prepared started = start_batch_experiment(ps, opt, &complete, as_read);
    if (started != Prepared::ready) {
        return started;
    }

    const Prepared set = apply_batch_settings(ps, opt.sets, opt.sets.size(), error);
    if (set != Prepared::ready) {
        return set;
    }
    if (!complete) {
        return Prepared::file_stopped;
    }
    const ReachReport ends = update_derived(ps);
    // no key to wait for here; the run tells only the path points not told with the ends
    tell_unreachable(ps, ends);
    if (reach != nullptr) {
        *reach = ends;
    }
    return Prepared::ready;
}

//------------------------------------------------------------------ program

// exit statuses, as --help and the README tell them
constexpr int EXIT_DONE = 0;         // everything asked for was written
constexpr int EXIT_FAILED = 1;       // a data file not read to its end, an output not written
constexpr int EXIT_USAGE = 2;        // a wrong option or value, or pictures without a display
constexpr int EXIT_DIVERGED = 3;     // written, but the run's numbers turned to NaN or infinity
constexpr int EXIT_UNREACHABLE = 4;  // written, but a point lies out of the SCARA robot's reach

// one line naming the first point out of reach, and the status that tells it; or status as it
// is when every point was reached. The line follows the model's own message, which ends
// without a line end.
static int check_reach(const ParameterSet& ps, const ReachReport& ends, const ReachReport& path,
                       int status) {
    const ReachReport& r = ends.count > 0 ? ends : path;
    if (r.count == 0 || status == EXIT_FAILED) {
        return status;
    }
    std::fprintf(stderr, "\nrobosim-batch: %s\n",
                 unreachable_point_text(ps.settings, r.points[0]).c_str());
    return EXIT_UNREACHABLE;
}

// The status the tool ends with if the display goes away once every picture file is complete:
// the pictures are what was asked for, so losing the display afterwards is no failure.
static volatile int status_after_pictures = -1;  // -1: a picture is still being drawn

static void on_picture_display_lost() {
    if (status_after_pictures < 0) {
        remove_unfinished_output();
        const char message[] = "robosim-batch: the X display went away while drawing\n";
        if (write(STDERR_FILENO, message, sizeof message - 1) < 0) {
            // nothing is left to tell it to
        }
        _exit(EXIT_FAILED);
    }
    std::fflush(stdout);
    _exit(status_after_pictures);
}

// a file the options name, with the option that names it
struct FileOutput {
    const char* option;
    const std::string& path;  // empty: not asked for
};

static std::array<FileOutput, 3> file_outputs(const BatchOptions& opt) {
    return {{{"--png", opt.png_file}, {"--gif", opt.gif_file}, {"--write-data", opt.data_out}}};
}

// The outputs must neither overwrite the data file nor each other, whatever names they are
// given: the same file by another path is the same file.
static bool outputs_apart(const BatchOptions& opt, std::string* error) {
    const std::array<FileOutput, 3> outputs = file_outputs(opt);
    for (size_t i = 0; i < outputs.size(); ++i) {
        const FileOutput& out = outputs[i];
        if (out.path.empty()) {
            continue;
        }
        if (!opt.data_file.empty() && same_file(out.path, opt.data_file)) {
            *error = std::string(out.option) + " '" + out.path + "' is the data file";
            return false;
        }
        for (size_t j = i + 1; j < outputs.size(); ++j) {
            const FileOutput& other = outputs[j];
            if (!other.path.empty() && same_file(out.path, other.path)) {
                *error = std::string(out.option) + " '" + out.path + "' and " + other.option + " '"
                         + other.path + "' are one file";
                return false;
            }
        }
    }
    return true;
}

// an output file that could not take what is written: said before the run, not after it
static bool outputs_writable(const BatchOptions& opt) {
    bool ok = true;

    const std::array<FileOutput, 3> outputs = file_outputs(opt);
    for (const auto& out : outputs) {
        const std::string problem = out.path.empty() ? "" : output_target_problem(out.path);
        if (!problem.empty()) {
            std::fprintf(stderr, "robosim-batch: %s: %s\n", out.option, problem.c_str());
            ok = false;
        }
    }
    return ok;
}

// the pictures the options ask for, drawn as the window draws them after the same keys: a fresh
// drawing screen (sample 0, scale 1, error gain 10), then the lower graph, the fitted view (z)
// and the view scale.
// status: what the tool ends with once the pictures are written.
// scene: the runs to draw, the first the current one; current: its experiment, whose
// graph_select the options may change
static int write_pictures(Scene scene, ParameterSet& current, const BatchOptions& opt, int status) {
    if (const char* problem = open_offscreen_view(opt.size, opt.size)) {
        std::fprintf(stderr, "robosim-batch: %s; pictures need an X display\n", problem);
        return EXIT_USAGE;
    }
    on_display_lost(on_picture_display_lost);
    on_reshape(opt.size, opt.size);
    scene.view = initial_view_state();
    if (opt.graph != 0) {
        current.settings.graph_select = opt.graph;
    }
    if (opt.fit) {
        const ViewFit fit = fit_robot_view(scene);
        scene.view.robot_scale = fit.scale;
        scene.view.view_shift = fit.shift;
        scene.view.fitted = true;
    }
    if (opt.scale > 0.0) {
        scene.view.robot_scale = opt.fit ? scene.view.robot_scale * opt.scale : opt.scale;
    }
    std::string error;
    bool ok = true;
    if (!opt.png_file.empty()) {
        ok = write_frame_png(scene, opt.png_file,
                             opt.sample < 0 ? last_sample(current.settings) : opt.sample, &error,
                             opt.size);
    }
    if (ok && !opt.gif_file.empty()) {
        ok = write_animation_gif(scene, opt.gif_file, opt.every, &error, opt.size);
    }
    status_after_pictures = ok ? status : EXIT_FAILED;
    close_offscreen_view();
    if (!ok) {
        std::fprintf(stderr, "robosim-batch: %s\n", error.c_str());
        return EXIT_FAILED;
    }
    return status;
}

// a picture's --sample within the run of s, or said not to be
static bool sample_in_run(const BatchOptions& opt, const Settings& s) {
    if (opt.sample <= last_sample(s)) {
        return true;
    }
    std::fprintf(stderr, "robosim-batch: --sample %d is beyond the last sample %d; %s\n",
                 opt.sample, last_sample(s), USAGE);
    return false;
}

// a display for the pictures asked for, or said to be missing: before the simulation, not
// after it
static bool display_for_pictures(const BatchOptions& opt) {
    const char* problem = wants_pictures(opt) ? display_problem() : nullptr;
    if (problem != nullptr) {
        std::fprintf(stderr, "robosim-batch: --png and --gif draw on an X display: %s\n", problem);
    }
    return problem == nullptr;
}

// a run longer than a history holds: nothing was run
static int refuse_too_long(const ParameterSet& ps) {
    std::fprintf(stderr,
                 "robosim-batch: a run of %d samples does not fit into a history of at most %d; "
                 "nothing was run\n",
                 ps.settings.n_sample, HISTORY_LEN - 1);
    return EXIT_FAILED;
}

static const char* not_finite_text(double v) {
    return std::isnan(v) ? "NaN" : v > 0 ? "infinite" : "-infinite";
}

// one line naming where the run blew up, or nothing when every number is finite
static int check_divergence(const HistorySet* h, int n, double dt) {
    const std::string text = divergence_text(h, n, dt);
    if (text.empty()) {
        return EXIT_DONE;
    }
    std::fprintf(stderr, "robosim-batch: %s\n", text.c_str());
    return EXIT_DIVERGED;
}

// a progress line on a terminal for an accurate run that takes longer than a moment
struct ProgressLine {
    std::chrono::steady_clock::time_point start;
    double length;  // the run's simulated time (s)
    bool shown;
};

constexpr double PROGRESS_AFTER = 0.5;  // a run shows its progress after this long (s)

static void tell_progress(void* context, double t) {
    auto* line = static_cast<ProgressLine*>(context);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - line->start;
    if (spent.count() >= PROGRESS_AFTER) {
        std::fprintf(stderr, "\rrobosim-batch: accurate run, t = %.2f s of %.2f s", t,
                     line->length);
        line->shown = true;
    }
}

// standard output written to its end, or a message and EXIT_FAILED
// (written_errno: the error of a write that already failed, which the flush no longer sees)
static int finish_output(int status, int written_errno = 0) {
    errno = 0;
    if (std::fflush(stdout) == 0 && !std::ferror(stdout)) {
        return status;
    }
    const int why = errno != 0 ? errno : written_errno;
    std::fprintf(stderr, "robosim-batch: cannot write the standard output: %s\n",
                 why != 0 ? std::strerror(why) : "write error");
    return EXIT_FAILED;
}

// the message of an experiment that could not be prepared, and the status it ends the tool with
static int tell_not_prepared(Prepared prepared, const std::string& data_file,
                             const std::string& error) {
    switch (prepared) {
        case Prepared::ready:
            break;
        case Prepared::file_stopped:
            std::fprintf(stderr,
                         "\nrobosim-batch: the data file '%s' could not be read to its end\n",
                         data_file.c_str());
            return EXIT_FAILED;
        case Prepared::file_refused:
            std::fprintf(stderr,
                         "robosim-batch: the data file '%s' holds a value no robot can have or a "
                         "choice outside its list; it was not used\n",
                         data_file.c_str());
            return EXIT_FAILED;
        case Prepared::wrong_setting:
            std::fprintf(stderr, "robosim-batch: %s; %s\n", error.c_str(), USAGE);
            return EXIT_USAGE;
    }
    return EXIT_DONE;
}

//------------------------------------------------------------------ several runs

// a CSV field as written: quoted when it holds a comma, a quote or a line end
static std::string csv_field(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + "\"";
}

// the columns that name run r of several: its data file (when files were given) and the value
// of each sweep; the runs go file by file, the last sweep changing fastest
static std::vector<std::string> run_cells(const BatchOptions& opt, long r,
                                          std::vector<std::pair<std::string, std::string>>* sets,
                                          size_t* file) {
    std::vector<std::string> cells(opt.sweeps.size());
    for (size_t i = opt.sweeps.size(); i-- > 0;) {
        const Sweep& sweep = opt.sweeps[i];
        const long n = static_cast<long>(sweep.values.size());
        cells[i] = sweep.values[r % n];
        r /= n;
    }
    *file = static_cast<size_t>(r);
    *sets = opt.sets;
    for (size_t i = 0; i < opt.sweeps.size(); ++i) {
        sets->emplace_back(opt.sweeps[i].name, cells[i]);
    }
    if (!opt.data_files.empty()) {
        cells.insert(cells.begin(), opt.data_files[*file]);
    }
    return cells;
}

// one row of the runs' summary: CSV fields, or the table's columns right-aligned (a file name,
// first, to the left)
static void write_run_row(const std::vector<std::string>& cells, const std::vector<int>& widths,
                          bool csv, bool file_first) {
    for (size_t i = 0; i < cells.size(); ++i) {
        if (csv) {
            std::fprintf(stdout, "%s%s", i == 0 ? "" : ",", csv_field(cells[i]).c_str());
        } else {
            const int width = i == 0 && file_first ? -widths[i] : widths[i];
            std::fprintf(stdout, "%s%*s", i == 0 ? "" : "  ", width, cells[i].c_str());
        }
    }
    std::fputc('\n', stdout);
}

// the table's text of a figure: its CSV value in 6 digits, "nan" as it is
static std::string table_value(const std::string& csv_value) {
    if (csv_value == "nan") {
        return csv_value;
    }
    char text[40];
    std::snprintf(text, sizeof text, "%.6g", std::strtod(csv_value.c_str(), nullptr));
    return text;
}

constexpr int TABLE_VALUE_WIDTH = 13;  // the widest %.6g of a double, -1.23457e-308 (characters)
constexpr int RUNS_PER_THREAD = 8;     // runs in hand per thread: few histories, idle threads rare

// a few runs of several, made and integrated together
struct RunBatch {
    std::vector<ParameterSet> experiments;
    std::vector<ReachReport> ends;                // the ends out of reach, told when written
    std::vector<std::vector<std::string>> cells;  // the columns naming each run
    std::vector<size_t> files;                    // the data file of each run
    std::vector<ExperimentRun> runs;
};

// Several runs: each data file, or the defaults, with every combination of the swept values.
// Every run's settings are checked before anything is run. The runs then go through
// run_experiments a few per thread at a time, each batch integrated while the one before is
// written (the figures, the summaries and the writing would otherwise leave the threads idle),
// and each run is dropped once written, so memory stays that of a few runs however many there
// are.
static int run_several(const BatchOptions& opt) {
    // each file's experiment before the settings, read once
    const size_t files = std::max<size_t>(1, opt.data_files.size());
    std::vector<ParameterSet> starts(files);
    for (size_t f = 0; f < files; ++f) {
        BatchOptions one = opt;
        one.data_file = opt.data_files.empty() ? "" : opt.data_files[f];
        bool complete = true;
        Prepared started = start_batch_experiment(starts[f], one, &complete);
        if (started == Prepared::ready && !complete) {
            started = Prepared::file_stopped;
        }
        if (started != Prepared::ready) {
            return tell_not_prepared(started, one.data_file, "");
        }
    }
    const long total = run_count(opt);
    std::vector<std::pair<std::string, std::string>> sets;
    size_t file = 0;
    std::string error;
    for (long r = 0; r < total; ++r) {
        run_cells(opt, r, &sets, &file);
        ParameterSet ps = starts[file];
        const Prepared set = apply_batch_settings(ps, sets, opt.sets.size(), &error);
        if (set != Prepared::ready) {
            return tell_not_prepared(set, "", error);
        }
        if (!sample_in_run(opt, ps.settings)) {  // a picture's sample, in every run
            return EXIT_USAGE;
        }
    }

    // the columns naming a run, then the figures (their names known from the first run)
    std::vector<std::string> names;
    std::vector<int> widths;
    if (!opt.data_files.empty()) {
        names.push_back("file");
        widths.push_back(4);
        for (const std::string& f : opt.data_files) {
            widths.back() = std::max(widths.back(), static_cast<int>(f.size()));
        }
    }
    for (const Sweep& sweep : opt.sweeps) {
        names.push_back(sweep.name);
        widths.push_back(static_cast<int>(sweep.name.size()));
        for (const std::string& v : sweep.values) {
            widths.back() = std::max(widths.back(), static_cast<int>(v.size()));
        }
    }
    std::string run_columns;
    for (const std::string& name : names) {
        run_columns += name + ",";
    }
    bool header = false;
    // the runs a picture draws, at most a scene's
    const bool pictures = wants_pictures(opt);

    struct Kept {
        ParameterSet ps;
        ExperimentRun run;
        size_t file;
    };

    std::vector<Kept> kept;
    if (!display_for_pictures(opt)) {
        return EXIT_USAGE;
    }

    RunOptions options;
    options.accurate = opt.accurate;
    options.steps_per_sample = opt.steps_per_sample;
    const int jobs = opt.jobs > 0
                         ? opt.jobs
                         : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
    const long per_batch = static_cast<long>(RUNS_PER_THREAD) * jobs;
    // the runs from first on, made here and integrated on threads of their own
    const auto start_batch = [&](long first) {
        const size_t count = static_cast<size_t>(std::min(per_batch, total - first));
        RunBatch batch = {std::vector<ParameterSet>(count),
                          std::vector<ReachReport>(count),
                          std::vector<std::vector<std::string>>(count),
                          std::vector<size_t>(count),
                          {}};
        for (size_t i = 0; i < count; ++i) {
            batch.cells[i] = run_cells(opt, first + static_cast<long>(i), &sets, &file);
            batch.files[i] = file;
            batch.experiments[i] = starts[file];
            apply_batch_settings(batch.experiments[i], sets, opt.sets.size(), nullptr);
            batch.ends[i] = update_derived(batch.experiments[i]);
        }
        // on a thread of its own, or, in a build without threads, when its results are asked for
        const auto policy = THREADS_AVAILABLE ? std::launch::async : std::launch::deferred;
        return std::async(policy, [&options, jobs, batch = std::move(batch)]() mutable {
            batch.runs = run_experiments(batch.experiments, options, jobs);
            return std::move(batch);
        });
    };
    int status = EXIT_DONE;
    std::future<RunBatch> next = start_batch(0);
    for (long first = 0; first < total; first += per_batch) {
        RunBatch batch = next.get();
        if (first + per_batch < total) {
            next = start_batch(first + per_batch);
        }
        const std::vector<ParameterSet>& experiments = batch.experiments;
        const std::vector<ReachReport>& ends = batch.ends;
        const std::vector<std::vector<std::string>>& cells = batch.cells;
        std::vector<ExperimentRun>& runs = batch.runs;  // a picture's runs are kept
        for (size_t i = 0; i < runs.size(); ++i) {
            const ParameterSet& ps = experiments[i];
            const ExperimentRun& run = runs[i];
            // its ends as a single run tells them, before what its run met
            tell_unreachable(ps, ends[i]);
            if (run.refusal == RunRefusal::too_long) {
                return refuse_too_long(ps);
            }
            ReachReport told = ends[i];
            tell_unreachable(ps, run.unreachable, &told);
            const AccurateStats* accurate = opt.accurate ? &run.accurate : nullptr;
            if (opt.summary) {
                const auto figures =
                    summary_csv_values(ps, *run.history, accurate, opt.band_pct / 100.0);
                if (!header) {
                    std::vector<std::string> head = names;
                    for (const auto& [name, value] : figures) {
                        head.push_back(name);
                        widths.push_back(
                            std::max(TABLE_VALUE_WIDTH, static_cast<int>(name.size())));
                    }
                    write_run_row(head, widths, opt.csv, !opt.data_files.empty());
                    header = true;
                }
                std::vector<std::string> row = cells[i];
                for (const auto& [name, value] : figures) {
                    row.push_back(opt.csv ? value : table_value(value));
                }
                write_run_row(row, widths, opt.csv, !opt.data_files.empty());
            } else if (!pictures) {
                if (!header) {
                    write_history_header(stdout, run_columns);
                    header = true;
                }
                std::string run_values;
                for (const std::string& cell : cells[i]) {
                    run_values += csv_field(cell) + ",";
                }
                write_history_rows(stdout, run.history.get(), ps.settings.n_sample,
                                   ps.settings.dt_sample, run_values);
            }
            // the first run that ended otherwise than well gives the tool's status
            int run_status = check_reach(ps, ends[i], run.unreachable, EXIT_DONE);
            if (run_status == EXIT_DONE) {
                run_status = check_divergence(run.history.get(), ps.settings.n_sample,
                                              ps.settings.dt_sample);
            }
            if (run_status == EXIT_DONE && run.accurate.budget_spent) {
                std::fprintf(stderr, "robosim-batch: %s\n",
                             accurate_budget_report(ps, run.accurate).c_str());
                run_status = EXIT_DIVERGED;
            }
            status = status == EXIT_DONE ? run_status : status;
            if (pictures) {
                if (!kept.empty() && ps.settings.robot_type != kept[0].ps.settings.robot_type) {
                    std::fprintf(stderr,
                                 "robosim-batch: --png and --gif draw the runs of one robot, and "
                                 "these are of both; %s\n",
                                 USAGE);
                    return EXIT_USAGE;
                }
                kept.push_back({ps, std::move(runs[i]), batch.files[i]});
            }
        }
    }
    const int written = finish_output(EXIT_DONE);
    status = written != EXIT_DONE ? written : status;
    if (pictures) {
        // the first run drawn as the window's current run, the others as its pins
        Scene scene = {};
        for (size_t r = 0; r < kept.size(); ++r) {
            add_scene_run(scene,
                          {&kept[r].ps, kept[r].run.history.get(), opt.accurate,
                           opt.accurate ? &kept[r].run.accurate : nullptr,
                           opt.data_files.empty() ? "" : opt.data_files[kept[r].file].c_str(),
                           r == 0 ? RunStyle{WINDOW_COLOURS, LinePattern::solid, true}
                                  : pinned_style(static_cast<int>(r) - 1)});
        }
        scene.caption_base = &starts[kept[0].file].settings;
        status = write_pictures(scene, kept[0].ps, opt, status);
    }
    return status;
}

int run_batch(int argc, char** argv) {
    console_hooks.write_text = write_stderr;
    console_hooks.read_key = no_key;
    // a file grown past the size limit fails its write, which is reported, rather than ending
    // the tool at once
    std::signal(SIGXFSZ, SIG_IGN);

    BatchOptions opt = default_batch_options();
    std::string error;
    if (!parse_batch_args(argc, argv, &opt, &error) || !outputs_apart(opt, &error)) {
        std::fprintf(stderr, "robosim-batch: %s; %s\n", error.c_str(), USAGE);
        return EXIT_USAGE;
    }
    if (opt.help) {
        ParameterSet defaults{};
        set_defaults(defaults);
        errno = 0;  // a text longer than the stream's buffer meets a full output here
        std::printf(HELP, settings_help(defaults.settings).c_str());
        return finish_output(EXIT_DONE, errno);
    }
    if (!outputs_writable(opt)) {
        return EXIT_FAILED;
    }
    if (several_runs(opt)) {
        return run_several(opt);
    }
    // the tool's one experiment
    ParameterSet ps{};
    ReachReport ends = {};
    Settings as_read = {};
    const Prepared prepared = prepare_batch_experiment(ps, opt, &ends, &error, &as_read);
    if (prepared != Prepared::ready) {
        return tell_not_prepared(prepared, opt.data_file, error);
    }
    if (!sample_in_run(opt, ps.settings) || !display_for_pictures(opt)) {
        return EXIT_USAGE;
    }
    const bool pictures = wants_pictures(opt);

    // a data file holds no damping ratio: one read back would run with 1.0, another experiment
    const char* const zeta = damping_not_in_file(ps.settings);
    if (!opt.data_out.empty() && zeta != nullptr) {
        std::fprintf(stderr,
                     "robosim-batch: --write-data '%s': a robot data file cannot hold the damping "
                     "ratio %s = %.17g (it would read back as 1.0); %s\n",
                     opt.data_out.c_str(), zeta, setting_file_value(ps.settings, zeta), USAGE);
        return EXIT_USAGE;
    }
    if (!opt.data_out.empty()) {
        // the effective experiment, written whole or not at all
        std::string why;
        if (!write_output(opt.data_out, robot_data_text(ps), &why)) {
            std::fprintf(stderr, "robosim-batch: --write-data '%s': %s\n", opt.data_out.c_str(),
                         why.c_str());
            return EXIT_FAILED;
        }
        if (!opt.plan && !opt.summary && !pictures) {
            return finish_output(EXIT_DONE);  // the data file was all that was asked for
        }
    }
    if (opt.plan) {
        const PlanValue wrong = write_plan_csv(stdout, ps);
        const int status = check_reach(ps, ends, ReachReport{}, finish_output(EXIT_DONE));
        if (status != EXIT_DONE || wrong.name == nullptr) {
            return status;
        }
        // a plan whose numbers overflowed is no plan: told as a run that diverged is
        std::fprintf(stderr, "robosim-batch: the plan is not finite: %s is %s\n", wrong.name,
                     not_finite_text(wrong.value));
        return EXIT_DIVERGED;
    }
    ProgressLine progress = {std::chrono::steady_clock::now(),
                             ps.settings.n_sample * ps.settings.dt_sample, false};
    const AccurateProgress tell = {tell_progress, &progress};
    RunOptions options;
    options.accurate = opt.accurate;
    options.steps_per_sample = opt.steps_per_sample;
    options.progress = isatty(STDERR_FILENO) ? &tell : nullptr;
    const ExperimentRun run = run_experiment(ps, options);
    if (progress.shown) {
        std::fputs("\r\033[K", stderr);  // the progress line makes way for what follows
    }
    if (run.refusal == RunRefusal::too_long) {
        return refuse_too_long(ps);
    }
    const HistorySet* const h = run.history.get();
    const ReachReport unreachable = run.unreachable;
    const AccurateStats& accurate = run.accurate;  // zero after a fixed-step run
    ReachReport told = ends;
    tell_unreachable(ps, unreachable, &told);
    if (opt.summary) {
        SummarySource source = {opt.data_file.empty() ? "the defaults" : opt.data_file, {}};
        for (const SettingDifference& d : setting_differences(as_read, ps.settings)) {
            source.differences.push_back(d.text);
        }
        write_summary(stdout, ps, *h, opt.csv, opt.accurate ? &accurate : nullptr,
                      opt.band_pct / 100.0, &source);
    } else if (!pictures) {
        write_history_csv(stdout, h, ps.settings.n_sample, ps.settings.dt_sample);
    }
    // an unreachable point is the cause of the numbers that are no numbers: it is told instead
    int status = finish_output(EXIT_DONE);
    status = check_reach(ps, ends, unreachable, status);
    if (status == EXIT_DONE) {
        status = check_divergence(h, ps.settings.n_sample, ps.settings.dt_sample);
    }
    if (status == EXIT_DONE && accurate.budget_spent) {
        std::fprintf(stderr, "robosim-batch: %s\n", accurate_budget_report(ps, accurate).c_str());
        status = EXIT_DIVERGED;
    }
    if (pictures) {
        // the other robot's set stays zero, as in a window that has run only this robot
        const auto none = std::make_unique<HistorySet>();
        const bool scara = ps.settings.robot_type == 'b';
        Scene scene = experiment_scene(ps, scara ? *none : *h, scara ? *h : *none,
                                       initial_view_state(), opt.accurate,
                                       opt.accurate ? &accurate : nullptr, opt.data_file.c_str());
        scene.caption_base = &as_read;  // the caption names what the command line changed
        status = write_pictures(scene, ps, opt, status);
    }
    return status;
}

}  // namespace robosim
