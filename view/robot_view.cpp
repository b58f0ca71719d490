// The robot views: both robots drawn flat in the plane of motion (white bars with red
// outlines, red joint rings and hubs, a two-finger hand holding a rectangular work) with the
// goal, the magnified error and the traces of one sample; other runs beside the current one
// leave the path of their work point under it. Robot space is metres with the base at the
// origin; view space adds view_origin; the window shows view space times robot_scale.
#include "view/robot_view.h"

#include "model/parameters.h"
#include "sim/history.h"
#include "view/draw.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace robosim {

//------------------------------------------------------------------ helpers

// the point local (u, v) at P (window) on axes turned by phi:
//   P + s (u cos(phi) - v sin(phi), u sin(phi) + v cos(phi))
static Point2 local(const Scene& scene, const Point2& P, double phi, double u, double v) {
    const double s = scene.view.robot_scale;
    const double c = std::cos(phi);
    const double n = std::sin(phi);
    return {P.x + s * (u * c - v * n), P.y + s * (u * n + v * c)};
}

// a robot-space point p (m) in the window: s (view_base + p)
static Point2 window_point(const Scene& scene, double px, double py) {
    const double s = scene.view.robot_scale;
    const Point2 origin = view_base(scene);
    return {s * (origin.x + px), s * (origin.y + py)};
}

// a rectangle of the robot: white fill, then the outline, same corner, size and angle
static void draw_part(const Point2& corner, double w, double h, double angle, const Colour4& c) {
    draw_rect(corner, w, h, angle, WHITE);
    draw_rect_outline(corner, w, h, angle, c);
}

// a half cap: white half disc, then its outline
static void draw_cap(const Point2& centre, double r, double start, const Colour4& c) {
    draw_half_disc(centre, r, start, WHITE);
    draw_half_circle(centre, r, start, c);
}

//------------------------------------------------------------------ scene

// the path of a run's actual work point over samples 0 .. k (held at its own last sample)
static void draw_work_path(const Scene& scene, const SceneRun& run, int k) {
    const HistorySet& h = *run.history;
    k = clamp_sample(run.experiment->settings, k);
    Point2 path[HISTORY_LEN];
    for (int i = 0; i <= k; ++i) {
        path[i] = window_point(scene, h.pos[i][0], h.pos[i][1]);
    }
    draw_thick_polyline(path, nullptr, k + 1, PATH_WIDTH, run.style.colours.trace,
                        run.style.pattern);
}

// the robot, markers and trace of the current run at sample k
static void draw_current_run(const Scene& scene, const SceneRun& run, int k) {
    const ParameterSet& ps = *run.experiment;
    const HistorySet& h = *run.history;
    k = clamp_sample(ps.settings, k);

    // error point: the commanded point moved by the magnified deviation
    const double gain = scene.view.view_error_gain;
    const Point2 r = {h.pos_ref[k][0] - gain * h.pos_err[k][0],
                      h.pos_ref[k][1] - gain * h.pos_err[k][1]};

    // the robot in its pose of sample k
    if (ps.settings.robot_type == 'a') {
        draw_cyl_robot(scene, h.theta[k]);
    } else {
        draw_scara_robot(scene, h.theta[k]);
    }

    draw_goal_marker(scene, ps.plan.xf, ps.plan.yf, BLUE);
    draw_marker(scene, r, GREEN);

    // actual work points (dots) and the commanded path; a step command jumps, so it has no
    // path
    Point2 dots[HISTORY_LEN];
    Point2 path[HISTORY_LEN];
    for (int i = 0; i <= k; ++i) {
        dots[i] = window_point(scene, h.pos[i][0], h.pos[i][1]);
        path[i] = window_point(scene, h.pos_ref[i][0], h.pos_ref[i][1]);
    }
    draw_trace(dots, k + 1, MARKER_R * scene.view.robot_scale, run.style.colours.trace,
               ps.settings.motion != 'q' ? path : nullptr, run.style.colours.command);
}

// reads: motion, xf, yf, view_origin, the view state and the histories of the runs
void draw_robot_scene(const Scene& scene, int k) {
    const int robot_type = current_run(scene).experiment->settings.robot_type;
    if (robot_type != 'a' && robot_type != 'b') {
        return;  // only the two robots have a scene
    }
    for_each_run(scene, [&](const SceneRun& run) {
        if (run.style.current) {
            draw_current_run(scene, run, k);
        } else {
            draw_work_path(scene, run, k);
        }
    });
}

