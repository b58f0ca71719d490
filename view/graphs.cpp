// The graphs: motor angles with their commands and magnified errors, the motor torque split
// into drive, inertia, Coriolis, gravity and friction torque, and the inertia seen by each
// motor. Scales come from the data or the motor ratings, never from the window. Samples that
// are not numbers (an unreachable SCARA path) simply leave gaps in the curves. Runs beside the
// current one add their curves under its own, on its axes.
#include "view/graphs.h"

#include "model/parameters.h"
#include "sim/history.h"
#include "view/draw.h"
#include "view/view_state.h"

#include <cmath>
#include <cstdio>
#include <initializer_list>

namespace robosim {

//------------------------------------------------------------------ helpers

// x of sample i on a time axis from x0 of the current experiment s: its run fills the axis
// exactly, and the other runs are laid on it sample by sample
static double sample_x(const Settings& s, double x0, int i) {
    return x0 + i * s.graph_width / s.n_sample;
}

// the inverse of sample_x: the nearest sample, limited to the run; an x that is not a number
// gives sample 0
int sample_at_x(const Settings& s, double x0, double x) {
    const double v = (x - x0) * s.n_sample / s.graph_width;
    const int last = last_sample(s);
    if (!(v > 0.0)) {
        return 0;
    }
    return v >= last ? last : static_cast<int>(std::lround(v));
}

// the last sample of run that the graphs of sample k show: k, held at the run's last sample
static int run_sample(const SceneRun& run, int k) {
    return clamp_sample(run.experiment->settings, k);
}

// one curve of joint j of a history field from sample 0 to k, y = O.y + (value - base) * scale,
// on the time axis of axis
static void draw_curve(const Settings& axis, const double (*field)[2], int j, const Point2& O,
                       double base, double scale, int k, double width_m, const Colour4& c,
                       LinePattern pattern) {
    Point2 points[HISTORY_LEN];
    for (int i = 0; i <= k; ++i) {
        points[i] = {sample_x(axis, O.x, i), O.y + (field[i][j] - base) * scale};
    }
    draw_thick_polyline(points, nullptr, k + 1, width_m, c, pattern);
}

// a curve of y = y0 + scale * value whose segments are drawn only where both end values pass
// inside(value); a value that is not a number never passes
template <class Inside>
static void draw_banded_curve(const Settings& axis, const double (*field)[2], int j,
                              const Point2& O, double y0, double scale, int k, Inside inside,
                              double width_m, const Colour4& c, LinePattern pattern) {
    Point2 points[HISTORY_LEN];
    bool shown[HISTORY_LEN];
    bool previous_inside = false;
    for (int i = 0; i <= k; ++i) {
        const double v = field[i][j];
        const bool now_inside = inside(v);
        points[i] = {sample_x(axis, O.x, i), y0 + scale * v};
        shown[i] = i > 0 && previous_inside && now_inside;
        previous_inside = now_inside;
    }
    draw_thick_polyline(points, shown, k + 1, width_m, c, pattern);
}

// widens range (max, min) by every value of theta and theta_ref of samples 0 .. count - 1;
// a not-a-number compares false and is passed over
static void scan_range(const HistorySet& h, int count, double range[2]) {
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < 2; ++j) {
            for (const double v : {h.theta[i][j], h.theta_ref[i][j]}) {
                if (v > range[0]) {
                    range[0] = v;
                }
                if (v < range[1]) {
                    range[1] = v;
                }
            }
        }
    }
}

static double scan_inertia(const HistorySet& h, int count, double largest) {
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < 2; ++j) {
            if (h.inertia_seen[i][j] > largest) {
                largest = h.inertia_seen[i][j];
            }
        }
    }
    return largest;
}

// the samples of a run of s that take part in the range scans: 0 .. n_sample - 1, within the
// history
static int scanned_samples(const Settings& s) {
    if (s.n_sample < 0) {
        return 0;
    }
    return s.n_sample < HISTORY_LEN ? s.n_sample : HISTORY_LEN;
}

//------------------------------------------------------------------ axes

