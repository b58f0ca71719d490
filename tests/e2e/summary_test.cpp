// The real robosim-batch --summary: its figures worked out here from the same experiment's CSV
// histories and planned quantities, and its table showing the same numbers.
#include "tests/e2e/batch_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <map>
#include <numbers>
#include <string>
#include <vector>

// figures that are scans of the printed samples come out to the same double; wn and zeta of a
// cubic's factor are found here by another route and agree to a few ulps of their size
constexpr double LOOP_TOLERANCE = 1e-9;
// the table prints 6 significant digits
constexpr double TABLE_TOLERANCE = 1e-5;
// the saturated drive torque (tau_m tau) / |tau| is tau_m to within one rounding
constexpr double LIMIT_ROUNDING = 2e-16;

static const std::vector<std::string> CSV_NAMES = {
    "travel_1",
    "travel_2",
    "max_error_during_1",
    "max_error_during_2",
    "max_error_after_1",
    "max_error_after_2",
    "error_at_tf_1",
    "error_at_tf_2",
    "error_at_end_1",
    "error_at_end_2",
    "overshoot_pct_1",
    "overshoot_pct_2",
    "settling_time_1",
    "settling_time_2",
    "settling_after_command_1",
    "settling_after_command_2",
    "peak_drive_torque_1",
    "peak_drive_torque_2",
    "torque_limit_share_pct_1",
    "torque_limit_share_pct_2",
    "inertia_min_1",
    "inertia_min_2",
    "wn_at_inertia_min_1",
    "wn_at_inertia_min_2",
    "zeta_at_inertia_min_1",
    "zeta_at_inertia_min_2",
    "inertia_max_1",
    "inertia_max_2",
    "wn_at_inertia_max_1",
    "wn_at_inertia_max_2",
    "zeta_at_inertia_max_1",
    "zeta_at_inertia_max_2",
    "max_path_error_mm",
};
// then the travel and the errors again at the joint, as NAME_joint_1 and NAME_joint_2
static const std::vector<std::string> JOINT_FIGURES = {
    "travel", "max_error_during", "max_error_after", "error_at_tf", "error_at_end"};

//------------------------------------------------------------------ the closed loop, another way

// the real roots of s^3 + a s^2 + b s + c by the trigonometric or Cardano form of the depressed
// cubic x^3 + p x + q (s = x - a/3), each polished by Newton steps on the cubic
static std::vector<double> cubic_roots_closed_form(double a, double b, double c) {
    const double p = b - a * a / 3.0;
    const double q = 2.0 * a * a * a / 27.0 - a * b / 3.0 + c;
    const double disc = q * q / 4.0 + p * p * p / 27.0;
    std::vector<double> roots;
    if (disc < 0.0) {
        const double m = 2.0 * std::sqrt(-p / 3.0);
        const double arg = std::clamp(3.0 * q / (p * m), -1.0, 1.0);
        const double phi = std::acos(arg) / 3.0;
        for (int k = 0; k < 3; ++k) {
            roots.push_back(m * std::cos(phi - 2.0 * std::numbers::pi * k / 3.0) - a / 3.0);
        }
    } else {
        const double w = std::sqrt(disc);
        roots.push_back(std::cbrt(-q / 2.0 + w) + std::cbrt(-q / 2.0 - w) - a / 3.0);
    }
    for (double& r : roots) {
        for (int i = 0; i < 4; ++i) {
            const double f = ((r + a) * r + b) * r + c;
            const double df = (3.0 * r + 2.0 * a) * r + b;
            if (df != 0.0) {
                r -= f / df;
            }
        }
    }
    return roots;
}

// natural frequency (rad/s) and damping ratio of the loop J with gains Kp, Kv, Ki; the third
// pole of a PID loop is its real root nearest -alpha
static std::pair<double, double> loop_at(double J, double Kp, double Kv, double Ki, double alpha) {
    if (Ki == 0.0) {
        return {std::sqrt(Kp / J), Kv / (2.0 * std::sqrt(Kp * J))};
    }
    const double a = Kv / J;
    const std::vector<double> roots = cubic_roots_closed_form(a, Kp / J, Ki / J);
    const double r = *std::min_element(roots.begin(), roots.end(), [&](double x, double y) {
        return std::fabs(x + alpha) < std::fabs(y + alpha);
    });
    // s^3 + a s^2 + b s + c = (s - r)(s^2 + 2 zeta wn s + wn^2)
    const double wn = std::sqrt(-Ki / J / r);
    return {wn, (a + r) / (2.0 * wn)};
}

