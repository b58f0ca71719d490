// The classroom experiments of docs/teaching.md on the real robosim-batch: every teaching data
// file reads to its end, each figure the handout quotes holds to the digits it is quoted with,
// and what the handout says students will observe holds for each pair of runs.
#include "tests/e2e/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <ostream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

//------------------------------------------------------------------ constants
constexpr int LAST_SAMPLE = 200;     // samples 0 .. 200 of every run          (-)
constexpr double DT_SAMPLE = 0.02;   // time between samples                   (s)
constexpr double SCARA_U2 = 60.0;    // reduction ratio of SCARA joint 2       (-)
constexpr double TAU_MAX = 0.44;     // maximum torque of the 110 W motors     (N*m)
constexpr double SCARA_REACH = 0.8;  // L1 plus the distance from joint 2 to the work (m)

//------------------------------------------------------------------ runs

static std::string teaching_file(const std::string& name) {
    return std::string(ROBOSIM_SOURCE_DIR) + "/examples/" + name;
}

// robosim-batch on a teaching data file with the options after it
static ProgramRun run_teaching(const std::string& file, const std::vector<std::string>& options) {
    std::vector<std::string> words = {teaching_file(file)};
    words.insert(words.end(), options.begin(), options.end());
    return run_batch_program(words);
}

// a run that must succeed: status 0 and the file read to its end
static std::string output_of(const std::string& file, const std::vector<std::string>& options) {
    const ProgramRun run = run_teaching(file, options);
    EXPECT_EQ(run.status, 0) << file << "\n" << run.err;
    EXPECT_EQ(run.err.find("could not be read"), std::string::npos) << file << "\n" << run.err;
    return run.out;
}

// name,value lines of --plan or --summary --csv, by name
static std::map<std::string, double> name_values(const std::string& text) {
    std::map<std::string, double> values;
    for (const auto& [name, value] : read_name_values(text)) {
        values[name] = value;
    }
    return values;
}

// One experiment as the handout runs it; each of its three outputs is read once.
struct Experiment {
    std::string file;
    std::vector<std::string> options;
};

static std::string key_of(const Experiment& e) {
    std::string key = e.file;
    for (const std::string& w : e.options) {
        key += " " + w;
    }
    return key;
}

static const std::map<std::string, double>& summary_of(const Experiment& e) {
    static std::map<std::string, std::map<std::string, double>> cache;
    const std::string key = key_of(e);
    if (cache.find(key) == cache.end()) {
        std::vector<std::string> options = e.options;
        options.insert(options.end(), {"--summary", "--csv"});
        cache[key] = name_values(output_of(e.file, options));
    }
    return cache[key];
}

static const std::map<std::string, double>& plan_of(const Experiment& e) {
    static std::map<std::string, std::map<std::string, double>> cache;
    const std::string key = key_of(e);
    if (cache.find(key) == cache.end()) {
        std::vector<std::string> options = e.options;
        options.push_back("--plan");
        cache[key] = name_values(output_of(e.file, options));
    }
    return cache[key];
}

static const std::map<std::string, std::vector<double>>& history_of(const Experiment& e) {
    static std::map<std::string, std::map<std::string, std::vector<double>>> cache;
    const std::string key = key_of(e);
    if (cache.find(key) == cache.end()) {
        cache[key] = read_histories(output_of(e.file, e.options));
    }
    return cache[key];
}

// a named value of a map, or not a number (and a failure) when it is missing
static double value_of(const std::map<std::string, double>& values, const std::string& name) {
    const auto it = values.find(name);
    if (it == values.end()) {
        ADD_FAILURE() << "no value named " << name;
        return std::nan("");
    }
    return it->second;
}

static double summary(const Experiment& e, const std::string& name) {
    return value_of(summary_of(e), name);
}

static double plan(const Experiment& e, const std::string& name) {
    return value_of(plan_of(e), name);
}

// one column of the histories, all samples 0 .. 200
static const std::vector<double>& column(const Experiment& e, const std::string& name) {
    static const std::vector<double> none;
    const auto& h = history_of(e);
    const auto it = h.find(name);
    if (it == h.end() || it->second.size() != LAST_SAMPLE + 1) {
        ADD_FAILURE() << key_of(e) << ": no full column " << name;
        return none;
    }
    return it->second;
}

static double sample(const Experiment& e, const std::string& name, int k) {
    const std::vector<double>& c = column(e, name);
    return k < (int)c.size() ? c[k] : std::nan("");
}

