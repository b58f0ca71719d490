// analysis/summary.h: the response figures of the last run, for robosim-batch --summary
#pragma once

// Figures per joint j = 1, 2 of the motor quantities of samples k = 0 .. last, t = k dt_sample,
// where last = min(n_sample, HISTORY_LEN - 1), at least 0, and tf = ps.plan.tf (a step command
// has no motion time of its own: tf is then the value left from the motion set before):
//   travel             thetaf - theta0 of the robot record for PTP; for CP the commanded net
//                      travel theta_ref[last] - theta_ref[0], see summarize_response
//   errors             largest |theta_err| with t <= tf and with t > tf; theta_err (signed,
//                      theta_ref - theta) at the sample nearest tf and at the last sample
//   overshoot          PTP only: max(0, max_k (theta - thetaf) sign(travel)) / |travel| * 100
//   settling time      the earliest sample time from which |theta - target| stays within
//                      2 % of |travel| to the end of the run
//   settling after     the same in a band of the given share of |travel| (2 % unless asked
//     the command      otherwise), counted from the end of the command: t = 0 for the step
//                      command, tf otherwise; 0 when the joint is in the band by then
//   drive torque       peak |tau_drive|; share of the samples at the limit, |tau_drive| >= tau_m
//                      to within a rounding (the saturated torque may miss tau_m by one ulp)
//   inertia seen       smallest and largest, with the closed-loop natural frequency and damping
//                      ratio the fixed gains give with that inertia
//   path error         CP only: the largest distance of the work point from its command (mm)
// A sample that is not a number makes a largest or smallest value not a number as well.
//
// Output of write_summary:
//   table   a header naming the experiment, then one row per figure with joint 1 and joint 2
//           as columns, the unit in the row label; "-" marks a figure that does not apply
//           (no sample after tf, a CP overshoot, no travel) and "not settled" a settling time
//           whose last sample is outside the band. The natural frequencies also appear in Hz.
//   csv     name,value lines in a fixed order and always the same set of names, every value in
//           %.17g so that it reads back to the same double; "nan" for a figure that does not
//           apply and for a settling time that was not reached:
//           travel_j, max_error_during_j, max_error_after_j, error_at_tf_j, error_at_end_j,
//           overshoot_pct_j, settling_time_j, settling_after_command_j, peak_drive_torque_j,
//           torque_limit_share_pct_j, inertia_min_j, wn_at_inertia_min_j, zeta_at_inertia_min_j,
//           inertia_max_j, wn_at_inertia_max_j, zeta_at_inertia_max_j (each for j = 1, then 2), and
//           last max_path_error_mm, then the same errors at the joint (see below):
//           travel_joint_j, max_error_during_joint_j, max_error_after_joint_j,
//           error_at_tf_joint_j, error_at_end_joint_j (each for j = 1, then 2)
// At the joint an angle is the motor angle over the reduction ratio, theta_motor / u, in degrees
// for a turning joint and in mm for the cylindrical robot's sliding joint 2, whose u2 is motor
// radians per metre; the table shows them in a block of their own after the motor figures, its
// header naming each joint's unit. The names are the same for both robots, so that the rows of
// runs of either robot share their columns.
// The table's header also names what the experiment was made from (the defaults or the data file)
// and the settings in which it differs from that, when write_summary is told them.
// An accurate run adds what its integration met: a line under the table, and in csv the names
// accurate_events, accurate_stops, accurate_slides, accurate_accumulations (counts) and
// accurate_completed (1, or 0 when the step budget ended the run early).

#include "planning/plan.h"
#include "sim/accurate.h"
#include "sim/history.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double SETTLING_BAND = 0.02;  // settling band as a share of the travel (-)

//------------------------------------------------------------------ types
// the closed loop of one joint with an inertia other than the nominal one
struct LoopFigures {
    double wn;    // natural angular frequency of the complex (or second-order) pair (rad/s)
    double zeta;  // damping ratio of that pair                                      (-)
};

// The response figures of one run; arrays are indexed 0 for joint (motor) 1 and 1 for joint 2.
// A figure that does not apply is not a number and its flag says so.
struct ResponseSummary {
    int last;      // last sample of the run                                        (-)
    int k_tf;      // sample nearest tf, within 0 .. last; -1 when tf is not a number (-)
    double tf;     // end of the motion                                             (s)
    double dt;     // interval between samples                                      (s)
    bool ptp;      // a PTP motion ('q' or 'p'): overshoot applies, path error does not
    bool cp;       // a CP motion ('c'): path error applies
    int n_during;  // samples with t <= tf                                          (-)
    int n_after;   // samples with t > tf                                           (-)