//------------------------------------------------------------------ the figures from the CSV

static double nan_value() {
    return std::nan("");
}

// every figure of the summary, from the histories and the plan of the same experiment
static std::map<std::string, double> figures_of(const std::map<std::string, std::vector<double>>& h,
                                                const std::map<std::string, double>& plan, bool ptp,
                                                const double alpha[2]) {
    std::map<std::string, double> fig;
    const std::vector<double>& t = h.at("t");
    const int last = (int)t.size() - 1;
    const double tf = plan.at("tf");
    int k_tf = 0;
    for (int k = 0; k <= last; ++k) {
        if (std::fabs(t[k] - tf) < std::fabs(t[k_tf] - tf)) {
            k_tf = k;
        }
    }
    for (int j = 1; j <= 2; ++j) {
        const std::string n = std::to_string(j);
        const std::vector<double>& theta = h.at("theta_" + n);
        const std::vector<double>& ref = h.at("theta_ref_" + n);
        const std::vector<double>& err = h.at("theta_err_" + n);
        const std::vector<double>& tau = h.at("tau_drive_" + n);
        const std::vector<double>& J = h.at("inertia_seen_" + n);

        // a PTP motion goes from theta0 to thetaf; a CP command from its first to its last
        // commanded angle
        const double start = ptp ? plan.at("theta0_" + n) : ref[0];
        const double end = ptp ? plan.at("thetaf_" + n) : ref[last];
        const double travel = end - start;
        fig["travel_" + n] = travel;

        double during = 0.0;
        double after = -1.0;
        for (int k = 0; k <= last; ++k) {
            double& m = t[k] <= tf ? during : after;
            m = std::max(m, std::fabs(err[k]));
        }
        fig["max_error_during_" + n] = during;
        fig["max_error_after_" + n] = after < 0.0 ? nan_value() : after;
        fig["error_at_tf_" + n] = err[k_tf];
        fig["error_at_end_" + n] = err[last];

        // overshoot: the sample farthest along the travel, beyond the goal
        double overshoot = nan_value();
        if (ptp && travel != 0.0) {
            const double top = travel > 0.0 ? *std::max_element(theta.begin(), theta.end())
                                            : *std::min_element(theta.begin(), theta.end());
            const double beyond = travel > 0.0 ? top - end : end - top;
            overshoot = std::max(0.0, beyond) / std::fabs(travel) * 100.0;
        }
        fig["overshoot_pct_" + n] = overshoot;

        double settling = nan_value();
        for (int k = last; k >= 0 && travel != 0.0; --k) {
            if (std::fabs(theta[k] - end) > 0.02 * std::fabs(travel)) {
                break;
            }
            settling = t[k];
        }
        fig["settling_time_" + n] = settling;
        // the step command is at its end from the first sample; the others end at tf
        const double command_end = ptp && ref[0] == ref[last] ? 0.0 : tf;
        fig["settling_after_command_" + n] =
            std::isnan(settling) ? settling : std::max(0.0, settling - command_end);

        const double tau_m = plan.at("tau_m" + n);
        double peak = 0.0;
        int at_limit = 0;
        for (const double v : tau) {
            peak = std::max(peak, std::fabs(v));
            at_limit += std::fabs(std::fabs(v) - tau_m) <= LIMIT_ROUNDING * tau_m ? 1 : 0;
        }
        fig["peak_drive_torque_" + n] = peak;
        fig["torque_limit_share_pct_" + n] = 100.0 * at_limit / (last + 1);

        const double Kp = plan.at("Kp" + n);
        const double Kv = plan.at("Kv" + n);
        const double Ki = plan.at("Ki" + n);
        const double J_min = *std::min_element(J.begin(), J.end());
        const double J_max = *std::max_element(J.begin(), J.end());
        const auto at_min = loop_at(J_min, Kp, Kv, Ki, alpha[j - 1]);
        const auto at_max = loop_at(J_max, Kp, Kv, Ki, alpha[j - 1]);
        fig["inertia_min_" + n] = J_min;
        fig["wn_at_inertia_min_" + n] = at_min.first;
        fig["zeta_at_inertia_min_" + n] = at_min.second;
        fig["inertia_max_" + n] = J_max;
        fig["wn_at_inertia_max_" + n] = at_max.first;
        fig["zeta_at_inertia_max_" + n] = at_max.second;
    }
    double path = nan_value();
    if (!ptp) {
        path = 0.0;
        for (int k = 0; k <= last; ++k) {
            path = std::max(path, std::hypot(h.at("pos_err_x")[k], h.at("pos_err_y")[k]) * 1000.0);
        }
    }
    fig["max_path_error_mm"] = path;
    return fig;
}

