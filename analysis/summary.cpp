// Response figures of a run. The closed loop of joint j with the inertia J seen by its motor and
// the fixed gains, placed as (s + alpha)(s^2 + 2 zeta wn s + wn^2) on the nominal inertia JM:
//   PID:  J s^3 + Kv s^2 + Kp s + Ki = 0,  or monic  s^3 + a s^2 + b s + c = 0
//         with a = Kv/J, b = Kp/J, c = Ki/J; a real root r divides it into
//         (s - r)(s^2 + p s + q) with p = a + r (sum of the roots) and q = -c/r (their product),
//         so wn = sqrt(q) and zeta = p / (2 sqrt(q))
//   PD:   J s^2 + Kv s + Kp = 0,  wn = sqrt(Kp/J), zeta = Kv / (2 sqrt(Kp J))
// The real roots of the cubic lie between its extremes, found from f'(s) = 3 s^2 + 2 a s + b,
// and inside the Cauchy bound 1 + max(|a|, |b|, |c|); each is bisected to the last bit.
#include "analysis/summary.h"

#include "model/parameters.h"
#include "sim/history.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double NOT_A_NUMBER = std::numeric_limits<double>::quiet_NaN();
constexpr int BISECTION_LIMIT = 4096;  // halvings of a bracket, more than a double can take (-)
// The controller saturates to (tau_m tau) / |tau|, which is tau_m only to within one rounding
// (either side); a drive torque this close to tau_m, relative, counts as at the limit. No
// unsaturated torque comes so close but by chance.
constexpr double LIMIT_TOLERANCE = 1e-12;  // (-)
// a net travel within this share of the end angle (or of 1 rad) is rounding, not motion (-)
constexpr double TRAVEL_RESIDUE = 1e-9;
constexpr double DEGREES_PER_RADIAN = 180.0 / PI;  // the model's pi, as its angles are planned
constexpr double MM_PER_METRE = 1000.0;

//------------------------------------------------------------------ closed loop

// s^3 + a s^2 + b s + c
static double cubic(double a, double b, double c, double s) {
    return ((s + a) * s + b) * s + c;
}

// the root of the monic cubic between lo and hi, where it changes sign (or is zero at an end)
static double bisect_root(double a, double b, double c, double lo, double hi) {
    double f_lo = cubic(a, b, c, lo);
    if (f_lo == 0.0) {
        return lo;
    }
    for (int i = 0; i < BISECTION_LIMIT; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (mid == lo || mid == hi) {
            break;
        }
        const double f_mid = cubic(a, b, c, mid);
        if (f_mid == 0.0) {
            return mid;
        }
        if ((f_mid < 0.0) == (f_lo < 0.0)) {
            lo = mid;
            f_lo = f_mid;
        } else {
            hi = mid;
        }
    }
    return std::fabs(cubic(a, b, c, hi)) < std::fabs(f_lo) ? hi : lo;
}

// the real roots of s^3 + a s^2 + b s + c (finite coefficients) in ascending order; returns
// how many (1 or 3; a double root counts twice)
static int cubic_real_roots(double a, double b, double c, double roots[3]) {
    const double R = 1.0 + std::max({std::fabs(a), std::fabs(b), std::fabs(c)});
    // extremes of the cubic: 3 s^2 + 2 a s + b = 0, s = (-a -+ sqrt(a^2 - 3 b)) / 3
    const double D = a * a - 3.0 * b;
    if (D <= 0.0) {
        roots[0] = bisect_root(a, b, c, -R, R);  // rising everywhere: one crossing
        return 1;
    }
    // the root of larger size first, the other from the product b/3, without cancellation
    const double u = -(a + std::copysign(std::sqrt(D), a));
    const double s1 = std::min(u / 3.0, b / u);  // local maximum
    const double s2 = std::max(u / 3.0, b / u);  // local minimum
    const double f1 = cubic(a, b, c, s1);
    const double f2 = cubic(a, b, c, s2);
    int n = 0;
    if (f1 >= 0.0) {
        roots[n++] = bisect_root(a, b, c, -R, s1);
    }
    if (f1 >= 0.0 && f2 <= 0.0) {
        roots[n++] = bisect_root(a, b, c, s1, s2);
    }
    if (f2 <= 0.0) {
        roots[n++] = bisect_root(a, b, c, s2, R);
    }
    if (n == 0) {
        // extremes so close that rounding put the minimum above the maximum: one crossing
        roots[n++] = bisect_root(a, b, c, -R, R);
    }
    return n;
}

