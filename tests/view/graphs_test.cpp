// The graphs: the data ranges that scale them, and what they draw where on a real GL window,
// including the histories and settings that would break a naive scale.
#include "view/graphs.h"

#include "app/session.h"
#include "model/parameters.h"
#include "sim/history.h"
#include "tests/view/view_fixture.h"
#include "view/draw.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <ostream>
#include <utility>

using namespace robosim;

namespace {

class Graphs : public ViewTest {
  protected:
    // x of sample i on a time axis from x0
    double sample_x(double x0, int i) const {
        return x0 + i * params.settings.graph_width / params.settings.n_sample;
    }

    // the window's scene of the current experiment on robot_type
    Scene scene_of(int robot_type) {
        params.settings.robot_type = robot_type;
        return current_scene();
    }
};

const double NaN = std::numeric_limits<double>::quiet_NaN();

// the ink of texts drawn alone at their places equals what the picture holds in the box
// [x0, x1] x [y - 5 px, y + 14 px], the height of one 18-pixel line; red lines drawn over the
// text (a tick) hide what is under them
bool shows_texts(const Picture& p, std::initializer_list<std::pair<float, const char*>> texts,
                 float y, double x0, double x1) {
    glClear(GL_COLOR_BUFFER_BIT);
    for (const auto& [x, text] : texts) {
        draw_text(x, y, TextFont::large, text);
    }
    const Picture alone = read_back_buffer();
    for (int r = p.row(y) - 5; r <= p.row(y) + 14; ++r) {
        for (int c = p.col(x0); c <= p.col(x1); ++c) {
            if (!is_red(p.px(c, r)) && is_dark(p.px(c, r)) != is_dark(alone.px(c, r))) {
                return false;
            }
        }
    }
    return true;
}

//------------------------------------------------------------------ scales

// robot (a)'s range also covers robot (b)'s histories; robot (b)'s covers only its own; the
// last sample and not-a-number values take no part
TEST_F(Graphs, ValueRangeScansBothRobotsForAAndOnlyBForB) {
    history_cyl.theta[5][0] = -2.0;
    history_cyl.theta_ref[7][1] = 3.0;
    history_cyl.theta[params.settings.n_sample][0] = 100.0;  // last sample: outside the scan
    history_scara.theta_ref[10][0] = 5.0;
    history_scara.theta[11][1] = -1.5;
    history_scara.theta[12][1] = NaN;
    history_scara.theta[params.settings.n_sample][1] = -100.0;
    double range[2];
    value_range(scene_of('a'), range);
    EXPECT_EQ(range[0], 5.0);
    EXPECT_EQ(range[1], -2.0);
    value_range(scene_of('b'), range);
    EXPECT_EQ(range[0], 5.0);
    EXPECT_EQ(range[1], -1.5);
    value_range(scene_of('x'), range);  // every other type is treated as robot (a)
    EXPECT_EQ(range[1], -2.0);
}

TEST_F(Graphs, InertiaMaxScansBothRobotsForAAndOnlyBForB) {
    history_cyl.inertia_seen[3][1] = 0.7;
    history_cyl.inertia_seen[params.settings.n_sample][0] = 9.0;  // last sample: outside the scan
    history_scara.inertia_seen[4][0] = 0.2;
    history_scara.inertia_seen[5][0] = NaN;
    EXPECT_EQ(inertia_max(scene_of('a')), 0.7);
    EXPECT_EQ(inertia_max(scene_of('b')), 0.2);
    params.settings.n_sample = 0;  // nothing to scan: the start value
    EXPECT_EQ(inertia_max(scene_of('b')), -1000.0);
}

//------------------------------------------------------------------ time axes

// ticks per whole second and the number of seconds at the last tick; a period above 1 s
// has no whole seconds per sample and draws no ticks; ten seconds and more show every digit
struct AxisCase {
    double dt;          // sample period (s)
    int n;              // samples on the axis
    int ticks;          // one-second ticks expected
    const char* label;  // the number at the last tick, nullptr for none
};

class TimeAxes : public ViewTest, public ::testing::WithParamInterface<AxisCase> {};

void PrintTo(const AxisCase& ac, std::ostream* os) {
    *os << "dt " << ac.dt << " s, " << ac.n << " samples";
}

TEST_P(TimeAxes, TickEverySecondAndLabelTheLast) {
    const AxisCase& ac = GetParam();
    const Point2 O = {0.2, -0.2};
    const double W = 0.5;
    draw_time_axes(current_scene(), 1, O, ac.dt, ac.n, W, 0.3);
    draw_time_label(O, ac.dt, ac.n, W);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(p.near_point(O.x + 0.5 * W, O.y, 1, is_red));  // the time axis
    EXPECT_TRUE(p.near_point(O.x, O.y - 0.25, 1, is_red));     // kind 1: axis below too
    // ticks rise 0.02 above the axis: count red runs along y = O.y + 0.012
    int ticks = 0;
    bool in_tick = false;
    for (int c = p.col(O.x + 0.01); c <= p.col(O.x + W) + 2; ++c) {
        const bool red = is_red(p.px(c, p.row(O.y + 0.012)));
        ticks += red && !in_tick ? 1 : 0;
        in_tick = red;
    }
    EXPECT_EQ(ticks, ac.ticks);
    if (ac.label != nullptr) {
        const double step = std::floor(1.0 / ac.dt) * W / ac.n;
        const double x_last = O.x + ac.ticks * step;
        const double xl = x_last - 0.02 * static_cast<double>(std::strlen(ac.label));
        EXPECT_TRUE(
            shows_texts(p, {{static_cast<float>(xl), ac.label}, {static_cast<float>(x_last), "s"}},
                        static_cast<float>(O.y + 0.01), xl - 0.01, x_last + 0.04));
    } else {
        EXPECT_EQ(p.count(O.x, O.y + 0.005, O.x + W, O.y + 0.06, is_dark), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(, TimeAxes,
                         ::testing::Values(AxisCase{0.02, 200, 4, "4"},  // the default run
                                           AxisCase{0.05, 40, 2, "2"},
                                           AxisCase{0.02, 600, 12, "12"},
                                           AxisCase{2.0, 200, 0, nullptr},
                                           AxisCase{0.02, 0, 0, nullptr}));

// the blue motion-time line stands at tf on the axis, except for a step command
TEST_F(Graphs, MotionTimeMarkerExceptForAStepCommand) {
    params.plan.tf = 2.0;
    for (const int motion : {'p', 'q'}) {
        params.settings.motion = motion;
        glClear(GL_COLOR_BUFFER_BIT);
        draw_time_axes(current_scene(), 0, {0.4, 0.0}, 0.02, 200, 0.5, 0.45);
        const Picture p = read_back_buffer();
        // tf = 2 s of 4 s: half way along the axis
        EXPECT_EQ(p.near_point(0.65, 0.2, 1, is_blue), motion != 'q');
    }
}

//------------------------------------------------------------------ joint displacement graph

// histories with a range of 0 .. 4 rad: a = 0.4 / 4 window units per radian; the command of
// motor 1 rises 8 rad per run and holds 4 rad from the middle of the run on
void fill_joint_histories(HistorySet& h, int count) {
    for (int i = 0; i <= count; ++i) {
        h.theta_ref[i][0] = std::fmin(4.0, 8.0 * i / count);
        h.theta[i][0] = 0.0;
        h.theta_ref[i][1] = 2.0;
        h.theta[i][1] = 2.0;
    }
}

// at sample 0 only axes, labels and goal lines; at sample k the curves reach sample k
TEST_F(Graphs, JointCurvesGrowWithTheSampleAndStartEmpty) {
    fill_joint_histories(history_scara, params.settings.n_sample);
    params.settings.motion = 'q';  // no blue motion-time line
    const Point2 O = params.settings.graph_origin;
    draw_joint_graph(current_scene(), 0);
    const Picture empty = read_back_buffer();
    EXPECT_EQ(empty.count(O.x + 0.01, O.y + 0.01, O.x + 0.5, O.y + GRAPH_HEIGHT, is_blue), 0);
    // goal lines at the final commands: 4 rad at the top, 2 rad half way up
    EXPECT_TRUE(empty.near_point(O.x + 0.45, O.y + 0.4, 1, is_red));
    EXPECT_TRUE(empty.near_point(O.x + 0.45, O.y + 0.2, 1, is_red));

    glClear(GL_COLOR_BUFFER_BIT);
    draw_joint_graph(current_scene(), 100);
    const Picture half = read_back_buffer();
    // the blue command of motor 1 passes 2 rad (y = O.y + 0.2) at sample 50 and stops at 100
    EXPECT_TRUE(half.near_point(sample_x(O.x, 50), O.y + 0.2, 2, is_blue));
    EXPECT_FALSE(half.near_point(sample_x(O.x, 150), O.y + 0.3, 3, is_blue));
}

// a run beside the current one adds its curves in its own colours and pattern, under the
// current run's curves wherever it stands in the list
TEST_F(Graphs, AnotherRunAddsItsCurvesDashedUnderTheCurrentRun) {
    fill_joint_histories(history_scara, params.settings.n_sample);
    params.settings.motion = 'q';  // no blue motion-time line
    HistorySet other = {};
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        other.theta[i][0] = 3.0;  // alone at y = O.y + 0.3
        other.theta[i][1] = 2.0;  // under the current run's motor 2 curve
    }
    Scene scene = current_scene();
    scene.runs[1] = {&params, &other, false,
                     nullptr, "",     {WINDOW_COLOURS, LinePattern::dashed, false}};
    scene.runs[1].style.colours.angle[0] = scene.runs[1].style.colours.angle[1] = MAGENTA;
    scene.run_count = 2;
    draw_joint_graph(scene, params.settings.n_sample);
    const Picture p = read_back_buffer();
    const Point2 O = params.settings.graph_origin;
    const double x0 = sample_x(O.x, 20);
    const double x1 = sample_x(O.x, 180);
    const int dashes = p.count(x0, O.y + 0.3, x1, O.y + 0.3, is_magenta);
    EXPECT_GT(dashes, 0);
    EXPECT_LT(dashes, 0.7 * (p.col(x1) - p.col(x0)));  // with gaps between the dashes
    EXPECT_EQ(p.count(x0, O.y + 0.19, x1, O.y + 0.21, is_magenta), 0);
}

// error offsets from the baseline are drawn strictly inside -0.3 .. 1 times the plot height
TEST_F(Graphs, ErrorCurveIsCutOutsideItsBand) {
    fill_joint_histories(history_scara, params.settings.n_sample);
    HistorySet& h = history_scara;
    // a * error_gain = 0.1 * 10 = 1: the offset equals the error in radians
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        h.theta_err[i][0] = i <= 50 ? 0.39 : 0.4;
        h.theta_err[i][1] = i <= 50 ? -0.119 : -0.12;
    }
    const Point2 O = params.settings.graph_origin;
    draw_joint_graph(current_scene(), params.settings.n_sample);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(p.near_point(sample_x(O.x, 25), O.y + 0.39, 1, is_green));
    EXPECT_FALSE(p.near_point(sample_x(O.x, 100), O.y + 0.4, 2, is_green));
    EXPECT_TRUE(p.near_point(sample_x(O.x, 25), O.y - 0.119, 1, is_yellow));
    EXPECT_FALSE(p.near_point(sample_x(O.x, 100), O.y - 0.12, 2, is_yellow));
}

// a constant history has no range: it is shown as a flat line at mid height
TEST_F(Graphs, ConstantAnglesShowAFlatLineAtMidHeight) {
    params.settings.motion = 'q';  // no blue motion-time line
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        history_scara.theta[i][0] = history_scara.theta_ref[i][0] = 1.5;
        history_scara.theta[i][1] = history_scara.theta_ref[i][1] = 1.5;
    }
    const Point2 O = params.settings.graph_origin;
    draw_joint_graph(current_scene(), params.settings.n_sample);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(p.near_point(sample_x(O.x, 120), O.y + 0.2, 2, is_dark));
    EXPECT_EQ(p.count(O.x + 0.01, O.y + 0.25, O.x + 0.5, O.y + GRAPH_HEIGHT, is_blue), 0);
}

// histories without a single number (an unreachable path) draw the axes and texts only
TEST_F(Graphs, NotANumberHistoriesDrawNoCurves) {
    for (int i = 0; i < HISTORY_LEN; ++i) {
        for (int j = 0; j < 2; ++j) {
            history_scara.theta[i][j] = history_scara.theta_ref[i][j] = NaN;
            history_scara.theta_err[i][j] = NaN;
            history_scara.tau_drive[i][j] = history_scara.tau_inertia[i][j] = NaN;
            history_scara.tau_coriolis[i][j] = history_scara.tau_gravity[i][j] = NaN;
            history_scara.tau_friction[i][j] = NaN;
            history_scara.inertia_seen[i][j] = NaN;
        }
    }
    params.settings.motion = 'q';  // no blue motion-time line
    draw_joint_graph(current_scene(), params.settings.n_sample);
    draw_torque_graph(current_scene(), params.settings.n_sample);
    const Picture p = read_back_buffer();
    // the plots, apart from the legend's swatches between them
    EXPECT_EQ(p.count(0.41, -0.9, 0.95, -0.3, is_blue) + p.count(0.41, -0.2, 0.95, 0.9, is_blue),
              0);
    EXPECT_EQ(p.count(0.41, -0.9, 0.95, -0.3, is_green) + p.count(0.41, -0.2, 0.95, 0.9, is_green),
              0);
    EXPECT_TRUE(p.near_point(0.4, 0.7, 1, is_red));  // the vertical axis is still there
    glClear(GL_COLOR_BUFFER_BIT);
    draw_inertia_graph(current_scene(), params.settings.n_sample);
    const Picture q = read_back_buffer();
    EXPECT_EQ(q.count(0.41, -0.27, 0.95, 0.15, is_red), 0);  // no rotor line, no curve
}

// no positive inertia (a robot never simulated) and no positive maximum torque leave the
// scales undefined: the axes and titles stay, nothing scaled is drawn
TEST_F(Graphs, NoPositiveInertiaOrMaximumTorqueDrawsNothingScaled) {
    params.settings.motion = 'q';                                   // no blue motion-time line
    draw_inertia_graph(current_scene(), params.settings.n_sample);  // histories all zero
    const Picture p = read_back_buffer();
    EXPECT_EQ(p.count(0.41, -0.27, 0.95, 0.15, is_red), 0);
    EXPECT_TRUE(p.near_point(0.4, -0.1, 1, is_red));  // the vertical axis

    glClear(GL_COLOR_BUFFER_BIT);
    params.model.scara.tau_m1 = 0.0;
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        history_scara.tau_inertia[i][0] = 0.01 * i;
    }
    draw_torque_graph(current_scene(), params.settings.n_sample);
    const Picture q = read_back_buffer();
    EXPECT_EQ(q.count(0.41, -0.9, 0.95, -0.3, is_blue) + q.count(0.41, -0.2, 0.95, 0.45, is_blue),
              0);
    EXPECT_TRUE(q.near_point(0.65, 0.35, 1, is_red));  // the motor 1 limit line
}

