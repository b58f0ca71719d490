// python/module.cpp: the extension robosim._robosim, the engine under the Python package robosim:
// experiments made and changed by name as the batch tool makes them, runs of one or of many (on
// threads, without the interpreter lock) and their histories as numpy arrays
#include "analysis/summary.h"
#include "planning/experiment.h"
#include "settings/datafile.h"
#include "settings/experiment_settings.h"
#include "settings/setting_fields.h"
#include "sim/history.h"
#include "sim/run.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <memory>
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>
#include <string>
#include <utility>
#include <vector>

namespace py = pybind11;

namespace robosim {

namespace {

// an experiment as the Python side holds it: settings not yet derived (a run derives a copy)
struct PyExperiment {
    ParameterSet ps{};
};

PyExperiment start_experiment() {
    PyExperiment e;
    set_start_defaults(e.ps);
    return e;
}

// why a data file's reading stopped, in English
const char* problem_text(DataFileProblem problem) {
    switch (problem) {
        case DataFileProblem::none:
            return "read to its end";
        case DataFileProblem::cannot_open:
            return "cannot be opened";
        case DataFileProblem::not_regular:
            return "is no regular file";
        case DataFileProblem::cannot_read:
            return "cannot be read";
        case DataFileProblem::too_large:
            return "is larger than 64 KB";
        case DataFileProblem::ended_early:
            return "ends early";
        case DataFileProblem::control_byte:
            return "holds a control character";
        case DataFileProblem::not_a_number:
            return "holds a word that is no number";
        case DataFileProblem::not_an_integer:
            return "holds a word that is no whole number";
        case DataFileProblem::not_one_character:
            return "holds a choice of more than one character";
        case DataFileProblem::beyond_double:
            return "holds a number out of the range of a double";
        case DataFileProblem::not_allowed:
            return "holds a value no robot can have";
        case DataFileProblem::off_list:
            return "holds a choice outside its list";
    }
    return "cannot be read";
}

// the experiment of a robot data file, as the batch tool reads one: a file not read to its end,
// or holding a value no robot can have, raises (OSError when it cannot be opened or read)
PyExperiment read_experiment(const std::string& path) {
    PyExperiment e;
    set_defaults(e.ps);
    const DataFileRead read = read_robot_data_file(path.c_str(), e.ps, true);
    const DataFileError& err = read.error;
    if (err.problem == DataFileProblem::none) {
        e.ps = read.ps;
        return e;
    }
    std::string text = "robot data file '" + path + "' " + problem_text(err.problem);
    if (err.item != nullptr) {
        text += std::string(" at ") + err.item->setting;
        if (!err.token.empty()) {
            text += " ('" + err.token + "', byte " + std::to_string(err.position) + ")";
        }
        if (err.problem == DataFileProblem::not_allowed) {
            text += ": it must be " + rule_text(err.rule, read.ps.settings);
        }
    }
    if (err.err != 0) {
        text += std::string(": ") + std::strerror(err.err);
    }
    if (err.problem == DataFileProblem::cannot_open
        || err.problem == DataFileProblem::cannot_read) {
        errno = err.err;
        PyErr_SetFromErrnoWithFilename(PyExc_OSError, path.c_str());
        throw py::error_already_set();
    }
    throw py::value_error(text);
}

// sets the named settings on a copy, so that a refused one leaves the experiment as it was
void set_settings(PyExperiment& e, const std::vector<NamedSetting>& sets) {
    for (const auto& [name, value] : sets) {
        if (!setting_name_known(name)) {
            throw py::value_error("unknown setting '" + name
                                  + "' (robosim.settings_help() lists them)");
        }
    }
    Settings s = e.ps.settings;
    std::string why;
    const size_t i = apply_named_settings(s, sets, &why);
    if (i < sets.size()) {
        throw py::value_error(sets[i].first + "=" + sets[i].second + ": " + why);
    }
    e.ps.settings = s;
}

// what e differs in from base (the defaults when none), as (name, text) pairs
std::vector<std::pair<std::string, std::string>> differences(const PyExperiment& e,
                                                             const PyExperiment* base) {
    const PyExperiment defaults = start_experiment();
    std::vector<std::pair<std::string, std::string>> out;
    for (const SettingDifference& d :
         setting_differences((base != nullptr ? *base : defaults).ps.settings, e.ps.settings)) {
        out.emplace_back(d.name, d.text);
    }
    return out;
}

std::string data_text(const PyExperiment& e) {
    if (const char* zeta = damping_not_in_file(e.ps.settings)) {
        char value[40];
        std::snprintf(value, sizeof value, "%.17g", setting_file_value(e.ps.settings, zeta));
        throw py::value_error(std::string("a robot data file cannot hold the damping ratio ") + zeta
                              + " = " + value + " (it would read back as 1.0)");
    }
    return robot_data_text(e.ps);
}

// one run: the derived experiment, what the run made and how it was integrated
struct PyRun {
    ParameterSet ps{};
    ReachReport ends{};  // the motion's ends out of reach, found when the experiment was derived
    ExperimentRun run;
    bool accurate = false;
};

RunOptions run_options(bool accurate, int steps_per_sample) {
    if (steps_per_sample < 1 || steps_per_sample > MAX_STEPS_PER_SAMPLE) {
        throw py::value_error("steps_per_sample must be 1 .. "
                              + std::to_string(MAX_STEPS_PER_SAMPLE) + ", not "
                              + std::to_string(steps_per_sample));
    }
    RunOptions options;
    options.accurate = accurate;
    options.steps_per_sample = steps_per_sample;
    return options;
}

void check_made(const PyRun& r) {
    if (r.run.refusal == RunRefusal::too_long) {
        throw py::value_error("a run of " + std::to_string(r.ps.settings.n_sample)
                              + " samples does not fit into a history of at most "
                              + std::to_string(HISTORY_LEN - 1));
    }
}

// the runs of experiments on up to jobs threads, the interpreter lock released meanwhile
std::vector<std::shared_ptr<PyRun>> run_many(const std::vector<PyExperiment>& experiments,
                                             bool accurate, int steps_per_sample, int jobs) {
    const RunOptions options = run_options(accurate, steps_per_sample);
    if (jobs < 1) {
        throw py::value_error("jobs must be at least 1, not " + std::to_string(jobs));
    }
    std::vector<ParameterSet> list(experiments.size());
    std::vector<ReachReport> ends(experiments.size());
    for (size_t i = 0; i < experiments.size(); ++i) {
        list[i] = experiments[i].ps;
    }
    std::vector<ExperimentRun> runs;
    {
        const py::gil_scoped_release unlocked;
        for (size_t i = 0; i < list.size(); ++i) {
            ends[i] = update_derived(list[i]);
        }
        runs = run_experiments(list, options, jobs);
    }
    std::vector<std::shared_ptr<PyRun>> out;
    for (size_t i = 0; i < list.size(); ++i) {
        auto r = std::make_shared<PyRun>();
        r->ps = list[i];
        r->ends = ends[i];
        r->run = std::move(runs[i]);
        r->accurate = accurate;
        check_made(*r);
        out.push_back(std::move(r));
    }
    return out;
}

int last_sample_of(const PyRun& r) {
    return std::min(r.ps.settings.n_sample, HISTORY_LEN - 1);
}

// the CSV's columns as arrays: k (int64), then t and every history column (float64)
py::list columns(const PyRun& r) {
    const int n = last_sample_of(r) + 1;
    const HistorySet& h = *r.run.history;
    py::list out;
    py::array_t<long long> k(n);
    py::array_t<double> t(n);
    for (int i = 0; i < n; ++i) {
        k.mutable_at(i) = i;
        t.mutable_at(i) = i * r.ps.settings.dt_sample;
    }
    out.append(py::make_tuple("k", k));
    out.append(py::make_tuple("t", t));
    for (const HistoryField& f : HISTORY_FIELD_TABLE) {
        for (int j = 0; j < 2; ++j) {
            py::array_t<double> a(n);
            for (int i = 0; i < n; ++i) {
                a.mutable_at(i) = (h.*f.values)[i][j];
            }
            out.append(py::make_tuple(history_column_name(f, j), a));
        }
    }
    return out;
}

// what went wrong, as the batch tool tells it: ("unreachable" | "diverged", the line), or None
py::object problem(const PyRun& r) {
    const ReachReport& reach = r.ends.count > 0 ? r.ends : r.run.unreachable;
    if (reach.count > 0) {
        return py::make_tuple("unreachable",
                              unreachable_point_text(r.ps.settings, reach.points[0]));
    }
    const std::string diverged =
        divergence_text(r.run.history.get(), r.ps.settings.n_sample, r.ps.settings.dt_sample);
    if (!diverged.empty()) {
        return py::make_tuple("diverged", diverged);
    }
    if (r.run.accurate.budget_spent) {
        return py::make_tuple("diverged", accurate_budget_report(r.ps, r.run.accurate));
    }
    return py::none();
}

}  // namespace

}  // namespace robosim

PYBIND11_MODULE(_robosim, m) {
    using namespace robosim;
    m.doc() = "the engine of the Python package robosim; use robosim, not this";

    py::class_<PyExperiment>(m, "Experiment")
        .def(py::init(&start_experiment))
        .def_static("read", &read_experiment, py::arg("path"))
        .def("set", &set_settings, py::arg("sets"))
        .def("differences", &differences, py::arg("base") = nullptr)
        .def("data_text", &data_text)
        .def("copy", [](const PyExperiment& e) { return e; });

    py::class_<PyRun, std::shared_ptr<PyRun>>(m, "Run")
        .def("columns", &columns)
        .def("summary",
             [](const PyRun& r, double band) {
                 return summary_csv_values(r.ps, *r.run.history,
                                           r.accurate ? &r.run.accurate : nullptr, band);
             })
        .def("problem", &problem);

    m.def("run_many", &run_many, py::arg("experiments"), py::arg("accurate"),
          py::arg("steps_per_sample"), py::arg("jobs"));
    m.def("settings_help", [] {
        ParameterSet ps{};
        set_defaults(ps);
        return settings_help(ps.settings);
    });
    m.attr("MAX_STEPS_PER_SAMPLE") = MAX_STEPS_PER_SAMPLE;
}