LoopFigures closed_loop_figures(double J, double Kp, double Kv, double Ki, double alpha) {
    if (Ki == 0.0) {
        // PD: J s^2 + Kv s + Kp
        return LoopFigures{std::sqrt(Kp / J), Kv / (2.0 * std::sqrt(Kp * J))};
    }
    const double a = Kv / J;
    const double b = Kp / J;
    const double c = Ki / J;
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(c)) {
        return LoopFigures{NOT_A_NUMBER, NOT_A_NUMBER};
    }
    double roots[3] = {};
    const int n = cubic_real_roots(a, b, c, roots);
    // With one real root it is the third pole. With three real roots (the pair has become two
    // real poles, zeta >= 1) the one nearest the placed pole -alpha is taken as the third pole
    // and the other two as the pair: that follows the pole the gains were placed with as the
    // inertia moves away from JM, and at JM gives back exactly the placed wn and zeta.
    double r = roots[0];
    for (int i = 1; i < n; ++i) {
        if (std::fabs(roots[i] + alpha) < std::fabs(r + alpha)) {
            r = roots[i];
        }
    }
    const double p = a + r;
    const double q = -c / r;
    const double wn = std::sqrt(q);
    return LoopFigures{wn, p / (2.0 * wn)};
}

//------------------------------------------------------------------ figures

// the larger of m and v, not a number as soon as either is
static double max_or_nan(double m, double v) {
    return std::isnan(m) || std::isnan(v) ? NOT_A_NUMBER : std::max(m, v);
}

// the earliest sample time from which |theta_j - target| <= band to the last sample, or not a
// number when the last sample is outside
static double time_into_band(const HistorySet& h, int j, int last, double dt, double target,
                             double band) {
    int k_out = -1;
    for (int k = last; k >= 0; --k) {
        if (!(std::fabs(h.theta[k][j] - target) <= band)) {
            k_out = k;
            break;
        }
    }
    return k_out < last ? (k_out + 1) * dt : NOT_A_NUMBER;
}