// The whole seconds on a time axis of n samples of dt over width: their count m, or -1 when
// no ticks are drawn, and the axis length of one second (step). p = integer part of the
// samples per second; a period above 1 s (p = 0), no samples, or so many seconds that the
// ticks would merge give no ticks.
static int time_ticks(double dt, int n, double width, double* step) {
    const double p = (dt > 0.0 && std::isfinite(dt)) ? std::floor(1.0 / dt) : 0.0;
    *step = n > 0 ? p * width / n : 0.0;
    const double seconds = *step > 0.0 && std::isfinite(*step) ? std::floor(width / *step) : -1.0;
    return seconds >= 0.0 && seconds <= MAX_TIME_TICKS ? static_cast<int>(seconds) : -1;
}

// reads: motion, tf
void draw_time_axes(const Scene& scene, int kind, const Point2& origin, double dt, int n,
                    double width, double height) {
    const Point2& O = origin;
    draw_thick_line(O, {O.x + width, O.y}, 0.006, RED);

    // one tick per whole second
    double step = 0.0;  // axis length of one second (window)
    const int m = time_ticks(dt, n, width, &step);
    if (m >= 0) {
        for (int j = 1; j <= m; ++j) {
            draw_line({O.x + j * step, O.y}, {O.x + j * step, O.y + TICK_LEN}, RED);
        }

        draw_line({O.x + m * step, O.y}, {O.x + m * step, O.y + TICK_LEN}, RED);
    }

    if (kind == 0) {
        draw_thick_line(O, {O.x, O.y + height}, 0.006, RED);
        const ParameterSet& ps = *current_run(scene).experiment;
        if (ps.settings.motion != 'q') {
            // motion time tf, up the plot but not beyond it into the legend above
            const double xt = O.x + width * ps.plan.tf / (n * dt);
            draw_line({xt, O.y}, {xt, O.y + height - AXIS_OVERHANG}, BLUE);
        }
    } else {
        draw_thick_line({O.x, O.y - height}, {O.x, O.y + height}, 0.006, RED);
    }
}

void draw_time_label(const Point2& origin, double dt, int n, double width) {
    double step = 0.0;
    const int m = time_ticks(dt, n, width, &step);
    if (m < 0) {
        return;
    }
    // the number of seconds of the last tick, its last digit where a single digit stands (runs
    // of 10 s or more show every digit), then "s"
    char number[16];
    const int digits = std::snprintf(number, sizeof number, "%d", m);
    const double x_last = origin.x + m * step;
    const auto y = static_cast<float>(origin.y + 0.01);
    const auto x_number = static_cast<float>(x_last - 0.02 * digits);
    draw_label_ground(x_number, y, TextFont::large, number);
    draw_label_ground(static_cast<float>(x_last), y, TextFont::large, "s");
    draw_text(x_number, y, TextFont::large, number);
    draw_text(static_cast<float>(x_last), y, TextFont::large, "s");
    // the ticks again, over the ground: the axis stays whole under its label
    for (int j = 1; j <= m; ++j) {
        draw_line({origin.x + j * step, origin.y}, {origin.x + j * step, origin.y + TICK_LEN}, RED);
    }
}

void draw_time_numbers(const Point2& origin, double dt, int n, double width, double y,
                       bool grounded) {
    double step = 0.0;
    const int m = time_ticks(dt, n, width, &step);
    const TextFont font = TextFont::tiny;
    for (int j = 1; j <= m; ++j) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", j);
        const auto x = static_cast<float>(origin.x + j * step - text_width(font, number) / 2.0);
        if (grounded) {
            draw_label(x, static_cast<float>(y), font, number);
        } else {
            draw_text(x, static_cast<float>(y), font, number);
        }
    }
}

// The upper label stands above its line, or under it at the top of the plot; the lower label
// stands above its own line where that leaves room for the upper one, else under its line,
// and never closer than a label's height below the upper label.
void place_goal_labels(const double yg[2], double top, double label_y[2]) {
    const int up = yg[0] >= yg[1] ? 0 : 1;
    const int low = 1 - up;
    const auto above = [](double line) { return line + 0.01; };
    const auto below = [](double line) { return line + 0.01 - LABEL_HEIGHT; };
    label_y[up] = above(yg[up]) + LABEL_HEIGHT > top ? below(yg[up]) : above(yg[up]);
    label_y[low] = above(yg[low]);
    if (label_y[up] - label_y[low] < LABEL_HEIGHT) {
        label_y[low] = std::fmin(below(yg[low]), label_y[up] - LABEL_HEIGHT);
    }
}