//------------------------------------------------------------------ fitted view

Box robot_view_area(const Settings& s) {
    return {-1.0, -1.0 + CAPTION_STRIP, s.graph_origin.x - PANEL_MARGIN, FIT_AREA_TOP};
}

// reads: view_origin of the current run, view_shift
Point2 view_base(const Scene& scene) {
    const Point2& origin = current_run(scene).experiment->settings.view_origin;
    return {origin.x + scene.view.view_shift.x, origin.y + scene.view.view_shift.y};
}

// box grown to hold the disc of radius r about (x, y); a point not finite is left out
static void take_in(Box& box, double x, double y, double r) {
    if (std::isfinite(x) && std::isfinite(y)) {
        box = {std::fmin(box.left, x - r), std::fmin(box.bottom, y - r),
               std::fmax(box.right, x + r), std::fmax(box.top, y + r)};
    }
}

// nothing yet: any point taken in replaces it
constexpr Box NO_BOX = {INFINITY, INFINITY, -INFINITY, -INFINITY};

// Both robots are bars along their axes: the box holds the ends of each bar's axis grown by the
// half width of the widest part (joint rings, bars, base block, hand, fingers, work), which
// holds every corner a part has about its axis.
// reads: cyl or scara (u1, u2, L, L1, L2), the derived widths, wc, joint_r1, joint_r2, hand_w,
// work_a, work_b
Box robot_pose_box(const ParameterSet& ps, const double theta_m[2]) {
    const Settings& st = ps.settings;
    // the front of the work and of the fingers beyond the work point
    const double front = std::fmax(ps.model.work_a / 2.0, FINGER_OFFSET / 2.0 + FINGER_WIDTH);
    // the hand across its axis: its block, the fingers outside the work, the work
    const double hand =
        std::max({st.hand_w / 2.0, ps.model.work_b / 2.0 + FINGER_OFFSET + FINGER_WIDTH,
                  ps.model.work_a / 2.0});
    Box box = NO_BOX;
    if (st.robot_type == 'a') {
        const double theta = theta_m[0] / st.cyl.u1;  // joint 1 angle (rad)
        const double e = theta_m[1] / st.cyl.u2;      // arm extension (m)
        const double c = std::cos(theta);
        const double n = std::sin(theta);
        const RobotModel& m = ps.model.cyl;
        const double base = std::hypot(m.d3 / 2.0, m.d2 / 2.0);  // block corners about the base
        const double r = std::max({m.d / 2.0, hand, st.joint_r1});
        const double back = e - st.wc - st.cyl.L;  // the arm's back end along its axis
        take_in(box, 0.0, 0.0, std::fmax(base, r));
        take_in(box, back * c, back * n, r);
        take_in(box, (e + front) * c, (e + front) * n, r);
    } else {
        const double theta1 = theta_m[0] / st.scara.u1;         // joint 1 (rad)
        const double phi2 = theta1 + theta_m[1] / st.scara.u2;  // link 2, absolute (rad)
        const double c1 = std::cos(theta1);
        const double n1 = std::sin(theta1);
        const double c2 = std::cos(phi2);
        const double n2 = std::sin(phi2);
        const RobotModel& m = ps.model.scara;
        const double r =
            std::max({m.d1 / 2.0, m.d2 / 2.0, hand, st.joint_r1, st.joint_r2}) + LINK_BACK;
        const double L1 = st.scara.L1;
        const double reach2 = std::fmax(st.scara.L2, scara_L2w(st) + front);  // past joint 2
        take_in(box, 0.0, 0.0, r);
        take_in(box, L1 * c1, L1 * n1, r);
        take_in(box, (L1 + LINK_BACK) * c1, (L1 + LINK_BACK) * n1, r);
        take_in(box, L1 * c1 + reach2 * c2, L1 * n1 + reach2 * n2, r);
    }
    return box;
}