ResponseSummary summarize_response(const ParameterSet& ps, const HistorySet& h, int robot_type,
                                   double band) {
    const RobotModel& rm = robot_of(ps.model, robot_type);
    const RobotPlan& rp = robot_of(ps.plan, robot_type);
    ResponseSummary s = {};
    s.last = std::max(0, std::min(ps.settings.n_sample, HISTORY_LEN - 1));
    s.tf = ps.plan.tf;
    s.dt = ps.settings.dt_sample;
    s.ptp = ps.settings.motion == 'q' || ps.settings.motion == 'p';
    s.cp = ps.settings.motion == 'c';
    s.command_end = ps.settings.motion == 'q' ? 0.0 : s.tf;
    s.settling_band = band;

    // sample nearest tf, clamped to the run; the bounds are checked before the rounding
    const double k_exact = s.tf / s.dt;
    if (std::isnan(k_exact)) {
        s.k_tf = -1;
    } else if (k_exact <= 0.0) {
        s.k_tf = 0;
    } else if (k_exact >= s.last) {
        s.k_tf = s.last;
    } else {
        s.k_tf = (int)std::lround(k_exact);
    }
    for (int k = 0; k <= s.last; ++k) {
        if (k * s.dt <= s.tf) {
            ++s.n_during;
        } else if (k * s.dt > s.tf) {
            ++s.n_after;
        }
    }

    const double tau_m[2] = {rm.tau_m1, rm.tau_m2};
    const double Kp[2] = {rm.Kp1, rm.Kp2};
    const double Kv[2] = {rm.Kv1, rm.Kv2};
    const double Ki[2] = {rm.Ki1, rm.Ki2};
    const double alpha[2] = {ps.settings.alpha1, ps.settings.alpha2};
    const RobotSettings& gears = robot_of(ps.settings, robot_type);
    const double u[2] = {gears.u1, gears.u2};
    for (int j = 0; j < 2; ++j) {
        // the joint turns 1/u of the motor's angle; the cylindrical robot's joint 2 slides, 1/u2
        // metre per motor radian
        s.joint_linear[j] = robot_type != 'b' && j == 1;
        s.joint_per_motor[j] = (s.joint_linear[j] ? MM_PER_METRE : DEGREES_PER_RADIAN) / u[j];

        // travel and the angle the motion ends at. A PTP command ends at thetaf. A CP command
        // also comes to rest after tf, but not always at thetaf, the principal inverse
        // kinematics of the end point: the unwrapped circle around the cylindrical robot's base
        // ends a whole turn of joint 1 further, and the sine path ends where its integrated x(s)
        // puts it. The settling time is worth showing for CP as well (how long the arm needs to
        // come to rest at the end), so it is measured around the commanded end and on the
        // commanded net travel; a joint that returns to its start angle has none.
        if (s.ptp) {
            s.travel[j] = rp.thetaf[j] - rp.theta0[j];
            s.target[j] = rp.thetaf[j];
        } else {
            s.travel[j] = h.theta_ref[s.last][j] - h.theta_ref[0][j];
            s.target[j] = h.theta_ref[s.last][j];
        }

        // errors during and after the motion
        double during = 0.0;
        double after = 0.0;
        for (int k = 0; k <= s.last; ++k) {
            const double e = std::fabs(h.theta_err[k][j]);
            if (k * s.dt <= s.tf) {
                during = max_or_nan(during, e);
            } else if (k * s.dt > s.tf) {
                after = max_or_nan(after, e);
            }
        }
        s.max_error_during[j] = s.n_during > 0 ? during : NOT_A_NUMBER;
        s.max_error_after[j] = s.n_after > 0 ? after : NOT_A_NUMBER;
        s.error_at_tf[j] = s.k_tf >= 0 ? h.theta_err[s.k_tf][j] : NOT_A_NUMBER;
        s.error_at_end[j] = h.theta_err[s.last][j];

        // overshoot beyond the goal, in the direction of the travel
        s.overshoot_applies[j] = s.ptp && s.travel[j] != 0.0;
        s.overshoot_pct[j] = NOT_A_NUMBER;
        if (s.overshoot_applies[j]) {
            const double sign = s.travel[j] > 0.0 ? 1.0 : -1.0;
            double beyond = 0.0;
            for (int k = 0; k <= s.last; ++k) {
                beyond = max_or_nan(beyond, (h.theta[k][j] - rp.thetaf[j]) * sign);
            }
            s.overshoot_pct[j] = beyond / std::fabs(s.travel[j]) * 100.0;
        }

        // settling: the last sample outside the band, scanned from the end. A closed path's
        // net travel is a rounding residue of angles of hundreds of radians, not a travel.
        const double residue = TRAVEL_RESIDUE * std::max(1.0, std::fabs(s.target[j]));
        s.settling_applies[j] = std::fabs(s.travel[j]) > residue || std::isnan(s.travel[j]);
        s.settling_time[j] = NOT_A_NUMBER;
        s.settling_after_command[j] = NOT_A_NUMBER;
        if (s.settling_applies[j]) {
            const double travel = std::fabs(s.travel[j]);
            s.settling_time[j] =
                time_into_band(h, j, s.last, s.dt, s.target[j], SETTLING_BAND * travel);
            // in the band before the command ends: settled as the command ends
            const double t_in = time_into_band(h, j, s.last, s.dt, s.target[j], band * travel);
            s.settling_after_command[j] =
                std::isnan(t_in) ? NOT_A_NUMBER : std::max(0.0, t_in - s.command_end);
        }

        // drive torque, and the samples at the limit
        double peak = 0.0;
        int at_limit = 0;
        for (int k = 0; k <= s.last; ++k) {
            const double tau = std::fabs(h.tau_drive[k][j]);
            peak = max_or_nan(peak, tau);
            if (tau >= tau_m[j] * (1.0 - LIMIT_TOLERANCE)) {
                ++at_limit;
            }
        }
        s.peak_drive_torque[j] = peak;
        s.limit_share_pct[j] = std::isnan(peak) ? NOT_A_NUMBER : 100.0 * at_limit / (s.last + 1);

        // inertia seen, smallest and largest, and the closed loop there
        double J_min = h.inertia_seen[0][j];
        double J_max = J_min;
        for (int k = 1; k <= s.last; ++k) {
            const double J = h.inertia_seen[k][j];
            J_min = std::isnan(J_min) || std::isnan(J) ? NOT_A_NUMBER : std::min(J_min, J);
            J_max = max_or_nan(J_max, J);
        }
        s.inertia_min[j] = J_min;
        s.inertia_max[j] = J_max;
        s.at_inertia_min[j] = closed_loop_figures(J_min, Kp[j], Kv[j], Ki[j], alpha[j]);
        s.at_inertia_max[j] = closed_loop_figures(J_max, Kp[j], Kv[j], Ki[j], alpha[j]);
    }

    // path error of the work point
    s.max_path_error_mm = NOT_A_NUMBER;
    if (s.cp) {
        double e = 0.0;
        for (int k = 0; k <= s.last; ++k) {
            e = max_or_nan(e, std::hypot(h.pos_err[k][0], h.pos_err[k][1]));
        }
        s.max_path_error_mm = e * 1000.0;
    }
    return s;
}

