// The graphs: motor angles with their commands and magnified errors, the motor torque split
// into drive, inertia, Coriolis, gravity and friction torque, and the inertia seen by each
// motor. Scales come from the data or the motor ratings, never from the window. Samples that
// are not numbers (an unreachable SCARA path) simply leave gaps in the curves.
#include "view/graphs.h"

#include "model/parameters.h"
#include "sim/history.h"
#include "view/draw.h"
#include "view/view_state.h"

#include <GL/freeglut.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>

//------------------------------------------------------------------ helpers

// x of sample i on a time axis from x0: the recorded run fills the axis exactly
static double sample_x(const Scene& scene, double x0, int i) {
    return x0 + i * scene.ps.settings.graph_width / scene.ps.settings.n_sample;
}

// one curve of joint j of a history field from sample 0 to k, y = O.y + (value - base) * scale
static void draw_curve(const Scene& scene, const double (*field)[2], int j, const Point2& O,
                       double base, double scale, int k, double width_m, const Colour4& c) {
    Point2 points[HISTORY_LEN];
    for (int i = 0; i <= k; ++i) {
        points[i] = {sample_x(scene, O.x, i), O.y + (field[i][j] - base) * scale};
    }
    draw_thick_polyline(points, nullptr, k + 1, width_m, c);
}

// a curve of y = y0 + scale * value whose segments are drawn only where both end values pass
// inside(value); a value that is not a number never passes
template <class Inside>
static void draw_banded_curve(const Scene& scene, const double (*field)[2], int j, const Point2& O,
                              double y0, double scale, int k, Inside inside, double width_m,
                              const Colour4& c) {
    Point2 points[HISTORY_LEN];
    bool shown[HISTORY_LEN];
    bool previous_inside = false;
    for (int i = 0; i <= k; ++i) {
        const double v = field[i][j];
        const bool now_inside = inside(v);
        points[i] = {sample_x(scene, O.x, i), y0 + scale * v};
        shown[i] = i > 0 && previous_inside && now_inside;
        previous_inside = now_inside;
    }
    draw_thick_polyline(points, shown, k + 1, width_m, c);
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

// the samples that take part in the range scans: 0 .. n_sample - 1, within the history
static int scanned_samples(const Scene& scene) {
    if (scene.ps.settings.n_sample < 0) {
        return 0;
    }
    return scene.ps.settings.n_sample < HISTORY_LEN ? scene.ps.settings.n_sample : HISTORY_LEN;
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

        // label of the last tick: the number of seconds, its last digit where a single digit
        // stands (runs of 10 s or more show every digit), then "s"
        char number[16];
        const int digits = std::snprintf(number, sizeof number, "%d", m);
        const double x_last = O.x + m * step;
        draw_text(static_cast<float>(x_last - 0.02 * digits), static_cast<float>(O.y + 0.01),
                  GLUT_BITMAP_HELVETICA_18, number);
        draw_text(static_cast<float>(x_last), static_cast<float>(O.y + 0.01),
                  GLUT_BITMAP_HELVETICA_18, "s");
        draw_line({x_last, O.y}, {x_last, O.y + TICK_LEN}, RED);
    }

    if (kind == 0) {
        draw_thick_line(O, {O.x, O.y + height}, 0.006, RED);
        if (scene.ps.settings.motion != 'q') {
            // motion time tf on the axis of n samples of dt
            const double xt = O.x + width * scene.ps.plan.tf / (n * dt);
            draw_line({xt, O.y}, {xt, O.y + height}, BLUE);
        }
    } else {
        draw_thick_line({O.x, O.y - height}, {O.x, O.y + height}, 0.006, RED);
    }
}