//------------------------------------------------------------------ scales

// reads: n_sample and the histories of every run, also_scaled
void value_range(const Scene& scene, double range[2]) {
    range[0] = RANGE_START_MAX;
    range[1] = RANGE_START_MIN;
    for (int r = 0; r < scene.run_count; ++r) {
        const SceneRun& run = scene.runs[r];
        scan_range(*run.history, scanned_samples(run.experiment->settings), range);
    }
    if (scene.also_scaled != nullptr) {
        const int count = scanned_samples(current_run(scene).experiment->settings);
        scan_range(*scene.also_scaled, count, range);
    }
}

// reads: n_sample and the histories of every run, also_scaled
double inertia_max(const Scene& scene) {
    double largest = INERTIA_START_MAX;
    for (int r = 0; r < scene.run_count; ++r) {
        const SceneRun& run = scene.runs[r];
        largest = scan_inertia(*run.history, scanned_samples(run.experiment->settings), largest);
    }
    if (scene.also_scaled != nullptr) {
        const int count = scanned_samples(current_run(scene).experiment->settings);
        largest = scan_inertia(*scene.also_scaled, count, largest);
    }
    return largest;
}

// the largest |torque| of the parts drawn (drive, inertia, Coriolis, gravity when it is on,
// friction) of motor j over samples 0 .. n_sample of every run; 0 when there is none
static double torque_range(const Scene& scene, int j) {
    double largest = 0.0;
    for (int r = 0; r < scene.run_count; ++r) {
        const SceneRun& run = scene.runs[r];
        const HistorySet& h = *run.history;
        const bool gravity = run.experiment->settings.gravity == 'g';
        const int last = last_sample(run.experiment->settings);
        for (int i = 0; i <= last; ++i) {
            for (const double T : {h.tau_drive[i][j], h.tau_inertia[i][j], h.tau_coriolis[i][j],
                                   gravity ? h.tau_gravity[i][j] : 0.0, h.tau_friction[i][j]}) {
                if (std::fabs(T) > largest) {
                    largest = std::fabs(T);
                }
            }
        }
    }
    return largest;
}

//------------------------------------------------------------------ graphs

// the motor angles of a run, their commands and the magnified errors, up to sample k; the
// plot's origin O, smallest angle min and scale a (window/rad) are the current run's
static void draw_joint_curves(const Scene& scene, const SceneRun& run, const Point2& O, double min,
                              double a, int k) {
    const Settings& axis = current_run(scene).experiment->settings;
    const HistorySet& h = *run.history;
    const RunColours& c = run.style.colours;
    const LinePattern pattern = run.style.pattern;
    k = run_sample(run, k);

    // commanded and actual motor angles
    draw_curve(axis, h.theta_ref, 0, O, min, a, k, 0.008, c.command, pattern);
    draw_curve(axis, h.theta, 0, O, min, a, k, 0.008, c.angle[0], pattern);
    draw_curve(axis, h.theta_ref, 1, O, min, a, k, 0.008, c.command, pattern);
    draw_curve(axis, h.theta, 1, O, min, a, k, 0.008, c.angle[1], pattern);

    // magnified errors about the baseline, cut where they leave the band
    // (offsets from the baseline strictly between -0.3 and 1 times the plot height)
    const double e = a * axis.error_gain;  // (window/rad)
    const auto in_band = [e](double err) {
        const double offset = e * err;
        return ERROR_BAND_LOW * GRAPH_HEIGHT < offset && offset < GRAPH_HEIGHT;
    };
    draw_banded_curve(axis, h.theta_err, 0, O, O.y, e, k, in_band, 0.006, c.error[0], pattern);
    draw_banded_curve(axis, h.theta_err, 1, O, O.y, e, k, in_band, 0.006, c.error[1], pattern);
}