//------------------------------------------------------------------ output

// one row of figures: the two joints' values and whether each applies
struct SummaryRow {
    const char* name;      // csv name without the joint suffix
    const char* label;     // table label with the unit
    double value[2];       // joint 1 and joint 2
    bool applies[2];       // false: "-" in the table, nan in the csv
    const char* nan_text;  // table text of a value that applies but is not a number
    bool table_only;       // a row of the table that the csv leaves out
};

static const char* selector_text(int value, int a, const char* a_text, int b, const char* b_text) {
    if (value == a) {
        return a_text;
    }
    if (value == b) {
        return b_text;
    }
    return "other";
}

static void write_header(std::FILE* out, const ParameterSet& ps, const ResponseSummary& s,
                         const SummarySource* source) {
    static const char* const CP_PATHS[CP_NAME_COUNT] = {"", "straight line", "circle", "inverted U",
                                                        "sine curve"};
    std::fprintf(out, "Response of the last run\n");
    std::fprintf(out, "  robot     %s (%c)\n",
                 selector_text(ps.settings.robot_type, 'a', "cylindrical-coordinate robot", 'b',
                               "SCARA robot"),
                 ps.settings.robot_type == 'a' || ps.settings.robot_type == 'b'
                     ? ps.settings.robot_type
                     : '?');
    if (ps.settings.motion == 'c') {
        const bool known = ps.settings.cp >= 1 && ps.settings.cp < CP_NAME_COUNT;
        std::fprintf(out, "  motion    CP motion, %s (c, cp %d)\n",
                     known ? CP_PATHS[ps.settings.cp] : "a path of unknown kind", ps.settings.cp);
    } else {
        std::fprintf(out, "  motion    %s (%c)\n",
                     selector_text(ps.settings.motion, 'q', "PTP with a step command", 'p',
                                   "PTP with a trapezoidal velocity command"),
                     s.ptp ? ps.settings.motion : '?');
    }
    std::fprintf(out, "  gravity   %s\n",
                 selector_text(ps.settings.gravity, 'g', "on, vertical motion (g)", 'h',
                               "off, horizontal motion (h)"));
    std::fprintf(
        out, "  feedback  %s\n",
        selector_text(ps.settings.fb_type, 'v', "velocity (v)", 'V', "velocity error (V)"));
    if (ps.settings.motion == 'q') {
        std::fprintf(
            out, "  tf        %g s (as set: a step command has no motion time of its own)\n", s.tf);
    } else {
        std::fprintf(out, "  tf        %g s\n", s.tf);
    }
    std::fprintf(out, "  run       samples 0 .. %d, 0 .. %g s\n", s.last, s.last * s.dt);
    if (source != nullptr) {
        // what tells this run from the one it was made from, so that tables side by side say
        // which settings were changed
        std::string line = source->base;
        for (size_t i = 0; i < source->differences.size(); ++i) {
            line += (i == 0 ? ", but " : ", ") + source->differences[i];
        }
        std::fprintf(out, "  settings  %s\n", line.c_str());
    }
}

// a value as the csv writes it: %.17g, and every not-a-number as plain "nan"
static void write_csv_value(std::FILE* out, const char* name, double value) {
    if (std::isnan(value)) {
        std::fprintf(out, "%s,nan\n", name);
    } else {
        std::fprintf(out, "%s,%.17g\n", name, value);
    }
}

// a table cell, 15 characters wide
static void write_cell(std::FILE* out, double value, bool applies, const char* nan_text) {
    if (!applies) {
        std::fprintf(out, "%15s", "-");
    } else if (std::isnan(value)) {
        std::fprintf(out, "%15s", nan_text);
    } else {
        std::fprintf(out, "%15.6g", value);
    }
}