//------------------------------------------------------------------ the table

// table row labels and the csv figure each shows (Hz rows: the rad/s figure over 2 pi)
struct TableRow {
    const char* label;  // label at the start of the line
    const char* name;   // csv name without the joint suffix
    bool in_hz;         // the value is the figure in Hz
};

static const TableRow TABLE_ROWS[] = {
    {"travel (rad)", "travel", false},
    {"largest |error| up to tf (rad)", "max_error_during", false},
    {"largest |error| after tf (rad)", "max_error_after", false},
    {"error at tf (rad)", "error_at_tf", false},
    {"error at the end of the run (rad)", "error_at_end", false},
    {"overshoot (% of travel)", "overshoot_pct", false},
    {"settling time, 2 % band (s)", "settling_time", false},
    {"  after the command, 2 % band (s)", "settling_after_command", false},
    {"peak |drive torque| (N*m)", "peak_drive_torque", false},
    {"at the torque limit (% of samples)", "torque_limit_share_pct", false},
    {"smallest inertia seen (kg*m^2)", "inertia_min", false},
    {"  natural frequency there (rad/s)", "wn_at_inertia_min", false},
    {"  natural frequency there (Hz)", "wn_at_inertia_min", true},
    {"  damping ratio there (-)", "zeta_at_inertia_min", false},
    {"largest inertia seen (kg*m^2)", "inertia_max", false},
    {"  natural frequency there (rad/s)", "wn_at_inertia_max", false},
    {"  natural frequency there (Hz)", "wn_at_inertia_max", true},
    {"  damping ratio there (-)", "zeta_at_inertia_max", false},
};

// the cell of a table line for a figure: "-" where it does not apply, "not settled" for a
// settling time outside the band at the end, else the number to the table's digits
static void expect_cell(const std::string& cell, double value, bool applies,
                        const std::string& what) {
    if (!applies) {
        EXPECT_EQ(cell, "-") << what;
    } else if (std::isnan(value)) {
        EXPECT_EQ(cell, "not settled") << what;
    } else {
        const double shown = std::strtod(cell.c_str(), nullptr);
        EXPECT_NEAR(shown, value, TABLE_TOLERANCE * std::fabs(value) + 1e-300)
            << what << ": '" << cell << "'";
    }
}