// the name of a vertical axis at height above its origin O, ending just left of the axis:
// outside the plot, so that no curve comes near it, on a ground that keeps the grid off it
static void draw_axis_name(const Point2& O, double height, const char* name) {
    draw_label(static_cast<float>(O.x - 0.012 - text_width(TextFont::small, name)),
               static_cast<float>(O.y + height), TextFont::small, name);
}

// a legend entry: a short stroke of a curve's colour, then its name; returns where the next
// entry starts
static double draw_legend_entry(double x, double y, const Colour4& c, TextFont font,
                                const char* name) {
    draw_thick_line({x, y + 0.008}, {x + SWATCH_LEN / 2.0, y + 0.008}, 0.006, c);
    draw_text(static_cast<float>(x + SWATCH_LEN / 2.0 + 0.008), static_cast<float>(y), font, name);
    return x + SWATCH_LEN / 2.0 + 0.008 + text_width(font, name) + 0.02;
}

// reads: graph_origin, graph_width, error_gain, dt_sample, n_sample, motion, tf, the histories
void draw_joint_graph(const Scene& scene, int k) {
    const Settings& s = current_run(scene).experiment->settings;
    const HistorySet& h = *current_run(scene).history;
    const RunColours& colours = current_run(scene).style.colours;
    const Point2 O = s.graph_origin;
    k = clamp_sample(s, k);
    const float x = static_cast<float>(O.x);

    draw_time_axes(scene, 0, O, s.dt_sample, s.n_sample, s.graph_width,
                   GRAPH_AXIS_H + AXIS_OVERHANG);
    // the title and one legend row above the plot: the angle traces and the magnified errors,
    // whose band lies below the time axis
    draw_text(x + 0.1f, static_cast<float>(JOINT_TITLE_Y), TextFont::large, "joint displacement");
    const double swatch = SWATCH_LEN / 2.0;
    draw_thick_line({O.x, LEGEND_Y + 0.008}, {O.x + swatch, LEGEND_Y + 0.008}, 0.006,
                    colours.angle[0]);
    double lx =
        draw_legend_entry(O.x + swatch, LEGEND_Y, colours.angle[1], TextFont::tiny, "motor 1/2");
    lx = draw_legend_entry(lx, LEGEND_Y, colours.command, TextFont::tiny, "command");
    draw_thick_line({lx, LEGEND_Y + 0.008}, {lx + swatch, LEGEND_Y + 0.008}, 0.006,
                    colours.error[0]);
    char errors[32];
    std::snprintf(errors, sizeof errors, "x%.0f error", s.error_gain);
    draw_legend_entry(lx + swatch, LEGEND_Y, colours.error[1], TextFont::tiny, errors);

    // scale: the range of the motor angles fills the plot from the baseline up
    double range[2];
    value_range(scene, range);
    if (range[0] == range[1]) {
        // a constant history has no range: show it as a flat line at mid height
        range[0] += FLAT_RANGE_HALF;
        range[1] -= FLAT_RANGE_HALF;
    }
    const bool scaled = range[0] > range[1] && std::isfinite(range[0] - range[1]);
    const double min = range[1];
    const double a = scaled ? GRAPH_HEIGHT / (range[0] - range[1]) : 0.0;  // (window/rad)
    const double e = a * s.error_gain;  // magnified errors (window/rad)
    if (scaled && e > 0.0 && std::isfinite(GRAPH_HEIGHT / e)) {
        // the error that reaches the plot's top, right of it: the errors' own scale
        char top[32];
        std::snprintf(top, sizeof top, "%.2g", GRAPH_HEIGHT / e);
        draw_text(static_cast<float>(O.x + s.graph_width + 0.012),
                  static_cast<float>(O.y + GRAPH_HEIGHT - 0.03), TextFont::tiny, top);
        draw_text(static_cast<float>(O.x + s.graph_width + 0.012),
                  static_cast<float>(O.y + GRAPH_HEIGHT - 0.065), TextFont::tiny, "rad");
    }
    if (!scaled) {
        draw_axis_name(O, GRAPH_AXIS_H - 0.05, "th(fi)");
        return;  // no number in the histories: nothing can be scaled
    }

    // goal lines at the final commanded angles
    const int last = last_sample(s);
    double yg[2];
    for (int j = 0; j < 2; ++j) {
        yg[j] = O.y + (h.theta_ref[last][j] - min) * a;
        draw_line({O.x, yg[j]}, {O.x + s.graph_width, yg[j]}, RED);
    }

    {
        // the curves inside the plot and its error band, whatever their values
        const PlotClip clip({O.x, O.y + ERROR_BAND_LOW * GRAPH_HEIGHT}, s.graph_width,
                            (1.0 - ERROR_BAND_LOW) * GRAPH_HEIGHT);
        for_each_run(scene,
                     [&](const SceneRun& run) { draw_joint_curves(scene, run, O, min, a, k); });
    }

    // the labels over the curves, each on its own ground: each goal label with its angle
    // beside its line (labels that would overlap move apart: the upper one stays above its
    // line, the lower goes below its own), the seconds and the axis name
    double label_y[2];
    place_goal_labels(yg, O.y + GRAPH_HEIGHT, label_y);
    for (int j = 0; j < 2; ++j) {
        const char* name = j == 0 ? "goal1" : "goal2";
        const float ly = static_cast<float>(label_y[j]);
        char value[40];
        std::snprintf(value, sizeof value, " %.2f rad", h.theta_ref[last][j]);
        const auto xv = static_cast<float>(x + 0.2 + text_width(TextFont::large, name));
        draw_label_ground(x + 0.2f, ly, TextFont::large, name);
        draw_label_ground(xv, ly, TextFont::small, value);
        draw_text(x + 0.2f, ly, TextFont::large, name);
        draw_text(xv, ly, TextFont::small, value);
    }
    draw_time_label(O, s.dt_sample, s.n_sample, s.graph_width);
    draw_time_numbers(O, s.dt_sample, s.n_sample, s.graph_width, O.y - NUMBER_DROP, true);
    draw_axis_name(O, GRAPH_AXIS_H - 0.05, "th(fi)");
}