// reads: every run's experiment and histories
ViewFit fit_robot_view(const Scene& scene) {
    Box box = NO_BOX;
    for (int i = 0; i < scene.run_count; ++i) {
        const ParameterSet& ps = *scene.runs[i].experiment;
        const HistorySet& h = *scene.runs[i].history;
        if (ps.settings.robot_type != 'a' && ps.settings.robot_type != 'b') {
            continue;
        }
        const int last = last_sample(ps.settings);
        for (int k = 0; k <= last; ++k) {
            const Box pose = robot_pose_box(ps, h.theta[k]);
            take_in(box, pose.left, pose.bottom, 0.0);
            take_in(box, pose.right, pose.top, 0.0);
            take_in(box, h.pos[k][0], h.pos[k][1], std::fmax(MARKER_R, PATH_WIDTH));
            take_in(box, h.pos_ref[k][0], h.pos_ref[k][1], MARKER_R);
        }
        take_in(box, ps.plan.xf, ps.plan.yf, GOAL_MARKER_R);
    }
    const ViewState start = initial_view_state();
    if (!(box.left < box.right && box.bottom < box.top)) {
        return {start.robot_scale, start.view_shift};  // nothing finite to fit
    }
    const Box area = robot_view_area(current_run(scene).experiment->settings);
    const double width = area.right - area.left - 2.0 * FIT_MARGIN;
    const double height = area.top - area.bottom - 2.0 * FIT_MARGIN;
    const double scale = std::fmin(width / (box.right - box.left), height / (box.top - box.bottom));
    // the box's centre at the area's centre: scale (view_origin + shift + centre) = area centre
    const Point2& origin = current_run(scene).experiment->settings.view_origin;
    const Point2 shift = {
        (area.left + area.right) / 2.0 / scale - origin.x - (box.left + box.right) / 2.0,
        (area.bottom + area.top) / 2.0 / scale - origin.y - (box.bottom + box.top) / 2.0};
    return {scale, shift};
}

//------------------------------------------------------------------ robots

// reads: cyl.u1, cyl.u2, cyl.L, cyl.d, cyl.d2, cyl.d3, wc, joint_r1, view_origin, the view state
void draw_cyl_robot(const Scene& scene, const double theta_m[2]) {
    const ParameterSet& ps = *current_run(scene).experiment;
    const RobotSettings& cyl = ps.settings.cyl;
    const RobotModel& cyl_m = ps.model.cyl;
    const double s = scene.view.robot_scale;
    const double theta = theta_m[0] / cyl.u1;        // joint 1 angle (rad)
    const double e = theta_m[1] / cyl.u2;            // arm extension (m)
    const Point2 B = window_point(scene, 0.0, 0.0);  // base (window)
    const double D = cyl_m.d;                        // arm thickness (m)

    // sliding arm: its front end, the wrist, at e - wc from the base
    draw_part(local(scene, B, theta, -(cyl.L + ps.settings.wc - e), -D / 2.0), s * cyl.L, s * D,
              theta, RED);

    // base block, centred on the base and turning with joint 1
    draw_part(local(scene, B, theta, -cyl_m.d3 / 2.0, -cyl_m.d2 / 2.0), s * cyl_m.d3, s * cyl_m.d2,
              theta, RED);

    // joint 1
    draw_circle(B, s * ps.settings.joint_r1, RED);
    draw_disc(B, HUB_RATIO * s * ps.settings.joint_r1, RED);

    const Point2 origin = view_base(scene);
    const Point2 T = {origin.x + e * std::cos(theta), origin.y + e * std::sin(theta)};
    draw_hand(scene, T, theta, RED);
}

// reads: scara.u1, scara.u2, scara.L1, scara.L2, scara.d1, scara.d2, wc, view_origin, the view
// state
void draw_scara_robot(const Scene& scene, const double theta_m[2]) {
    const ParameterSet& ps = *current_run(scene).experiment;
    const RobotSettings& sc = ps.settings.scara;
    const RobotModel& sc_m = ps.model.scara;
    const double theta1 = theta_m[0] / sc.u1;  // joint 1 angle (rad)
    const double theta2 = theta_m[1] / sc.u2;  // joint 2 angle, relative to link 1 (rad)
    const double phi2 = theta1 + theta2;       // absolute angle of link 2 (rad)

    const Point2 origin = view_base(scene);
    draw_scara_link(scene, 1, origin, sc.L1, sc_m.d1, theta1, RED);

    const Point2 J2 = {origin.x + sc.L1 * std::cos(theta1), origin.y + sc.L1 * std::sin(theta1)};
    const double lw = scara_L2w(ps.settings);  // joint 2 to the work point (m)
    const Point2 T = {J2.x + lw * std::cos(phi2), J2.y + lw * std::sin(phi2)};
    draw_hand(scene, T, phi2, RED);

    // link 2 goes over the hand
    draw_scara_link(scene, 2, J2, sc.L2, sc_m.d2, phi2, RED);
}

