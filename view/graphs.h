// view/graphs.h: the time graphs of motor angles, motor torques and the inertia seen by each
// motor, drawn right of the robot view from sample 0 up to the animation sample
#pragma once

#include "planning/plan.h"
#include "view/scene.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double GRAPH_HEIGHT = 0.4;     // height of the joint displacement plot        (window)
constexpr double GRAPH_AXIS_H = 0.4;     // its vertical axis is this + 0.05 high         (window)
constexpr double AXIS_OVERHANG = 0.05;   // vertical axes reach this beyond the plot      (window)
constexpr double TICK_LEN = 0.02;        // height of a one-second tick                   (window)
constexpr double ERROR_BAND_LOW = -0.3;  // error curves below -0.3 graph_height are cut  (-)
constexpr double RANGE_START_MAX = -1000.0;    // start of the maximum scan                 (rad)
constexpr double RANGE_START_MIN = 1000.0;     // start of the minimum scan                 (rad)
constexpr double INERTIA_START_MAX = -1000.0;  // start of the largest-inertia scan       (kg*m^2)
// half span given to a constant motor-angle history, which has no range of its own     (rad)
constexpr double FLAT_RANGE_HALF = 1.0;
// more one-second ticks than this would only blacken the axis: none are drawn then      (-)
constexpr int MAX_TIME_TICKS = 100;
constexpr double NUMBER_DROP = 0.032;   // baseline of the numbers under an axis, below it (window)
constexpr double TITLE_DROP = 0.075;    // baseline of a graph's title below its time axis (window)
constexpr double LABEL_HEIGHT = 0.045;  // a label of 18-point text and the gap to the next (window)
constexpr double LEGEND_ROW1 = 0.115;  // the torque legend's rows above the motor-2 plot   (window)
constexpr double LEGEND_ROW2 = 0.075;
constexpr double SWATCH_LEN = 0.03;      // a legend's sample of its curve                  (window)
constexpr double JOINT_TITLE_Y = 0.958;  // the joint graph's title, above its plot (window)
constexpr double LEGEND_Y = 0.918;       // the legend of its traces, below that title    (window)

//------------------------------------------------------------------ axes
// the sample whose time lies nearest to x on a time axis from x0 of the current experiment s
// (sample i lies at x0 + i * graph_width / n_sample), limited to 0 .. last_sample(s)
int sample_at_x(const Settings& s, double x0, double x);

// time axis of length width from origin with a tick per second and the last second labelled;
// kind 0 a vertical axis of height above it (and the blue motion-time marker unless motion is
// 'q'), kind 1 a vertical axis of height above and below; dt (s) the sample period, n samples
void draw_time_axes(const Scene& scene, int kind, const Point2& origin, double dt, int n,
                    double width, double height);

// the whole seconds under the ticks of a time axis as draw_time_axes places them, each number
// centred under its tick with its baseline at y
// (on a white ground when grounded: numbers that lie in a plot's band)
void draw_time_numbers(const Point2& origin, double dt, int n, double width, double y,
                       bool grounded = false);

// the last whole second of a time axis as draw_time_axes places its ticks, "4s", at the right
// end above the axis, on a white ground: drawn after the curves, over them
void draw_time_label(const Point2& origin, double dt, int n, double width);

// the baselines of the goal1 and goal2 labels for goal lines at heights yg, in a plot whose
// top is at top: each beside its own line, inside the plot, and a label's height apart
void place_goal_labels(const double yg[2], double top, double label_y[2]);

//------------------------------------------------------------------ scales
// range[0] = largest, range[1] = smallest motor angle (rad) of theta and theta_ref, samples
// 0 .. n_sample - 1 of each run (n_sample its own), then of the scene's also_scaled history
// (n_sample the current run's)
void value_range(const Scene& scene, double range[2]);

// largest inertia_seen (kg*m^2) over the same samples as value_range; -1000 when there is none
double inertia_max(const Scene& scene);

//------------------------------------------------------------------ graphs
// Each graph plots every run of the scene (the current run last) from sample 0 to sample k
// (held at its own last sample) at x = origin.x + i * graph_width / n_sample, axes and scales
// those of the current run; a run's curves are drawn in its colours and line pattern. Only
// the current run has goal lines, rotor inertia lines and labels.

// motor angles, their commands, the goal lines and the magnified errors about the baseline
void draw_joint_graph(const Scene& scene, int k);

// the five torque components of each motor, between the lines of +/- tau_m1
void draw_torque_graph(const Scene& scene, int k);

// the inertia seen by each motor, with the rotor inertia lines
void draw_inertia_graph(const Scene& scene, int k);

}  // namespace robosim
