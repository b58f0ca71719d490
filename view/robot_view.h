// view/robot_view.h: the robot scene of one sample: robot, goal, magnified error, traces
#pragma once

#include "planning/plan.h"
#include "view/draw.h"
#include "view/scene.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double MARKER_R = 0.008;       // radius of a work-point dot at scale 1       (m)
constexpr double GOAL_MARKER_R = 0.01;   // radius of the goal marker at scale 1        (m)
constexpr double WORK_POINT_R = 0.005;   // radius of the work-point disc in the hand   (m)
constexpr double FINGER_OFFSET = 0.007;  // a finger lies this far outside the work     (m)
constexpr double FINGER_WIDTH = 0.01;    // drawn width of palm and fingers (4 pixels)  (m)
constexpr double HUB_RATIO = 0.7;        // hub disc or inner ring radius / joint ring  (-)
constexpr double LINK_BACK = 0.005;      // a SCARA bar starts this far behind its joint (m)
constexpr double PATH_WIDTH = 0.005;     // another run's work-point path (2 pixels)    (m)

//------------------------------------------------------------------ scene
// The whole scene of sample k of the current run, when its robot is 'a' or 'b' (nothing for
// other types): first the path of the actual work point of every other run in its trace
// colour and line pattern, then the current robot in its pose, the blue goal marker at
// (xf, yf), the green marker at the commanded point moved by view_error_gain times the position
// error, the dots of the actual work point and the commanded path of samples 0 .. k. A
// robot-space point p is shown at robot_scale * (view_origin + p), so zooming scales about the
// window centre.
// reads: the experiments, the view state and the histories of the scene
void draw_robot_scene(const Scene& scene, int k);

//------------------------------------------------------------------ robots
// robot (a) from its motor angles theta_m (rad); reads cyl, wc, view_origin of the current run
// and the view state of the scene
void draw_cyl_robot(const Scene& scene, const double theta_m[2]);

// robot (b) from its motor angles theta_m (rad); reads scara, wc, view_origin of the current run
// and the view state of the scene
void draw_scara_robot(const Scene& scene, const double theta_m[2]);

// SCARA link 1 or 2 from its joint J (view space, unscaled), length L, width w (m), at angle
// phi (rad)
void draw_scara_link(const Scene& scene, int link, const Point2& J, double L, double w, double phi,
                     const Colour4& c);

// hand and work with the work point at T (view space, unscaled) and the hand axis at phi (rad)
void draw_hand(const Scene& scene, const Point2& T, double phi, const Colour4& c);

//------------------------------------------------------------------ markers
// a dot of radius 0.008 * robot_scale at robot-space point p (m)
void draw_marker(const Scene& scene, const Point2& p, const Colour4& c);

// a disc of radius 0.01 * robot_scale at robot-space point (x, y) (m)
void draw_goal_marker(const Scene& scene, double x, double y, const Colour4& c);

}  // namespace robosim
