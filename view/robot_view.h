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
// robot-space point p is shown at robot_scale * (view_origin + view_shift + p), so zooming
// scales about the window centre.
// reads: the experiments, the view state and the histories of the scene
void draw_robot_scene(const Scene& scene, int k);

//------------------------------------------------------------------ fitted view
constexpr double FIT_AREA_TOP = 0.68;  // the fitted view stays under the status lines   (window)
constexpr double FIT_MARGIN = 0.03;    // and this far inside the edges of its area      (window)

// a rectangle of the window or of robot space
struct Box {
    double left, bottom, right, top;
};

// the part of the window the robot view has to itself: left of the graphs' white panel, above
// the caption strip, below the status lines (window); reads graph_origin
Box robot_view_area(const Settings& s);

// the robot base before scaling: view_origin of the current run plus the view's view_shift;
// robot-space p is shown at robot_scale * (view_base(scene) + p)
Point2 view_base(const Scene& scene);

// the box the robot covers in its pose of motor angles theta_m (rad), the parts' widths
// included (robot space, m); reads the robot's links, joints, hand and work
Box robot_pose_box(const ParameterSet& ps, const double theta_m[2]);

// the robot_scale and view_shift that show every run of the scene whole inside
// robot_view_area with FIT_MARGIN: the robot in every pose of every sample, the actual and
// commanded paths and the goal; non-finite samples are left out, and a scene with nothing
// finite keeps the view the dialogs return to (scale 1, no shift). The view state of the scene
// is not read.
struct ViewFit {
    double scale;  // (-)
    Point2 shift;  // (m)
};

ViewFit fit_robot_view(const Scene& scene);

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