// goal labels never overlap, whatever the goals: each stays beside its own line (within a
// label's height) and inside the plot, even when the two goal lines coincide at its top
TEST(GoalLabels, StayApartBesideTheirLinesAndInsideThePlot) {
    const double top = 0.9;
    for (const double a : {0.5, 0.6, 0.8, 0.86, 0.9}) {
        for (const double d : {0.0, 0.01, 0.03, 0.05, 0.3}) {
            for (const bool swap : {false, true}) {
                const double yg[2] = {swap ? a - d : a, swap ? a : a - d};
                double y[2];
                place_goal_labels(yg, top, y);
                EXPECT_GE(std::fabs(y[0] - y[1]), LABEL_HEIGHT - 1e-12) << a << " " << d;
                for (int j = 0; j < 2; ++j) {
                    EXPECT_LE(y[j] + LABEL_HEIGHT, top + 0.01 + 1e-12) << a << " " << d;
                    EXPECT_LE(std::fabs(y[j] - yg[j]), 2 * LABEL_HEIGHT) << a << " " << d;
                }
            }
        }
    }
}

//------------------------------------------------------------------ torque graph

// +/- tau_m1 of motor 1 bound both plots, bounds included; beyond, a curve leaves a gap
TEST_F(Graphs, TorqueWithinTheMotorMaximumIsDrawnBeyondItNot) {
    params.settings.gravity = 'g';
    const double tau = params.model.scara.tau_m1;
    params.model.scara.tau_m2 = 10.0 * tau;  // must not change the scale of the motor 2 plot
    HistorySet& h = history_scara;
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        h.tau_drive[i][0] = i <= 100 ? tau : 1.01 * tau;
        h.tau_drive[i][1] = i <= 100 ? -tau : -1.01 * tau;
        h.tau_gravity[i][0] = 0.5 * tau;
    }
    draw_torque_graph(current_scene(), params.settings.n_sample);
    const Picture p = read_back_buffer();
    const Point2 O1 = params.settings.torque_origin1;
    const Point2 O2 = params.settings.torque_origin2;
    // the red drive curve lies over the red limit line up to sample 100; the line alone is
    // 2 pixels wide, the drive curve 3.2: a thick red band marks the curve
    const auto red_rows = [&](double x, double y) {
        return p.count(x, y - 0.01, x, y + 0.01, is_red);
    };
    EXPECT_GE(red_rows(sample_x(O1.x, 50), O1.y + 0.25), 3);
    EXPECT_LE(red_rows(sample_x(O1.x, 150), O1.y + 0.25), 2);
    EXPECT_GE(red_rows(sample_x(O2.x, 50), O2.y - 0.25), 3);
    EXPECT_LE(red_rows(sample_x(O2.x, 150), O2.y - 0.25), 2);
    EXPECT_TRUE(p.near_point(sample_x(O1.x, 150), O1.y + 0.125, 1, is_yellow));

    // without gravity no gravity curve and no gravity legend line
    params.settings.gravity = 'h';
    glClear(GL_COLOR_BUFFER_BIT);
    draw_torque_graph(current_scene(), params.settings.n_sample);
    const Picture q = read_back_buffer();
    EXPECT_EQ(q.count(0.41, -0.9, 0.95, 0.45, is_yellow), 0);
    // the legend lies between the plots, out of the robot view: friction moves up to the
    // gravity's place at the start of the second row
    const double row2 = O2.y + params.settings.torque_half2 + LEGEND_ROW2 + 0.01;
    EXPECT_TRUE(q.near_point(O2.x + 0.02 + SWATCH_LEN / 2, row2, 1, is_magenta));
    EXPECT_EQ(q.count(-0.9, -0.95, 0.3, 0.95, is_dark), 0);
}