static std::string trim(const std::string& s) {
    const size_t a = s.find_first_not_of(' ');
    const size_t b = s.find_last_not_of(' ');
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

//------------------------------------------------------------------ experiments

namespace {

struct SummaryCase {
    const char* name;                // test name
    std::vector<std::string> words;  // the experiment on the command line
    bool ptp;                        // a PTP motion
    double alpha[2];                 // third poles placed on the two joints (1/s)
    const char* robot_text;          // what the table's header says of the robot
    double u[2];                     // the gear ratios (-; rad/m for the cylindrical joint 2)
    const char* settings;            // what the table's header says the experiment was made from
};

void PrintTo(const SummaryCase& c, std::ostream* os) {
    *os << c.name;
}

}  // namespace

class SummaryProgramTest : public ::testing::TestWithParam<SummaryCase> {};

TEST_P(SummaryProgramTest, FiguresAgreeWithTheHistoriesAndThePlan) {
    const SummaryCase c = GetParam();
    std::vector<std::string> words = c.words;
    const ProgramRun histories = run_batch_program(words);
    words.push_back("--plan");
    const ProgramRun plan = run_batch_program(words);
    words.back() = "--summary";
    const ProgramRun table = run_batch_program(words);
    words.push_back("--csv");
    const ProgramRun csv = run_batch_program(words);
    ASSERT_EQ(histories.status, 0) << histories.err;
    ASSERT_EQ(plan.status, 0) << plan.err;
    ASSERT_EQ(table.status, 0) << table.err;
    ASSERT_EQ(csv.status, 0) << csv.err;

    std::map<std::string, double> plan_values;
    for (const auto& [name, value] : read_name_values(plan.out)) {
        plan_values[name] = value;
    }
    std::map<std::string, double> expected =
        figures_of(read_histories(histories.out), plan_values, c.ptp, c.alpha);
    std::vector<std::string> names = CSV_NAMES;
    for (const std::string& figure : JOINT_FIGURES) {
        for (const int j : {0, 1}) {
            // over the gear ratio, in degrees, or in mm for the cylindrical robot's joint 2
            const std::string n = "_" + std::to_string(j + 1);
            names.push_back(figure + "_joint" + n);
            expected[names.back()] =
                expected.at(figure + n) / c.u[j]
                * (j == 1 && c.robot_text[0] == 'c' ? 1000.0 : 180.0 / std::numbers::pi);
        }
    }

    // the csv: every name in its place, every value as worked out here
    const std::vector<std::pair<std::string, double>> rows = read_name_values(csv.out);
    ASSERT_EQ(rows.size(), names.size()) << csv.out;
    EXPECT_EQ(split(csv.out, '\n').size(), names.size()) << "nothing but name,value lines";
    std::map<std::string, double> got;
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].first, names[i]);
        got[rows[i].first] = rows[i].second;
    }
    for (const std::string& name : names) {
        const double want = expected.at(name);
        const double have = got[name];
        if (std::isnan(want)) {
            EXPECT_TRUE(std::isnan(have)) << name << " = " << have;
        } else if (name.starts_with("wn_") || name.starts_with("zeta_")
                   || name.find("_joint") != std::string::npos) {
            EXPECT_NEAR(have, want, LOOP_TOLERANCE * std::fabs(want)) << name;
        } else {
            EXPECT_DOUBLE_EQ(have, want) << name;
        }
    }
    EXPECT_EQ(csv.out.find("-nan"), std::string::npos);

    // the table: the experiment in its header, then the same numbers
    const std::vector<std::string> lines = split(table.out, '\n');
    EXPECT_NE(table.out.find(c.robot_text), std::string::npos) << table.out;
    EXPECT_NE(table.out.find("\n  settings  " + std::string(c.settings) + "\n"), std::string::npos);
    EXPECT_NE(table.out.find("tf"), std::string::npos);
    size_t head = 0;
    while (head < lines.size() && lines[head].find("joint 1") == std::string::npos) {
        ++head;
    }
    ASSERT_LT(head, lines.size()) << table.out;
    const size_t n_rows = std::size(TABLE_ROWS);
    ASSERT_GE(lines.size(), head + 1 + n_rows) << table.out;
    for (size_t i = 0; i < n_rows; ++i) {
        const TableRow& row = TABLE_ROWS[i];
        const std::string& line = lines[head + 1 + i];
        ASSERT_EQ(line.rfind(row.label, 0), 0u) << line;
        ASSERT_GE(line.size(), 36u + 30u) << line;
        for (int j = 0; j < 2; ++j) {
            const std::string name = std::string(row.name) + "_" + std::to_string(j + 1);
            const double value = got[name] / (row.in_hz ? 2.0 * std::numbers::pi : 1.0);
            // what does not apply is nan in the csv and "-" in the table, except a settling
            // time that applies (the joint has a travel) but was not reached
            const bool settling = std::string(row.name).rfind("settling_", 0) == 0;
            const bool travels = got["travel_" + std::to_string(j + 1)] != 0.0;
            const bool applies = !std::isnan(value) || (settling && travels);
            expect_cell(trim(line.substr(36 + 15 * j, 15)), value, applies, line);
        }
    }
    const bool path_row = lines.size() > head + 1 + n_rows
                          && lines[head + 1 + n_rows].rfind("largest path error (mm)", 0) == 0;
    EXPECT_EQ(path_row, !c.ptp);
    if (path_row) {
        expect_cell(trim(lines[head + 1 + n_rows].substr(36, 15)), got["max_path_error_mm"], true,
                    "path error");
    }
    // the figures at the joint, under a header naming each joint's unit
    const auto at = std::find_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.starts_with("at the joint");
    });
    ASSERT_GT(lines.end() - at, 5) << table.out;
    EXPECT_TRUE(
        at->ends_with(c.robot_text[0] == 'c' ? "(deg)   joint 2 (mm)" : "(deg)  joint 2 (deg)"));
    expect_cell(trim(at[1].substr(51, 15)), got["travel_joint_2"], true, *at);
}