void write_summary(std::FILE* out, const ParameterSet& ps, const HistorySet& h, bool csv,
                   const AccurateStats* accurate, double band, const SummarySource* source) {
    const ResponseSummary s = summarize_response(ps, h, ps.settings.robot_type, band);
    char after_label[64];
    std::snprintf(after_label, sizeof after_label, "  after the command, %g %% band (s)",
                  band * 100.0);
    const double to_hz = 1.0 / (2.0 * PI);
    const bool during = s.n_during > 0;
    const bool after = s.n_after > 0;
    const bool at_tf = s.k_tf >= 0;

    // clang-format off
    const SummaryRow rows[] = {
        {"travel", "travel (rad)",
         {s.travel[0], s.travel[1]}, {true, true}, "nan", false},
        {"max_error_during", "largest |error| up to tf (rad)",
         {s.max_error_during[0], s.max_error_during[1]}, {during, during}, "nan", false},
        {"max_error_after", "largest |error| after tf (rad)",
         {s.max_error_after[0], s.max_error_after[1]}, {after, after}, "nan", false},
        {"error_at_tf", "error at tf (rad)",
         {s.error_at_tf[0], s.error_at_tf[1]}, {at_tf, at_tf}, "nan", false},
        {"error_at_end", "error at the end of the run (rad)",
         {s.error_at_end[0], s.error_at_end[1]}, {true, true}, "nan", false},
        {"overshoot_pct", "overshoot (% of travel)",
         {s.overshoot_pct[0], s.overshoot_pct[1]},
         {s.overshoot_applies[0], s.overshoot_applies[1]}, "nan", false},
        {"settling_time", "settling time, 2 % band (s)",
         {s.settling_time[0], s.settling_time[1]},
         {s.settling_applies[0], s.settling_applies[1]}, "not settled", false},
        {"settling_after_command", after_label,
         {s.settling_after_command[0], s.settling_after_command[1]},
         {s.settling_applies[0], s.settling_applies[1]}, "not settled", false},
        {"peak_drive_torque", "peak |drive torque| (N*m)",
         {s.peak_drive_torque[0], s.peak_drive_torque[1]}, {true, true}, "nan", false},
        {"torque_limit_share_pct", "at the torque limit (% of samples)",
         {s.limit_share_pct[0], s.limit_share_pct[1]}, {true, true}, "nan", false},
        {"inertia_min", "smallest inertia seen (kg*m^2)",
         {s.inertia_min[0], s.inertia_min[1]}, {true, true}, "nan", false},
        {"wn_at_inertia_min", "  natural frequency there (rad/s)",
         {s.at_inertia_min[0].wn, s.at_inertia_min[1].wn}, {true, true}, "nan", false},
        {"", "  natural frequency there (Hz)",
         {s.at_inertia_min[0].wn * to_hz, s.at_inertia_min[1].wn * to_hz}, {true, true}, "nan",
         true},
        {"zeta_at_inertia_min", "  damping ratio there (-)",
         {s.at_inertia_min[0].zeta, s.at_inertia_min[1].zeta}, {true, true}, "nan", false},
        {"inertia_max", "largest inertia seen (kg*m^2)",
         {s.inertia_max[0], s.inertia_max[1]}, {true, true}, "nan", false},
        {"wn_at_inertia_max", "  natural frequency there (rad/s)",
         {s.at_inertia_max[0].wn, s.at_inertia_max[1].wn}, {true, true}, "nan", false},
        {"", "  natural frequency there (Hz)",
         {s.at_inertia_max[0].wn * to_hz, s.at_inertia_max[1].wn * to_hz}, {true, true}, "nan",
         true},
        {"zeta_at_inertia_max", "  damping ratio there (-)",
         {s.at_inertia_max[0].zeta, s.at_inertia_max[1].zeta}, {true, true}, "nan", false},
    };
    // clang-format on
    // the travel and the errors again at the joint, the rows above in their order
    constexpr int JOINT_ROWS = 5;
    SummaryRow joint_rows[JOINT_ROWS];
    char joint_names[JOINT_ROWS][48];
    for (int i = 0; i < JOINT_ROWS; ++i) {
        const SummaryRow& motor = rows[i];
        std::snprintf(joint_names[i], sizeof joint_names[i], "%s_joint", motor.name);
        joint_rows[i] = motor;
        joint_rows[i].name = joint_names[i];
        for (int j = 0; j < 2; ++j) {
            joint_rows[i].value[j] = motor.value[j] * s.joint_per_motor[j];
        }
    }
    // the labels without the motor's unit; the block's header names the joints' units
    joint_rows[0].label = "travel";
    joint_rows[1].label = "largest |error| up to tf";
    joint_rows[2].label = "largest |error| after tf";
    joint_rows[3].label = "error at tf";
    joint_rows[4].label = "error at the end of the run";

    if (csv) {
        for (const SummaryRow& row : rows) {
            for (int j = 0; j < 2 && !row.table_only; ++j) {
                char name[64];
                std::snprintf(name, sizeof name, "%s_%d", row.name, j + 1);
                write_csv_value(out, name, row.applies[j] ? row.value[j] : NOT_A_NUMBER);
            }
        }
        write_csv_value(out, "max_path_error_mm", s.max_path_error_mm);
        if (accurate != nullptr) {
            write_csv_value(out, "accurate_events", static_cast<double>(accurate->events));
            write_csv_value(out, "accurate_stops", static_cast<double>(accurate->stops));
            write_csv_value(out, "accurate_slides", static_cast<double>(accurate->slides));
            write_csv_value(out, "accurate_accumulations",
                            static_cast<double>(accurate->accumulations));
            write_csv_value(out, "accurate_completed", accurate->budget_spent ? 0.0 : 1.0);
        }
        // after every earlier line, so that each keeps its place
        for (const SummaryRow& row : joint_rows) {
            for (int j = 0; j < 2; ++j) {
                char name[64];
                std::snprintf(name, sizeof name, "%s_%d", row.name, j + 1);
                write_csv_value(out, name, row.applies[j] ? row.value[j] : NOT_A_NUMBER);
            }
        }
        return;
    }

    write_header(out, ps, s, source);
    std::fprintf(out, "\n%-36s%15s%15s\n", "", "joint 1", "joint 2");
    for (const SummaryRow& row : rows) {
        std::fprintf(out, "%-36s", row.label);
        write_cell(out, row.value[0], row.applies[0], row.nan_text);
        write_cell(out, row.value[1], row.applies[1], row.nan_text);
        std::fputc('\n', out);
    }
    if (s.cp) {
        std::fprintf(out, "%-36s", "largest path error (mm)");
        write_cell(out, s.max_path_error_mm, true, "nan");
        std::fputc('\n', out);
    }
    char unit_head[2][16];
    for (int j = 0; j < 2; ++j) {
        std::snprintf(unit_head[j], sizeof unit_head[j], "joint %d (%s)", j + 1,
                      s.joint_linear[j] ? "mm" : "deg");
    }
    std::fprintf(out, "\n%-36s%15s%15s\n", "at the joint", unit_head[0], unit_head[1]);
    for (const SummaryRow& row : joint_rows) {
        std::fprintf(out, "%-36s", row.label);
        write_cell(out, row.value[0], row.applies[0], row.nan_text);
        write_cell(out, row.value[1], row.applies[1], row.nan_text);
        std::fputc('\n', out);
    }
    if (accurate != nullptr) {
        std::fprintf(out, "\n%s\n", accurate_report(*accurate).c_str());
    }
}