// the five torque parts of motor j of a run up to sample k, in the plot of origin O whose
// torque scale is c (window/(N*m)) and whose limit lines stand at +/- tau (N*m)
static void draw_torque_curves(const Scene& scene, const SceneRun& run, int j, const Point2& O,
                               double c, double tau, int k) {
    const Settings& axis = current_run(scene).experiment->settings;
    const HistorySet& h = *run.history;
    const RunColours& rc = run.style.colours;
    const LinePattern p = run.style.pattern;
    k = run_sample(run, k);

    // a torque is drawn within the limit lines, bounds included; judged in N*m so that a
    // torque of exactly +/- tau counts as on the line whatever the rounding of the scale
    const auto in_limits = [tau](double T) { return -tau <= T && T <= tau; };
    draw_banded_curve(axis, h.tau_drive, j, O, O.y, c, k, in_limits, 0.008, rc.torque[0], p);
    draw_banded_curve(axis, h.tau_inertia, j, O, O.y, c, k, in_limits, 0.005, rc.torque[1], p);
    draw_banded_curve(axis, h.tau_coriolis, j, O, O.y, c, k, in_limits, 0.005, rc.torque[2], p);
    if (run.experiment->settings.gravity == 'g') {
        draw_banded_curve(axis, h.tau_gravity, j, O, O.y, c, k, in_limits, 0.005, rc.torque[3], p);
    }
    draw_banded_curve(axis, h.tau_friction, j, O, O.y, c, k, in_limits, 0.005, rc.torque[4], p);
}