// reads: joint_r1, joint_r2, robot_scale
void draw_scara_link(const Scene& scene, int link, const Point2& J, double L, double w, double phi,
                     const Colour4& c) {
    const Settings& settings = current_run(scene).experiment->settings;
    const double s = scene.view.robot_scale;
    const Point2 Js = {s * J.x, s * J.y};
    const double R = link == 1 ? settings.joint_r1 : settings.joint_r2;  // joint ring radius (m)

    // bar: link 1 reaches 0.005 past its far joint, link 2 ends at its length
    const double bar = link == 1 ? L + 2.0 * LINK_BACK : L + LINK_BACK;
    draw_part(local(scene, Js, phi, -LINK_BACK, -w / 2.0), s * bar, s * w, phi, c);

    // the half cap behind the joint
    draw_cap(Js, s * w / 2.0, phi - PI / 2.0, c);

    // joint ring, then hub (link 1) or inner ring (link 2)
    draw_circle(Js, s * R, c);
    if (link == 1) {
        draw_disc(Js, HUB_RATIO * s * R, c);
    } else {
        draw_circle(Js, HUB_RATIO * s * R, c);
    }

    // link 1: the half cap beyond its far end
    if (link == 1) {
        draw_cap(local(scene, Js, phi, L, 0.0), s * w / 2.0, phi + PI / 2.0, c);
    }
}

// reads: wc, work_a, work_b, hand_len, hand_w, robot_scale
void draw_hand(const Scene& scene, const Point2& T, double phi, const Colour4& c) {
    const ParameterSet& ps = *current_run(scene).experiment;
    const double s = scene.view.robot_scale;
    const Point2 Ts = {s * T.x, s * T.y};  // work point (window)
    const double g = ps.model.work_b;      // grip opening (m)
    const double t = FINGER_OFFSET;        // (m)

    // wrist and hand block
    const Point2 W = local(scene, Ts, phi, -ps.settings.wc, 0.0);
    draw_part(local(scene, W, phi, 0.0, -ps.settings.hand_w / 2.0), s * ps.settings.hand_len,
              s * ps.settings.hand_w, phi, c);

    // palm line across the front of the hand block
    const Point2 M = local(scene, W, phi, ps.settings.hand_len, 0.0);
    const Point2 F1 = local(scene, M, phi, 0.0, -(g / 2.0 + t));
    const Point2 F2 = local(scene, M, phi, 0.0, g / 2.0 + t);
    draw_thick_line(F1, F2, FINGER_WIDTH, c);

    // fingers from t/2 behind the palm to t/2 beyond the work point
    for (const Point2& F : {F1, F2}) {
        const Point2 S = local(scene, F, phi, -t / 2.0, 0.0);
        const Point2 E = local(scene, S, phi, ps.settings.wc - ps.settings.hand_len + t, 0.0);
        draw_thick_line(S, E, FINGER_WIDTH, c);
    }

    // work centred on the work point; its white fill covers the fingers over it
    draw_part(local(scene, Ts, phi, -ps.model.work_a / 2.0, -ps.model.work_b / 2.0),
              s * ps.model.work_a, s * ps.model.work_b, phi, c);
    draw_disc(Ts, WORK_POINT_R * s, RED);
}

//------------------------------------------------------------------ markers

// reads: view_origin, robot_scale
void draw_marker(const Scene& scene, const Point2& p, const Colour4& c) {
    draw_disc(window_point(scene, p.x, p.y), MARKER_R * scene.view.robot_scale, c);
}

// reads: view_origin, robot_scale
void draw_goal_marker(const Scene& scene, double x, double y, const Colour4& c) {
    draw_disc(window_point(scene, x, y), GOAL_MARKER_R * scene.view.robot_scale, c);
}

}  // namespace robosim