// distance of the work from its command at the last sample (mm)
static double end_position_error_mm(const Experiment& e) {
    return 1000.0
           * std::hypot(sample(e, "pos_err_x", LAST_SAMPLE), sample(e, "pos_err_y", LAST_SAMPLE));
}

// largest motor speed as the handout measures it: the largest angle step between two samples
// over the time between them (rad/s)
static double largest_speed(const Experiment& e, int joint) {
    const std::vector<double>& theta = column(e, "theta_" + std::to_string(joint));
    double largest = 0.0;
    for (size_t k = 1; k < theta.size(); ++k) {
        largest = std::max(largest, std::fabs(theta[k] - theta[k - 1]) / DT_SAMPLE);
    }
    return largest;
}

static double degrees(double rad) {
    return rad * 180.0 / std::numbers::pi;
}

// the handout's runs
static const Experiment PD = {"teach_pd.dat", {}};
static const Experiment PID = {"teach_pid.dat", {}};
static const Experiment VELOCITY_FB = {"teach_feedback.dat", {"--fb", "v"}};
static const Experiment VELOCITY_ERROR_FB = {"teach_feedback.dat", {"--fb", "V"}};
static const Experiment GRAVITY_ON = {"teach_gravity.dat", {"--gravity", "g"}};
static const Experiment GRAVITY_OFF = {"teach_gravity.dat", {"--gravity", "h"}};
static const Experiment ORDINARY_GEAR = {"teach_gear.dat", {}};
static const Experiment SELF_LOCKING_GEAR = {"teach_selflock.dat", {}};
static const Experiment LIGHT_WORK = {"teach_light.dat", {}};
static const Experiment HEAVY_WORK = {"teach_heavy.dat", {}};
static const Experiment SCARA_EDGE = {"teach_scara_edge.dat", {}};
static const Experiment SCARA_INNER = {"teach_scara_inner.dat", {}};
// 8: the rows of the handout's sweep, each run alone (a sweep's rows are the single runs')
#define ZETA_RUN(z, ...)                                                                           \
    {                                                                                              \
        "cyl_step.dat", {                                                                          \
            "--gravity", "h", "--set", "alpha1=0", "--set", "fn1=1", "--set", "zeta1=" z,          \
                ##__VA_ARGS__                                                                      \
        }                                                                                          \
    }
static const Experiment ZETA_03 = ZETA_RUN("0.3");
static const Experiment ZETA_05 = ZETA_RUN("0.5");
static const Experiment ZETA_07 = ZETA_RUN("0.7");
static const Experiment ZETA_1 = ZETA_RUN("1");
static const Experiment ZETA_07_BAND5 = ZETA_RUN("0.7", "--band", "5");
static const Experiment ZETA_1_BAND5 = ZETA_RUN("1", "--band", "5");
static const Experiment ZETA_03_FAST = {
    "cyl_step.dat", {"--gravity", "h", "--set", "alpha1=0", "--set", "zeta1=0.3"}};

//------------------------------------------------------------------ the data files

namespace {

struct TeachingFileCase {
    const char* file;
    bool self_locking;  // both gears' reverse efficiency <= 0
};

void PrintTo(const TeachingFileCase& c, std::ostream* os) {
    *os << c.file << (c.self_locking ? ", self-locking gears" : "");
}

}  // namespace

class TeachingFiles : public ::testing::TestWithParam<TeachingFileCase> {};

// the file is read to its end and gives a whole run of finite numbers, with no message
TEST_P(TeachingFiles, ReadToItsEndAndRunWithoutAMessage) {
    const ProgramRun run = run_teaching(GetParam().file, {});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("could not be read"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find("!!!"), std::string::npos) << run.err;
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_EQ(lines.size(), LAST_SAMPLE + 2u);
    for (size_t i = 1; i < lines.size(); ++i) {
        for (const std::string& cell : split(lines[i], ',')) {
            ASSERT_TRUE(std::isfinite(std::strtod(cell.c_str(), nullptr)))
                << "row " << i - 1 << ": " << lines[i];
        }
    }
}