// reads: torque_origin1, torque_origin2, torque_half1, torque_half2, graph_width, gravity,
// dt_sample, n_sample, cyl.tau_m1, scara.tau_m1, the histories
void draw_torque_graph(const Scene& scene, int k) {
    const ParameterSet& ps = *current_run(scene).experiment;
    const Settings& s = ps.settings;
    const RunColours& colours = current_run(scene).style.colours;
    k = clamp_sample(s, k);
    const bool gravity = s.gravity == 'g';

    // the legend between the two plots, in the panel: off the robot view and off the curves
    // (a torque beyond the limit lines is cut). Each entry is a swatch of its curve.
    const struct {
        const char* name;
        Colour4 colour;
        bool shown;
    } entries[] = {{"drive", colours.torque[0], true},
                   {"inertia", colours.torque[1], true},
                   {"Coriolis", colours.torque[2], true},
                   {"gravity", colours.torque[3], gravity},
                   {"friction", colours.torque[4], true}};

    const Point2 O2 = s.torque_origin2;
    const double row_y[2] = {O2.y + s.torque_half2 + LEGEND_ROW1,
                             O2.y + s.torque_half2 + LEGEND_ROW2};
    double lx = O2.x + 0.02;
    int row = 0;
    int in_row = 0;
    for (const auto& e : entries) {
        if (!e.shown) {
            continue;
        }
        if (in_row == 3) {  // three to a row
            row = 1;
            in_row = 0;
            lx = O2.x + 0.02;
        }
        const double y = row_y[row];
        draw_thick_line({lx, y + 0.01}, {lx + SWATCH_LEN, y + 0.01}, 0.008, e.colour);
        draw_text(static_cast<float>(lx + SWATCH_LEN + 0.015), static_cast<float>(y),
                  TextFont::small, e.name);
        lx += SWATCH_LEN + 0.015 + text_width(TextFont::small, e.name) + 0.04;
        ++in_row;
    }

    // Both plots are scaled by motor 1's maximum torque, or each by the largest torque of its
    // motor in the runs shown when the view asks for their own range: small torques (a
    // self-locking gear's) then fill the plot.
    const double tau_max = s.robot_type == 'b' ? ps.model.scara.tau_m1 : ps.model.cyl.tau_m1;
    const bool own = scene.view.torque_own_range;
    const char* const limit_name = own ? "runs' range" : "motor Tmax";

    for (int j = 0; j < 2; ++j) {
        const double tau = own ? torque_range(scene, j) : tau_max;  // (N*m)
        const Point2 O = j == 0 ? s.torque_origin1 : s.torque_origin2;
        const double hh = j == 0 ? s.torque_half1 : s.torque_half2;
        const float x = static_cast<float>(O.x);
        const float y = static_cast<float>(O.y);

        draw_time_axes(scene, 1, O, s.dt_sample, s.n_sample, s.graph_width, hh + AXIS_OVERHANG);
        draw_text(x - 0.05f, y - 0.02f, TextFont::large, "0");

        // limit lines at +/- tau
        draw_line({O.x, O.y + hh}, {O.x + s.graph_width, O.y + hh}, RED);
        draw_line({O.x, O.y - hh}, {O.x + s.graph_width, O.y - hh}, RED);
        draw_text(x, static_cast<float>(O.y + hh + 0.01), TextFont::small, limit_name);
        // the limits in N*m: beside the upper label, and under the lower line with the
        // seconds, where no curve comes (torques beyond the limits are cut)
        char limit[40];
        std::snprintf(limit, sizeof limit, " %+.3g", tau);
        draw_text(static_cast<float>(x + text_width(TextFont::small, limit_name)),
                  static_cast<float>(O.y + hh + 0.01), TextFont::small, limit);
        std::snprintf(limit, sizeof limit, "%+.3g", -tau);
        draw_text(x + 0.01f, static_cast<float>(O.y - hh - NUMBER_DROP), TextFont::tiny, limit);
        draw_time_numbers(O, s.dt_sample, s.n_sample, s.graph_width, O.y - hh - NUMBER_DROP);

        // without a positive scale torque the curves have no scale
        if (tau > 0.0 && std::isfinite(hh / tau)) {
            const double c = hh / tau;  // (window/(N*m))
            const PlotClip clip({O.x, O.y - hh}, s.graph_width, 2.0 * hh);
            for_each_run(scene, [&](const SceneRun& run) {
                draw_torque_curves(scene, run, j, O, c, tau, k);
            });
        }
        // the title and axis name over the curves
        draw_label(x + 0.1f, y - 0.1f, TextFont::large,
                   j == 0 ? "Torque(motor1)" : "Torque(motor2)");
        draw_axis_name(O, hh - 0.05, "T[Nm]");
        draw_time_label(O, s.dt_sample, s.n_sample, s.graph_width);
    }
}