// in their own range each plot spans its motor's largest torque of the runs: a friction torque
// of a twentieth of the limit on motor 1 and a drive torque of a hundredth on motor 2 reach
// the tops of their plots
TEST_F(Graphs, OwnTorqueRangeFillsEachPlot) {
    params.settings.gravity = 'h';
    const double tau = params.model.scara.tau_m1;
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        history_scara.tau_friction[i][0] = 0.05 * tau;
        history_scara.tau_drive[i][1] = 0.01 * tau;
    }
    view_state.torque_own_range = true;
    draw_torque_graph(current_scene(), params.settings.n_sample);
    const Picture p = read_back_buffer();
    const Point2 O1 = params.settings.torque_origin1;
    const Point2 O2 = params.settings.torque_origin2;
    EXPECT_TRUE(
        p.near_point(sample_x(O1.x, 150), O1.y + params.settings.torque_half1, 2, is_magenta));
    // motor 2's red drive curve over its red range line: a band thicker than the line alone
    const double x2 = sample_x(O2.x, 150);
    const double top2 = O2.y + params.settings.torque_half2;
    EXPECT_GE(p.count(x2, top2 - 0.01, x2, top2 + 0.01, is_red), 3);
}

//------------------------------------------------------------------ inertia graph

// zero on the baseline, the largest inertia at the top, the rotor inertias as red lines
TEST_F(Graphs, InertiaCurvesAndRotorLinesScaleToTheLargest) {
    params.settings.motion = 'q';  // no blue motion-time line through the labels
    HistorySet& h = history_scara;
    for (int i = 0; i <= params.settings.n_sample; ++i) {
        h.inertia_seen[i][0] = 4.0 * params.model.scara.IM1;
        h.inertia_seen[i][1] = 2.0 * params.model.scara.IM1;
    }
    params.model.scara.IM2 = 3.0 * params.model.scara.IM1;
    const Point2 O = params.settings.inertia_origin;
    draw_inertia_graph(current_scene(), 100);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(p.near_point(sample_x(O.x, 50), O.y + 0.4, 2, is_red));    // curve 1, top
    EXPECT_TRUE(p.near_point(sample_x(O.x, 50), O.y + 0.2, 2, is_dark));   // curve 2, half
    EXPECT_TRUE(p.near_point(sample_x(O.x, 180), O.y + 0.1, 1, is_red));   // rotor line 1
    EXPECT_TRUE(p.near_point(sample_x(O.x, 180), O.y + 0.3, 1, is_red));   // rotor line 2
    EXPECT_FALSE(p.near_point(sample_x(O.x, 180), O.y + 0.4, 2, is_red));  // curve stops
    // each label over its own motor's line (right of the unit, which reaches into the box)
    const float x = static_cast<float>(O.x);
    for (const auto& [label, y] : {std::pair{"Motor inertia1", 0.11}, {"Motor inertia  2", 0.31}}) {
        EXPECT_TRUE(
            shows_texts(p, {{x, label}}, static_cast<float>(O.y + y), O.x + 0.1, O.x + 0.3));
    }
}

}  // namespace