TEST_P(TeachingFiles, ReverseEfficiencyIsPositiveExceptForTheSelfLockingGear) {
    const Experiment e = {GetParam().file, {}};
    for (const char* name : {"eta_rev1", "eta_rev2"}) {
        if (GetParam().self_locking) {
            EXPECT_LE(plan(e, name), 0.0) << name;
        } else {
            EXPECT_GT(plan(e, name), 0.0) << name;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, TeachingFiles,
                         ::testing::Values(TeachingFileCase{"teach_pd.dat", false},
                                           TeachingFileCase{"teach_pid.dat", false},
                                           TeachingFileCase{"teach_feedback.dat", false},
                                           TeachingFileCase{"teach_gravity.dat", false},
                                           TeachingFileCase{"teach_gear.dat", false},
                                           TeachingFileCase{"teach_selflock.dat", true},
                                           TeachingFileCase{"teach_light.dat", false},
                                           TeachingFileCase{"teach_heavy.dat", false},
                                           TeachingFileCase{"teach_scara_edge.dat", false},
                                           TeachingFileCase{"teach_scara_inner.dat", false}),
                         [](const ::testing::TestParamInfo<TeachingFileCase>& param_info) {
                             const std::string file = param_info.param.file;
                             return file.substr(0, file.find('.'));
                         });

//------------------------------------------------------------------ quoted figures

// Where a quoted figure comes from: a --summary --csv or --plan value, or a measure of the CSV
// histories the handout describes.
enum class Source { Summary, Plan, History };

namespace {

struct QuotedFigure {
    const char* label;  // test name
    const Experiment* run;
    Source source;
    const char* name;  // summary or plan name, or for History one of the measures below
    double scale;      // the handout's unit per the program's unit
    double quoted;     // as printed in the handout; not a number for "not settled"
    double half_unit;  // half a unit of the last quoted digit; 0 for an exact value
};

void PrintTo(const QuotedFigure& q, std::ostream* os) {
    *os << q.run->file;
    for (const std::string& w : q.run->options) {
        *os << " " << w;
    }
    *os << ": " << q.name << " quoted as " << q.quoted;
}

}  // namespace

// the History measures: "end_position_error_mm", "speed_1", "speed_2" (rad/s), and
// "COLUMN@K", the value of a CSV column at sample K
static double history_measure(const Experiment& e, const std::string& name) {
    if (name == "end_position_error_mm") {
        return end_position_error_mm(e);
    }
    if (name == "speed_1" || name == "speed_2") {
        return largest_speed(e, name.back() - '0');
    }
    const size_t at = name.find('@');
    return sample(e, name.substr(0, at), std::atoi(name.substr(at + 1).c_str()));
}

class TeachingQuotedFigures : public ::testing::TestWithParam<QuotedFigure> {};

TEST_P(TeachingQuotedFigures, HoldToTheQuotedDigits) {
    const QuotedFigure& q = GetParam();
    double measured = 0.0;
    switch (q.source) {
        case Source::Summary:
            measured = summary(*q.run, q.name);
            break;
        case Source::Plan:
            measured = plan(*q.run, q.name);
            break;
        case Source::History:
            measured = history_measure(*q.run, q.name);
            break;
    }
    measured *= q.scale;
    if (std::isnan(q.quoted)) {
        EXPECT_TRUE(std::isnan(measured)) << measured;
    } else {
        // a hair over half a unit: the quoted digits are the measured value rounded
        EXPECT_LE(std::fabs(measured - q.quoted), q.half_unit * (1.0 + 1e-9))
            << "measured " << measured << ", quoted " << q.quoted;
    }
}

constexpr double NOT_SETTLED = std::numeric_limits<double>::quiet_NaN();
constexpr double TO_HZ = 1.0 / (2.0 * std::numbers::pi);
constexpr double TO_DEGREES = 180.0 / std::numbers::pi;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Handout, TeachingQuotedFigures, ::testing::Values(
    // 1 PD against PID
    QuotedFigure{"PdErrorAtEnd1", &PD, Source::Summary, "error_at_end_1", 1, -1.64, 0.005},
    QuotedFigure{"PdErrorAtEnd2", &PD, Source::Summary, "error_at_end_2", 1, 1.21, 0.005},
    QuotedFigure{"PidErrorAtEnd1", &PID, Source::Summary, "error_at_end_1", 1, 0.011, 0.0005},
    QuotedFigure{"PidErrorAtEnd2", &PID, Source::Summary, "error_at_end_2", 1, -0.0009, 0.00005},
    QuotedFigure{"PdWorkFromGoal", &PD, Source::History, "end_position_error_mm", 1, 14.5, 0.05},
    QuotedFigure{"PidWorkFromGoal", &PID, Source::History, "end_position_error_mm", 1, 0.06, 0.005},
    QuotedFigure{"PdSettling2", &PD, Source::Summary, "settling_time_2", 1, NOT_SETTLED, 0},
    QuotedFigure{"PidSettling2", &PID, Source::Summary, "settling_time_2", 1, 1.42, 0.005},
    // 2 velocity against velocity-error feedback
    QuotedFigure{"VelocityPathError", &VELOCITY_FB, Source::Summary, "max_path_error_mm", 1, 57.7, 0.05},
    QuotedFigure{"VelocityErrorPathError", &VELOCITY_ERROR_FB, Source::Summary, "max_path_error_mm", 1, 5.25, 0.005},
    QuotedFigure{"VelocityError1", &VELOCITY_FB, Source::Summary, "max_error_during_1", 1, 10.0, 0.05},
    QuotedFigure{"VelocityError2", &VELOCITY_FB, Source::Summary, "max_error_during_2", 1, 9.0, 0.05},
    QuotedFigure{"VelocityErrorError1", &VELOCITY_ERROR_FB, Source::Summary, "max_error_during_1", 1, 0.59, 0.005},
    QuotedFigure{"VelocityErrorError2", &VELOCITY_ERROR_FB, Source::Summary, "max_error_during_2", 1, 0.72, 0.005},
    // 3 gravity on and off
    QuotedFigure{"GravityOnPeak1", &GRAVITY_ON, Source::Summary, "peak_drive_torque_1", 1, 0.215, 0.0005},
    QuotedFigure{"GravityOnPeak2", &GRAVITY_ON, Source::Summary, "peak_drive_torque_2", 1, 0.246, 0.0005},
    QuotedFigure{"GravityOffPeak1", &GRAVITY_OFF, Source::Summary, "peak_drive_torque_1", 1, 0.070, 0.0005},
    QuotedFigure{"GravityOffPeak2", &GRAVITY_OFF, Source::Summary, "peak_drive_torque_2", 1, 0.094, 0.0005},
    QuotedFigure{"GravityOnPathError", &GRAVITY_ON, Source::Summary, "max_path_error_mm", 1, 18.2, 0.05},
    QuotedFigure{"GravityOffPathError", &GRAVITY_OFF, Source::Summary, "max_path_error_mm", 1, 7.0, 0.05},
    QuotedFigure{"GravityOnDriveAtRest1", &GRAVITY_ON, Source::History, "tau_drive_1@200", 1, 0.045, 0.0005},
    QuotedFigure{"GravityOnGravityAtRest1", &GRAVITY_ON, Source::History, "tau_gravity_1@200", 1, 0.127, 0.0005},
    // 4 an ordinary and a self-locking worm gear
    QuotedFigure{"OrdinaryReverseEfficiency", &ORDINARY_GEAR, Source::Plan, "eta_rev1", 1, 0.333, 0.0005},
    QuotedFigure{"SelfLockingReverseEfficiency", &SELF_LOCKING_GEAR, Source::Plan, "eta_rev1", 1, -0.083, 0.0005},
    QuotedFigure{"OrdinaryError1", &ORDINARY_GEAR, Source::Summary, "max_error_during_1", 1, 0.212, 0.0005},
    QuotedFigure{"SelfLockingError1", &SELF_LOCKING_GEAR, Source::Summary, "max_error_during_1", 1, 0, 0},
    QuotedFigure{"OrdinaryPeak1", &ORDINARY_GEAR, Source::Summary, "peak_drive_torque_1", 1, 0.024, 0.0005},
    QuotedFigure{"SelfLockingPeak1", &SELF_LOCKING_GEAR, Source::Summary, "peak_drive_torque_1", 1, 0, 0},
    QuotedFigure{"OrdinaryLoweringDrive2", &ORDINARY_GEAR, Source::History, "tau_drive_2@25", 1, 0.049, 0.0005},
    QuotedFigure{"SelfLockingLoweringDrive2", &SELF_LOCKING_GEAR, Source::History, "tau_drive_2@25", 1, -0.012, 0.0005},
    QuotedFigure{"OrdinaryLoweringFriction2", &ORDINARY_GEAR, Source::History, "tau_friction_2@25", 1, -0.099, 0.0005},
    QuotedFigure{"SelfLockingLoweringFriction2", &SELF_LOCKING_GEAR, Source::History, "tau_friction_2@25", 1, -0.161, 0.0005},
    QuotedFigure{"OrdinaryError2", &ORDINARY_GEAR, Source::Summary, "max_error_during_2", 1, 0.210, 0.0005},
    QuotedFigure{"SelfLockingError2", &SELF_LOCKING_GEAR, Source::Summary, "max_error_during_2", 1, 0.076, 0.0005},
    // 5 a light and a heavy work
    QuotedFigure{"LightLimitShare2", &LIGHT_WORK, Source::Summary, "torque_limit_share_pct_2", 1, 0, 0},
    QuotedFigure{"HeavyLimitShare2", &HEAVY_WORK, Source::Summary, "torque_limit_share_pct_2", 1, 17.4, 0.05},
    QuotedFigure{"LightErrorAtTf2", &LIGHT_WORK, Source::Summary, "error_at_tf_2", 1, -0.69, 0.005},
    QuotedFigure{"HeavyErrorAtTf2", &HEAVY_WORK, Source::Summary, "error_at_tf_2", 1, -3.79, 0.005},
    QuotedFigure{"LightOvershoot2", &LIGHT_WORK, Source::Summary, "overshoot_pct_2", 1, 2.3, 0.05},
    QuotedFigure{"HeavyOvershoot2", &HEAVY_WORK, Source::Summary, "overshoot_pct_2", 1, 13.0, 0.05},
    QuotedFigure{"LightSettling2", &LIGHT_WORK, Source::Summary, "settling_time_2", 1, 1.66, 0.005},
    QuotedFigure{"HeavySettling2", &HEAVY_WORK, Source::Summary, "settling_time_2", 1, 2.04, 0.005},
    QuotedFigure{"LightInertiaMax1", &LIGHT_WORK, Source::Summary, "inertia_max_1", 1, 6.42e-5, 0.005e-5},
    QuotedFigure{"HeavyInertiaMax1", &HEAVY_WORK, Source::Summary, "inertia_max_1", 1, 1.11e-4, 0.005e-4},
    QuotedFigure{"LightWnAtInertiaMax1", &LIGHT_WORK, Source::Summary, "wn_at_inertia_max_1", 1, 21.3, 0.05},
    QuotedFigure{"HeavyWnAtInertiaMax1", &HEAVY_WORK, Source::Summary, "wn_at_inertia_max_1", 1, 18.1, 0.05},
    QuotedFigure{"HeavyHzAtInertiaMax1", &HEAVY_WORK, Source::Summary, "wn_at_inertia_max_1", TO_HZ, 2.9, 0.05},
    QuotedFigure{"LightZetaAtInertiaMax1", &LIGHT_WORK, Source::Summary, "zeta_at_inertia_max_1", 1, 0.81, 0.005},
    QuotedFigure{"HeavyZetaAtInertiaMax1", &HEAVY_WORK, Source::Summary, "zeta_at_inertia_max_1", 1, 0.64, 0.005},
    // 6 near the edge of the SCARA work space and further in
    QuotedFigure{"EdgeJoint2AtStart", &SCARA_EDGE, Source::Plan, "phi0_2", TO_DEGREES, 6.0, 0.05},
    QuotedFigure{"InnerJoint2AtStart", &SCARA_INNER, Source::Plan, "phi0_2", TO_DEGREES, 75.9, 0.05},
    QuotedFigure{"EdgeJoint2AtEnd", &SCARA_EDGE, Source::Plan, "phif_2", TO_DEGREES, 6.0, 0.05},
    QuotedFigure{"InnerJoint2AtEnd", &SCARA_INNER, Source::Plan, "phif_2", TO_DEGREES, 75.9, 0.05},
    QuotedFigure{"EdgeSpeed1", &SCARA_EDGE, Source::History, "speed_1", 1, 183, 0.5},
    QuotedFigure{"EdgeSpeed2", &SCARA_EDGE, Source::History, "speed_2", 1, 251, 0.5},
    QuotedFigure{"InnerSpeed1", &SCARA_INNER, Source::History, "speed_1", 1, 125, 0.5},
    QuotedFigure{"InnerSpeed2", &SCARA_INNER, Source::History, "speed_2", 1, 116, 0.5},
    QuotedFigure{"EdgePeak1", &SCARA_EDGE, Source::Summary, "peak_drive_torque_1", 1, 0.384, 0.0005},
    QuotedFigure{"EdgePeak2", &SCARA_EDGE, Source::Summary, "peak_drive_torque_2", 1, 0.289, 0.0005},
    QuotedFigure{"InnerPeak1", &SCARA_INNER, Source::Summary, "peak_drive_torque_1", 1, 0.193, 0.0005},
    QuotedFigure{"InnerPeak2", &SCARA_INNER, Source::Summary, "peak_drive_torque_2", 1, 0.160, 0.0005},
    QuotedFigure{"EdgePathError", &SCARA_EDGE, Source::Summary, "max_path_error_mm", 1, 12.0, 0.05},
    QuotedFigure{"InnerPathError", &SCARA_INNER, Source::Summary, "max_path_error_mm", 1, 13.7, 0.05},
    // 8 the damping ratio against the overshoot
    QuotedFigure{"Zeta03Overshoot", &ZETA_03, Source::Summary, "overshoot_pct_1", 1, 25.3, 0.05},
    QuotedFigure{"Zeta05Overshoot", &ZETA_05, Source::Summary, "overshoot_pct_1", 1, 12.2, 0.05},
    QuotedFigure{"Zeta07Overshoot", &ZETA_07, Source::Summary, "overshoot_pct_1", 1, 4.1, 0.05},
    QuotedFigure{"Zeta1Overshoot", &ZETA_1, Source::Summary, "overshoot_pct_1", 1, 0.0, 0.05},
    QuotedFigure{"Zeta03Settling", &ZETA_03, Source::Summary, "settling_after_command_1", 1, 2.12, 0.005},
    QuotedFigure{"Zeta05Settling", &ZETA_05, Source::Summary, "settling_after_command_1", 1, 1.14, 0.005},
    QuotedFigure{"Zeta07Settling", &ZETA_07, Source::Summary, "settling_after_command_1", 1, 1.16, 0.005},
    QuotedFigure{"Zeta1Settling", &ZETA_1, Source::Summary, "settling_after_command_1", 1, 0.98, 0.005},
    QuotedFigure{"Zeta07Settling5", &ZETA_07_BAND5, Source::Summary, "settling_after_command_1", 1, 0.58, 0.005},
    QuotedFigure{"Zeta1Settling5", &ZETA_1_BAND5, Source::Summary, "settling_after_command_1", 1, 0.84, 0.005},
    QuotedFigure{"Zeta03AtInertiaMax", &ZETA_03, Source::Summary, "zeta_at_inertia_max_1", 1, 0.23, 0.005},
    QuotedFigure{"Zeta1AtInertiaMax", &ZETA_1, Source::Summary, "zeta_at_inertia_max_1", 1, 0.76, 0.005},
    QuotedFigure{"Zeta03FastOvershoot", &ZETA_03_FAST, Source::Summary, "overshoot_pct_1", 1, 20.5, 0.05},
    QuotedFigure{"Zeta03FastLimitShare", &ZETA_03_FAST, Source::Summary, "torque_limit_share_pct_1", 1, 6.5, 0.05}),
    [](const ::testing::TestParamInfo<QuotedFigure>& param_info) {
        return std::string(param_info.param.label);
    });

// clang-format on

//------------------------------------------------------------------ what students observe

// 1: PD leaves a steady error against gravity on both joints; PID removes it
TEST(TeachingObservations, IntegralActionRemovesTheSteadyErrorThatPdLeaves) {
    for (const char* name : {"error_at_end_1", "error_at_end_2"}) {
        EXPECT_GT(std::fabs(summary(PD, name)), 10.0 * std::fabs(summary(PID, name))) << name;
    }
    EXPECT_GT(end_position_error_mm(PD), 10.0 * end_position_error_mm(PID));
    // the work sags: it ends below its goal
    EXPECT_GT(sample(PD, "pos_err_y", LAST_SAMPLE), 0.0);
    // without gravity PD has nothing to leave an error against
    const Experiment pd_no_gravity = {"teach_pd.dat", {"--gravity", "h"}};
    EXPECT_LT(end_position_error_mm(pd_no_gravity), 0.1 * end_position_error_mm(PD));
}

// 2: velocity feedback brakes the commanded motion too; both rest at the end
TEST(TeachingObservations, VelocityFeedbackLagsTheMovingCommand) {
    EXPECT_GT(summary(VELOCITY_FB, "max_path_error_mm"),
              10.0 * summary(VELOCITY_ERROR_FB, "max_path_error_mm"));
    for (const char* name : {"max_error_during_1", "max_error_during_2"}) {
        EXPECT_GT(summary(VELOCITY_FB, name), 5.0 * summary(VELOCITY_ERROR_FB, name)) << name;
    }
    EXPECT_LT(end_position_error_mm(VELOCITY_FB), 0.01);
    EXPECT_LT(end_position_error_mm(VELOCITY_ERROR_FB), 0.01);
}

// 2, the question: a step command has no commanded speed, so both feedbacks are the same law
TEST(TeachingObservations, StepCommandMakesBothFeedbacksTheSame) {
    const std::string v = output_of("teach_feedback.dat", {"--motion", "q", "--fb", "v"});
    const std::string V = output_of("teach_feedback.dat", {"--motion", "q", "--fb", "V"});
    EXPECT_EQ(split(v, '\n').size(), LAST_SAMPLE + 2u);
    EXPECT_EQ(v, V);
}

// 3: gravity is the largest part of the torques and doubles the path error; at rest the worm
// gear's friction carries part of the weight
TEST(TeachingObservations, GravityRaisesTorquesAndPathError) {
    for (const char* name : {"peak_drive_torque_1", "peak_drive_torque_2"}) {
        EXPECT_GT(summary(GRAVITY_ON, name), 2.5 * summary(GRAVITY_OFF, name)) << name;
    }
    EXPECT_GT(summary(GRAVITY_ON, "max_path_error_mm"),
              2.0 * summary(GRAVITY_OFF, "max_path_error_mm"));
    const double drive = sample(GRAVITY_ON, "tau_drive_1", LAST_SAMPLE);
    const double gravity = sample(GRAVITY_ON, "tau_gravity_1", LAST_SAMPLE);
    const double friction = sample(GRAVITY_ON, "tau_friction_1", LAST_SAMPLE);
    EXPECT_LT(drive, 0.5 * gravity);
    EXPECT_LT(friction, -0.5 * gravity);
    for (const char* name : {"tau_gravity_1", "tau_gravity_2"}) {
        for (int k = 0; k <= LAST_SAMPLE; ++k) {
            ASSERT_EQ(sample(GRAVITY_OFF, name, k), 0.0) << name << " sample " << k;
        }
    }
}

// 4: at t = 0 no motor drives; the ordinary gear lets both joints sag, the self-locking one
// holds them and its friction carries the whole weight
TEST(TeachingObservations, SelfLockingGearHoldsTheLoadWithoutTorque) {
    for (int j = 1; j <= 2; ++j) {
        const std::string n = std::to_string(j);
        EXPECT_EQ(sample(ORDINARY_GEAR, "tau_drive_" + n, 0), 0.0);
        EXPECT_EQ(sample(SELF_LOCKING_GEAR, "tau_drive_" + n, 0), 0.0);
        EXPECT_LT(sample(ORDINARY_GEAR, "tau_inertia_" + n, 0), 0.0) << "joint " << j;
        EXPECT_EQ(sample(SELF_LOCKING_GEAR, "tau_inertia_" + n, 0), 0.0) << "joint " << j;
        EXPECT_GT(sample(SELF_LOCKING_GEAR, "tau_gravity_" + n, 0), 0.0) << "joint " << j;
        EXPECT_EQ(sample(SELF_LOCKING_GEAR, "tau_friction_" + n, 0),
                  -sample(SELF_LOCKING_GEAR, "tau_gravity_" + n, 0))
            << "joint " << j;
    }
    // joint 1 is not commanded to move: the self-locking gear keeps it exactly still
    const std::vector<double>& theta1 = column(SELF_LOCKING_GEAR, "theta_1");
    for (size_t k = 1; k < theta1.size(); ++k) {
        ASSERT_EQ(theta1[k], theta1[0]) << "sample " << k;
    }
    EXPECT_GT(summary(ORDINARY_GEAR, "max_error_during_1"), 0.1);
}

// 4: lowering the slide, the ordinary gear's motor holds back, the self-locking gear's drives
// the work down through the friction, all the way from 0.2 s to 0.8 s
TEST(TeachingObservations, SelfLockingGearMustBeDrivenToLowerTheWork) {
    for (int k = 10; k <= 40; ++k) {
        EXPECT_GT(sample(ORDINARY_GEAR, "tau_drive_2", k), 0.0) << "sample " << k;
        EXPECT_LT(sample(SELF_LOCKING_GEAR, "tau_drive_2", k), 0.0) << "sample " << k;
        EXPECT_LT(sample(SELF_LOCKING_GEAR, "tau_friction_2", k),
                  sample(ORDINARY_GEAR, "tau_friction_2", k))
            << "sample " << k;
    }
    EXPECT_LT(summary(SELF_LOCKING_GEAR, "max_error_during_2"),
              0.5 * summary(ORDINARY_GEAR, "max_error_during_2"));
}

// 5: the heavy work takes motor 2 to its limit and motor 1 sees a larger inertia, where the
// fixed gains give a lower natural frequency and damping than placed
TEST(TeachingObservations, HeavyWorkReachesTheLimitAndSoftensTheLoop) {
    EXPECT_EQ(summary(LIGHT_WORK, "torque_limit_share_pct_2"), 0.0);
    EXPECT_GT(summary(HEAVY_WORK, "torque_limit_share_pct_2"), 10.0);
    EXPECT_NEAR(summary(HEAVY_WORK, "peak_drive_torque_2"), TAU_MAX, 1e-12);
    EXPECT_GT(summary(HEAVY_WORK, "overshoot_pct_2"), 4.0 * summary(LIGHT_WORK, "overshoot_pct_2"));
    EXPECT_GT(summary(HEAVY_WORK, "inertia_max_1"), 1.5 * summary(LIGHT_WORK, "inertia_max_1"));
    // the inertia the gains were placed on is exceeded more with the heavy work
    EXPECT_GT(summary(HEAVY_WORK, "inertia_max_1") / plan(HEAVY_WORK, "JM1"),
              summary(LIGHT_WORK, "inertia_max_1") / plan(LIGHT_WORK, "JM1"));
    const double placed = 2.0 * std::numbers::pi * 4.0;  // fn 4 Hz in both files
    EXPECT_LT(summary(HEAVY_WORK, "wn_at_inertia_max_1"),
              summary(LIGHT_WORK, "wn_at_inertia_max_1"));
    EXPECT_LT(summary(LIGHT_WORK, "wn_at_inertia_max_1"), placed);
    EXPECT_LT(summary(HEAVY_WORK, "zeta_at_inertia_max_1"),
              summary(LIGHT_WORK, "zeta_at_inertia_max_1"));
    EXPECT_LT(summary(LIGHT_WORK, "zeta_at_inertia_max_1"), 1.0);
}

// 6: near the edge joint 2 is nearly stretched, and the same line takes faster joints and
// larger torques than further in, short of the torque limit
TEST(TeachingObservations, PathNearTheEdgeNeedsFastJointsAndLargeTorques) {
    const std::vector<double>& theta2 = column(SCARA_EDGE, "theta_2");
    ASSERT_FALSE(theta2.empty());
    const double nearest = *std::min_element(theta2.begin(), theta2.end()) / SCARA_U2;
    EXPECT_GT(nearest, 0.0);
    EXPECT_LT(degrees(nearest), 7.0);
    EXPECT_GT(degrees(plan(SCARA_INNER, "phi0_2")), 60.0);
    EXPECT_GT(largest_speed(SCARA_EDGE, 2), 2.0 * largest_speed(SCARA_INNER, 2));
    for (const char* name : {"peak_drive_torque_1", "peak_drive_torque_2"}) {
        EXPECT_GT(summary(SCARA_EDGE, name), 1.5 * summary(SCARA_INNER, name)) << name;
    }
    EXPECT_GT(summary(SCARA_EDGE, "peak_drive_torque_1"), 0.85 * TAU_MAX);
    EXPECT_EQ(summary(SCARA_EDGE, "torque_limit_share_pct_1"), 0.0);
    EXPECT_EQ(summary(SCARA_EDGE, "torque_limit_share_pct_2"), 0.0);
    // the line's end points, 0.799 m from joint 1, are inside the 0.8 m reach
    const double x = plan(SCARA_EDGE, "x0");
    const double y = plan(SCARA_EDGE, "y0");
    EXPECT_LT(std::hypot(x, y), SCARA_REACH);
    EXPECT_GT(std::hypot(x, y), 0.995 * SCARA_REACH);
}

// 6, the question: moved out to x = 0.72 m the line starts out of reach; the program says so
// on standard error and every figure is not a number
TEST(TeachingObservations, LineBeyondTheReachIsReportedAndGivesNoNumbers) {
    std::ifstream in(teaching_file("teach_scara_edge.dat"));
    std::stringstream text;
    text << in.rdbuf();
    std::string data = text.str();
    const std::string line = "0.7 -0.385 0.7 0.385 1.0";
    const size_t at = data.find(line);
    ASSERT_NE(at, std::string::npos) << data;
    data.replace(at, line.size(), "0.72 -0.385 0.72 0.385 1.0");
    char path[] = "/tmp/robosim-teaching-XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, data.data(), data.size()), (ssize_t)data.size());
    close(fd);
    const ProgramRun run = run_batch_program({path, "--summary", "--csv"});
    unlink(path);
    EXPECT_EQ(run.status, 4) << run.err;
    EXPECT_NE(run.err.find("!!! 逆運動学の解なし．始めからやり直し．"), std::string::npos)
        << run.err;
    const std::map<std::string, double> figures = name_values(run.out);
    for (const char* name : {"max_error_during_1", "max_error_during_2", "peak_drive_torque_1",
                             "peak_drive_torque_2", "max_path_error_mm"}) {
        EXPECT_TRUE(std::isnan(value_of(figures, name))) << name;
    }
}