std::vector<std::pair<std::string, std::string>> summary_csv_values(const ParameterSet& ps,
                                                                    const HistorySet& h,
                                                                    const AccurateStats* accurate,
                                                                    double band) {
    char* text = nullptr;
    size_t size = 0;
    std::FILE* memory = open_memstream(&text, &size);
    write_summary(memory, ps, h, true, accurate, band);
    std::fclose(memory);
    std::vector<std::pair<std::string, std::string>> values;
    std::string lines(text, size);
    std::free(text);
    for (size_t start = 0; start < lines.size();) {
        const size_t end = lines.find('\n', start);
        const std::string line = lines.substr(start, end - start);
        const size_t comma = line.find(',');
        values.emplace_back(line.substr(0, comma), line.substr(comma + 1));
        start = end == std::string::npos ? lines.size() : end + 1;
    }
    return values;
}

std::string history_column_name(const HistoryField& f, int i) {
    return std::string(f.name) + (f.planar ? (i == 0 ? "_x" : "_y") : (i == 0 ? "_1" : "_2"));
}

static const char* not_finite_word(double v) {
    return std::isnan(v) ? "NaN" : v > 0 ? "infinite" : "-infinite";
}

std::string divergence_text(const HistorySet* h, int n, double dt) {
    const Divergence d = first_divergence(h, n);
    if (d.sample < 0) {
        return "";
    }
    char time[40];
    std::snprintf(time, sizeof time, "%.2f", d.sample * dt);
    return "the run diverged at sample " + std::to_string(d.sample) + " (t = " + time
           + " s): " + history_column_name(*d.field, d.index) + " is " + not_finite_word(d.value);
}

}  // namespace robosim