// reads: inertia_origin, inertia_height, graph_width, dt_sample, n_sample, motion, tf,
// cyl.IM1, cyl.IM2, scara.IM1, scara.IM2, the histories
void draw_inertia_graph(const Scene& scene, int k) {
    const ParameterSet& ps = *current_run(scene).experiment;
    const Settings& s = ps.settings;
    const Point2 O = s.inertia_origin;
    const double H = s.inertia_height;
    k = clamp_sample(s, k);
    const float x = static_cast<float>(O.x);
    const float y = static_cast<float>(O.y);

    draw_time_axes(scene, 0, O, s.dt_sample, s.n_sample, s.graph_width, H + AXIS_OVERHANG);
    draw_time_numbers(O, s.dt_sample, s.n_sample, s.graph_width, O.y - NUMBER_DROP);
    draw_text(x + 0.1f, static_cast<float>(O.y - TITLE_DROP), TextFont::large, "Inertia variation");
    draw_text(x - 0.05f, y - 0.02f, TextFont::large, "0");

    // scale: zero on the baseline, the largest inertia at height H; without a positive
    // inertia there is no scale, and nothing below is drawn
    const double largest = inertia_max(scene);
    if (!(largest > 0.0) || !std::isfinite(H / largest)) {
        draw_axis_name(O, H - 0.05, "[kg.m^2]");
        draw_time_label(O, s.dt_sample, s.n_sample, s.graph_width);
        return;
    }
    const double b = H / largest;  // (window/(kg*m^2))

    // rotor inertia lines with the legend, which moves with motor 1's line
    const RobotModel& rm = robot_of(ps.model, s.robot_type);
    const double y1 = O.y + b * rm.IM1;
    const double y2 = O.y + b * rm.IM2;
    draw_line({O.x, y1}, {O.x + s.graph_width, y1}, RED);
    draw_line({O.x, y2}, {O.x + s.graph_width, y2}, RED);

    // the scale at the top of the plot, and the legend above it, off the curves (which end
    // at the top)
    draw_line({O.x, O.y + H}, {O.x + TICK_LEN, O.y + H}, RED);
    char top[48];
    std::snprintf(top, sizeof top, "%.3g kg.m^2", largest);
    draw_text(x + 0.03f, static_cast<float>(O.y + H + 0.015), TextFont::small, top);
    draw_text(x + 0.12f, static_cast<float>(O.y + H + 0.06), TextFont::small, "red :Inertia1");
    draw_text(x + 0.32f, static_cast<float>(O.y + H + 0.06), TextFont::small, "black:Inertia2");

    {
        const PlotClip clip(O, s.graph_width, H);
        for_each_run(scene, [&](const SceneRun& run) {
            const int kr = run_sample(run, k);
            const RunColours& c = run.style.colours;
            draw_curve(s, run.history->inertia_seen, 0, O, 0.0, b, kr, 0.008, c.inertia[0],
                       run.style.pattern);
            draw_curve(s, run.history->inertia_seen, 1, O, 0.0, b, kr, 0.008, c.inertia[1],
                       run.style.pattern);
        });
    }

    // the labels over the curves: the rotor lines' above their lines (motor 2's below its
    // line where the two would overlap), the axis name and the last second
    const double label2_y =
        std::fabs(y2 - y1) < LABEL_HEIGHT && y2 <= y1 ? y2 - LABEL_HEIGHT + 0.01 : y2 + 0.01;
    draw_label(x, static_cast<float>(y1 + 0.01), TextFont::large, "Motor inertia1");
    draw_label(x, static_cast<float>(label2_y), TextFont::large, "Motor inertia  2");
    draw_axis_name(O, H - 0.05, "[kg.m^2]");
    draw_time_label(O, s.dt_sample, s.n_sample, s.graph_width);
}

}  // namespace robosim