void draw_time_numbers(const Point2& origin, double dt, int n, double width, double y) {
    double step = 0.0;
    const int m = time_ticks(dt, n, width, &step);
    void* const font = GLUT_BITMAP_HELVETICA_10;
    for (int j = 1; j <= m; ++j) {
        char number[16];
        std::snprintf(number, sizeof number, "%d", j);
        const double x = origin.x + j * step - text_width(font, number) / 2.0;
        draw_text(static_cast<float>(x), static_cast<float>(y), font, number);
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

// reads: n_sample, scene.cyl, scene.scara
void value_range(const Scene& scene, int robot_type, double range[2]) {
    range[0] = RANGE_START_MAX;
    range[1] = RANGE_START_MIN;
    const int count = scanned_samples(scene);
    if (robot_type != 'b') {
        scan_range(scene.cyl, count, range);
    }
    scan_range(scene.scara, count, range);
}

// reads: n_sample, scene.cyl, scene.scara
double inertia_max(const Scene& scene, int robot_type) {
    double largest = INERTIA_START_MAX;
    const int count = scanned_samples(scene);
    if (robot_type != 'b') {
        largest = scan_inertia(scene.cyl, count, largest);
    }
    return scan_inertia(scene.scara, count, largest);
}

//------------------------------------------------------------------ graphs

// reads: graph_origin, graph_width, error_gain, dt_sample, n_sample, motion, tf, the histories
void draw_joint_graph(const Scene& scene, int robot_type, int k) {
    const Point2 O = scene.ps.settings.graph_origin;
    const HistorySet& h = shown_history(scene, robot_type);
    k = clamp_sample(scene.ps.settings, k);
    void* const font18 = GLUT_BITMAP_HELVETICA_18;
    void* const font12 = GLUT_BITMAP_HELVETICA_12;
    const float x = static_cast<float>(O.x);
    const float y = static_cast<float>(O.y);

    draw_time_axes(scene, 0, O, scene.ps.settings.dt_sample, scene.ps.settings.n_sample,
                   scene.ps.settings.graph_width, GRAPH_AXIS_H + AXIS_OVERHANG);
    // the title and the error legend above the plot: below the time axis the error curves
    // have their band, and above it the goal labels move with the data
    draw_text(x + 0.1f, static_cast<float>(JOINT_TITLE_Y), font18, "joint displacement");
    draw_text(x + 0.02f, static_cast<float>(LEGEND_Y), font12, "green :10*error1");
    draw_text(static_cast<float>(x + 0.06 + text_width(font12, "green :10*error1")),
              static_cast<float>(LEGEND_Y), font12, "yellow:10*error2");
    draw_text(x - 0.1f, y + static_cast<float>(GRAPH_AXIS_H) - 0.05f, font18, "th(fi)");

    // scale: the range of the motor angles fills the plot from the baseline up
    double range[2];
    value_range(scene, robot_type, range);
    if (range[0] == range[1]) {
        // a constant history has no range: show it as a flat line at mid height
        range[0] += FLAT_RANGE_HALF;
        range[1] -= FLAT_RANGE_HALF;
    }
    if (!(range[0] > range[1]) || !std::isfinite(range[0] - range[1])) {
        return;  // no number in the histories: nothing can be scaled
    }
    const double min = range[1];
    const double a = GRAPH_HEIGHT / (range[0] - range[1]);  // (window/rad)

    // goal lines at the final commanded angles, each labelled with its angle; labels that
    // would overlap move apart: the upper one stays above its line, the lower goes below its own
    const int last = last_sample(scene.ps.settings);
    double yg[2];
    for (int j = 0; j < 2; ++j) {
        yg[j] = O.y + (h.theta_ref[last][j] - min) * a;
        draw_line({O.x, yg[j]}, {O.x + scene.ps.settings.graph_width, yg[j]}, RED);
    }
    double label_y[2];
    place_goal_labels(yg, O.y + GRAPH_HEIGHT, label_y);
    for (int j = 0; j < 2; ++j) {
        const char* name = j == 0 ? "goal1" : "goal2";
        const float ly = static_cast<float>(label_y[j]);
        draw_text(x + 0.2f, ly, font18, name);
        char value[40];
        std::snprintf(value, sizeof value, " %.2f rad", h.theta_ref[last][j]);
        draw_text(static_cast<float>(x + 0.2 + text_width(font18, name)), ly, font12, value);
    }

    // commanded and actual motor angles
    draw_curve(scene, h.theta_ref, 0, O, min, a, k, 0.008, BLUE);
    draw_curve(scene, h.theta, 0, O, min, a, k, 0.008, RED);
    draw_curve(scene, h.theta_ref, 1, O, min, a, k, 0.008, BLUE);
    draw_curve(scene, h.theta, 1, O, min, a, k, 0.008, BLACK);

    // magnified errors about the baseline, cut where they leave the band
    // (offsets from the baseline strictly between -0.3 and 1 times the plot height)
    const double e = a * scene.ps.settings.error_gain;  // (window/rad)
    const auto in_band = [e](double err) {
        const double offset = e * err;
        return ERROR_BAND_LOW * GRAPH_HEIGHT < offset && offset < GRAPH_HEIGHT;
    };
    draw_banded_curve(scene, h.theta_err, 0, O, O.y, e, k, in_band, 0.006, GREEN);
    draw_banded_curve(scene, h.theta_err, 1, O, O.y, e, k, in_band, 0.006, YELLOW);
}

// reads: torque_origin1, torque_origin2, torque_half1, torque_half2, graph_width, gravity,
// dt_sample, n_sample, cyl.tau_m1, scara.tau_m1, the histories
void draw_torque_graph(const Scene& scene, int robot_type, int k) {
    const HistorySet& h = shown_history(scene, robot_type);
    k = clamp_sample(scene.ps.settings, k);
    void* const font18 = GLUT_BITMAP_HELVETICA_18;
    void* const font12 = GLUT_BITMAP_HELVETICA_12;
    const bool gravity = scene.ps.settings.gravity == 'g';

    // the legend between the two plots, in the panel: off the robot view and off the curves
    // (a torque beyond the limit lines is cut). Each entry is a swatch of its curve.
    const struct {
        const char* name;
        Colour4 colour;
        bool shown;
    } entries[] = {{"drive", RED, true},
                   {"inertia", BLUE, true},
                   {"Coriolis", GREEN, true},
                   {"gravity", YELLOW, gravity},
                   {"friction", MAGENTA, true}};

    const Point2 O2 = scene.ps.settings.torque_origin2;
    const double row_y[2] = {O2.y + scene.ps.settings.torque_half2 + LEGEND_ROW1,
                             O2.y + scene.ps.settings.torque_half2 + LEGEND_ROW2};
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
        draw_text(static_cast<float>(lx + SWATCH_LEN + 0.015), static_cast<float>(y), font12,
                  e.name);
        lx += SWATCH_LEN + 0.015 + text_width(font12, e.name) + 0.04;
        ++in_row;
    }

    // both plots are scaled by motor 1's maximum torque
    const double tau =
        robot_type == 'b' ? scene.ps.model.scara.tau_m1 : scene.ps.model.cyl.tau_m1;  // (N*m)

    for (int j = 0; j < 2; ++j) {
        const Point2 O =
            j == 0 ? scene.ps.settings.torque_origin1 : scene.ps.settings.torque_origin2;
        const double hh = j == 0 ? scene.ps.settings.torque_half1 : scene.ps.settings.torque_half2;
        const float x = static_cast<float>(O.x);
        const float y = static_cast<float>(O.y);

        draw_time_axes(scene, 1, O, scene.ps.settings.dt_sample, scene.ps.settings.n_sample,
                       scene.ps.settings.graph_width, hh + AXIS_OVERHANG);
        draw_text(x + 0.1f, y - 0.1f, font18, j == 0 ? "Torque(motor1)" : "Torque(motor2)");
        draw_text(x - 0.05f, y - 0.02f, font18, "0");
        draw_text(x - 0.1f, static_cast<float>(O.y + hh - 0.05), font18, "T[Nm]");

        // limit lines at +/- tau
        draw_line({O.x, O.y + hh}, {O.x + scene.ps.settings.graph_width, O.y + hh}, RED);
        draw_line({O.x, O.y - hh}, {O.x + scene.ps.settings.graph_width, O.y - hh}, RED);
        draw_text(x, static_cast<float>(O.y + hh + 0.01), font12, "motor Tmax");
        // the limits in N*m: beside the upper label, and under the lower line with the
        // seconds, where no curve comes (torques beyond the limits are cut)
        char limit[40];
        std::snprintf(limit, sizeof limit, " %+.3g", tau);
        draw_text(static_cast<float>(x + text_width(font12, "motor Tmax")),
                  static_cast<float>(O.y + hh + 0.01), font12, limit);
        std::snprintf(limit, sizeof limit, "%+.3g", -tau);
        draw_text(x + 0.01f, static_cast<float>(O.y - hh - NUMBER_DROP), GLUT_BITMAP_HELVETICA_10,
                  limit);
        draw_time_numbers(O, scene.ps.settings.dt_sample, scene.ps.settings.n_sample,
                          scene.ps.settings.graph_width, O.y - hh - NUMBER_DROP);

        // without a positive maximum torque the curves have no scale
        if (!(tau > 0.0) || !std::isfinite(hh / tau)) {
            continue;
        }
        // a torque is drawn within the limit lines, bounds included; judged in N*m so that a
        // torque of exactly +/- tau counts as on the line whatever the rounding of the scale
        const double c = hh / tau;  // (window/(N*m))
        const auto in_limits = [tau](double T) { return -tau <= T && T <= tau; };
        draw_banded_curve(scene, h.tau_drive, j, O, O.y, c, k, in_limits, 0.008, RED);
        draw_banded_curve(scene, h.tau_inertia, j, O, O.y, c, k, in_limits, 0.005, BLUE);
        draw_banded_curve(scene, h.tau_coriolis, j, O, O.y, c, k, in_limits, 0.005, GREEN);
        if (gravity) {
            draw_banded_curve(scene, h.tau_gravity, j, O, O.y, c, k, in_limits, 0.005, YELLOW);
        }
        draw_banded_curve(scene, h.tau_friction, j, O, O.y, c, k, in_limits, 0.005, MAGENTA);
    }
}

// reads: inertia_origin, inertia_height, graph_width, dt_sample, n_sample, motion, tf,
// cyl.IM1, cyl.IM2, scara.IM1, scara.IM2, the histories
void draw_inertia_graph(const Scene& scene, int robot_type, int k) {
    const Point2 O = scene.ps.settings.inertia_origin;
    const double H = scene.ps.settings.inertia_height;
    const HistorySet& h = shown_history(scene, robot_type);
    k = clamp_sample(scene.ps.settings, k);
    void* const font18 = GLUT_BITMAP_HELVETICA_18;
    void* const font12 = GLUT_BITMAP_HELVETICA_12;
    const float x = static_cast<float>(O.x);
    const float y = static_cast<float>(O.y);

    draw_time_axes(scene, 0, O, scene.ps.settings.dt_sample, scene.ps.settings.n_sample,
                   scene.ps.settings.graph_width, H + AXIS_OVERHANG);
    draw_time_numbers(O, scene.ps.settings.dt_sample, scene.ps.settings.n_sample,
                      scene.ps.settings.graph_width, O.y - NUMBER_DROP);
    draw_text(x + 0.1f, static_cast<float>(O.y - TITLE_DROP), font18, "Inertia variation");
    draw_text(x - 0.1f, static_cast<float>(O.y + H - 0.05), font18, "[kg.m^2]");
    draw_text(x - 0.05f, y - 0.02f, font18, "0");

    // scale: zero on the baseline, the largest inertia at height H; without a positive
    // inertia there is no scale, and nothing below is drawn
    const double largest = inertia_max(scene, robot_type);
    if (!(largest > 0.0) || !std::isfinite(H / largest)) {
        return;
    }
    const double b = H / largest;  // (window/(kg*m^2))

    // rotor inertia lines with the legend, which moves with motor 1's line
    const RobotModel& rm = robot_of(scene.ps.model, robot_type);
    const double y1 = O.y + b * rm.IM1;
    const double y2 = O.y + b * rm.IM2;
    draw_line({O.x, y1}, {O.x + scene.ps.settings.graph_width, y1}, RED);
    draw_line({O.x, y2}, {O.x + scene.ps.settings.graph_width, y2}, RED);
    // labels above their lines; motor 2's goes below its line where the two would overlap
    const double label2_y =
        std::fabs(y2 - y1) < LABEL_HEIGHT && y2 <= y1 ? y2 - LABEL_HEIGHT + 0.01 : y2 + 0.01;
    draw_text(x, static_cast<float>(y1 + 0.01), font18, "Motor inertia1");
    draw_text(x, static_cast<float>(label2_y), font18, "Motor inertia  2");

    // the scale at the top of the plot, and the legend above it, off the curves (which end
    // at the top)
    draw_line({O.x, O.y + H}, {O.x + TICK_LEN, O.y + H}, RED);
    char top[48];
    std::snprintf(top, sizeof top, "%.3g kg.m^2", largest);
    draw_text(x + 0.03f, static_cast<float>(O.y + H + 0.015), font12, top);
    draw_text(x + 0.12f, static_cast<float>(O.y + H + 0.06), font12, "red :Inertia1");
    draw_text(x + 0.32f, static_cast<float>(O.y + H + 0.06), font12, "black:Inertia2");

    draw_curve(scene, h.inertia_seen, 0, O, 0.0, b, k, 0.008, RED);
    draw_curve(scene, h.inertia_seen, 1, O, 0.0, b, k, 0.008, BLACK);
}