    double travel[2];               // end less start of the motion                  (rad)
    double target[2];               // angle the settling band lies around           (rad)
    double max_error_during[2];     // largest |theta_err| with t <= tf              (rad)
    double max_error_after[2];      // largest |theta_err| with t > tf               (rad)
    double error_at_tf[2];          // theta_err at sample k_tf                      (rad)
    double error_at_end[2];         // theta_err at the last sample                  (rad)
    bool overshoot_applies[2];      // PTP motion with a travel other than 0
    double overshoot_pct[2];        // overshoot beyond thetaf                       (% of |travel|)
    bool settling_applies[2];       // a travel other than 0
    double settling_time[2];        // not a number when the last sample is outside  (s)
    double peak_drive_torque[2];    // largest |tau_drive|                           (N*m)
    double limit_share_pct[2];      // share of samples at the limit tau_m           (%)
    double inertia_min[2];          // smallest inertia seen                         (kg*m^2)
    LoopFigures at_inertia_min[2];  // closed loop with inertia_min
    double inertia_max[2];          // largest inertia seen                          (kg*m^2)
    LoopFigures at_inertia_max[2];  // closed loop with inertia_max
    double max_path_error_mm;       // largest |pos_err|, CP only                    (mm)

    // settling after the command, in the band of settling_band
    double command_end;                // end of the command: 0 step, tf otherwise    (s)
    double settling_band;              // share of |travel|                           (-)
    double settling_after_command[2];  // from command_end into the band; 0 when in it by then,
                                       // not a number when the last sample is out  (s)

    // at the joint: a motor angle times joint_per_motor is the joint's angle (deg) or, for the
    // cylindrical robot's sliding joint 2, its position (mm)
    double joint_per_motor[2];  // (deg/rad or mm/rad)
    bool joint_linear[2];       // a sliding joint, in mm; else a turning joint, in degrees
};

// what the experiment of a summary was made from, for the table's header
struct SummarySource {
    std::string base;                      // "the defaults", or the data file's name
    std::vector<std::string> differences;  // the settings that differ from base, in words
};

//------------------------------------------------------------------ figures
// natural frequency and damping ratio of J s^2 + Kv s + Kp (PD, Ki == 0) or of the quadratic
// factor left of J s^3 + Kv s^2 + Kp s + Ki when its real root nearest -alpha (the third pole
// the gains were placed with) is divided out; J (kg*m^2), the gains as in RobotModel, alpha
// (1/s). Not a number when the coefficients are not finite numbers.
LoopFigures closed_loop_figures(double J, double Kp, double Kv, double Ki, double alpha);

// the figures of the run h of robot_type with the settings ps, settling_after_command in a band
// of band times |travel| (-).
// reads: dt_sample, n_sample, tf, motion, alpha1, alpha2, the robot record of robot_type
ResponseSummary summarize_response(const ParameterSet& ps, const HistorySet& h, int robot_type,
                                   double band = SETTLING_BAND);

//------------------------------------------------------------------ output
// the response figures of the run h of ps.settings.robot_type, as a table or as name,value lines
// and, for an accurate run, what its integration met (accurate: nullptr for the fixed step);
// band: that of the settling after the command, a share of |travel| (-); source: what the
// table's header names the experiment as made from (nullptr: no such line; the csv has none)
void write_summary(std::FILE* out, const ParameterSet& ps, const HistorySet& h, bool csv,
                   const AccurateStats* accurate = nullptr, double band = SETTLING_BAND,
                   const SummarySource* source = nullptr);

// the name,value lines write_summary writes in csv, as name and value words in their order
std::vector<std::pair<std::string, std::string>>
summary_csv_values(const ParameterSet& ps, const HistorySet& h,
                   const AccurateStats* accurate = nullptr, double band = SETTLING_BAND);

//------------------------------------------------------------------ histories
// the CSV column of value i (0 or 1) of field f: theta_1, theta_2, pos_x, pos_y, ...
std::string history_column_name(const HistoryField& f, int i);

// one line naming where the run h of samples 0 .. n (dt apart, s) blew up, "the run diverged at
// sample 0 (t = 0.00 s): theta_ref_1 is NaN", or an empty string when every number is finite
std::string divergence_text(const HistorySet* h, int n, double dt);

}  // namespace robosim