// the figures' different branches: PTP trapezoid and step with overshoot and settling, PD and
// PID loops, torque at the limit, a CP path with and without a joint that returns to its start
INSTANTIATE_TEST_SUITE_P(
    Experiments, SummaryProgramTest,
    ::testing::Values(
        SummaryCase{"CylindricalTrapezoidVelocityFeedback",
                    {"--robot", "a", "--motion", "p", "--fb", "v", "--set", "u2=50"},
                    true,
                    {4.0, 4.0},
                    "cylindrical-coordinate robot",
                    {100.0, 50.0},
                    "the defaults, but cylindrical, fb v, PTP trapezoid, u2 50"},
        SummaryCase{
            "ScaraSine", {}, false, {4.0, 4.0}, "SCARA robot", {60.0, 60.0}, "the defaults"},
        SummaryCase{"CylindricalStepPd",
                    {std::string(ROBOSIM_SOURCE_DIR) + "/examples/cyl_step.dat"},
                    true,
                    {0.0, 0.0},
                    "cylindrical-coordinate robot",
                    {100.0, 100.0},
                    ROBOSIM_SOURCE_DIR "/examples/cyl_step.dat"},
        SummaryCase{"ScaraStepPdNoGravity",
                    {std::string(ROBOSIM_SOURCE_DIR) + "/examples/scara_step.dat"},
                    true,
                    {0.0, 0.0},
                    "SCARA robot",
                    {60.0, 60.0},
                    ROBOSIM_SOURCE_DIR "/examples/scara_step.dat"},
        SummaryCase{"CylindricalCircle",
                    {std::string(ROBOSIM_SOURCE_DIR) + "/examples/cyl_circle.dat"},
                    false,
                    {2.0, 2.0},
                    "cylindrical-coordinate robot",
                    {100.0, 100.0},
                    ROBOSIM_SOURCE_DIR "/examples/cyl_circle.dat"}),
    [](const ::testing::TestParamInfo<SummaryCase>& param_info) {
        return std::string(param_info.param.name);
    });

// An accurate run's summary ends with what its integration met, in the table and in the csv,
// and a run of the fixed step has no such lines: the slide's stick-slip is counted
TEST(SummaryProgram, AccurateRunTellsItsEventsStopsAndSlides) {
    const std::vector<std::string> words = {"--robot", "a",     "--motion",      "p",        "--fb",
                                            "v",       "--set", "eta_fwd2=0.45", "--summary"};
    std::vector<std::string> accurate = words;
    accurate.push_back("--accurate");
    const ProgramRun table = run_batch_program(accurate);
    accurate.push_back("--csv");
    const ProgramRun csv = run_batch_program(accurate);
    ASSERT_EQ(csv.status, 0) << csv.err;
    std::map<std::string, double> got;
    for (const auto& [name, value] : read_name_values(csv.out)) {
        got[name] = value;
    }
    EXPECT_GE(got["accurate_slides"], 1.0);
    EXPECT_EQ(got["accurate_completed"], 1.0);
    EXPECT_NE(table.out.find("accurate integration: " + std::to_string(int(got["accurate_events"]))
                             + " events located, " + std::to_string(int(got["accurate_stops"]))
                             + " stops, " + std::to_string(int(got["accurate_slides"]))
                             + " sliding intervals"),
              std::string::npos)
        << table.out;
    std::vector<std::string> fixed = words;
    fixed.push_back("--csv");
    EXPECT_EQ(run_batch_program(fixed).out.find("accurate_"), std::string::npos);
}
