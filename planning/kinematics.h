// planning/kinematics.h: work point <-> joint values and motor angles, and the Jacobians
#pragma once

#include "planning/plan.h"

namespace robosim {

// Joint vector phi: cylindrical (turn of joint 1 in rad, slide of joint 2 in m), SCARA (arm 1
// from the x axis, arm 2 relative to arm 1, both rad). Motor vector theta_i = u_i phi_i.
// Arrays are indexed 0 for joint or motor 1 and 1 for joint or motor 2.

//------------------------------------------------------------------ motor side
// theta = (u1 phi1, u2 phi2) with the ratios of robot 'b' for 'b', of robot 'a' otherwise
void joint_to_motor(const Settings& s, int robot_type, const double phi[2], double theta[2]);

//------------------------------------------------------------------ inverse kinematics
// cylindrical robot: phi = (atan2(y, x), sqrt(x^2 + y^2)) unwrapped towards phi_ref, theta from
// cyl.u1, cyl.u2; every point has a solution
void ik_cylindrical(const Settings& s, double x, double y, const double phi_ref[2], double phi[2],
                    double theta[2]);

// SCARA robot, the one elbow configuration of the system; reads scara.L1, scara.L2, wc,
// scara.u1, scara.u2. Returns whether the point is in reach (|cos beta| <= 1); a point out of
// reach gives not-a-number values, and the caller decides what to tell.
bool ik_scara(const Settings& s, double x, double y, const double phi_ref[2], double phi[2],
              double theta[2]);

// per component the candidate among raw, raw + 2pi, raw - 2pi, raw + 4pi, raw - 4pi nearest to
// the reference; strict comparisons, so on a tie the earlier candidate wins
void unwrap_joint_angles(const double phi_ref[2], const double phi_raw[2], double phi[2]);

//------------------------------------------------------------------ current motion
constexpr int REACH_REPORT_POINTS = 2;  // points a report keeps: a motion's start and end

// the SCARA points out of reach that a conversion met, in the order it met them; the program
// tells each with its message and a key wait
struct ReachReport {
    int count;                           // points met (may exceed the points kept)
    Point2 points[REACH_REPORT_POINTS];  // the first of them (m)
};

// adds the point (x, y) (m) to report
void add_unreachable(ReachReport* report, double x, double y);

// start (x0, y0) and end (xf, yf) of the current motion into phi0, theta0, phif, thetaf of the
// record of robot 'a' or 'b', nearest to the zero posture (another type converts nothing);
// returns the SCARA points among them that are out of reach
ReachReport convert_motion_ends(const Settings& s, Plan& plan, int robot_type);

//------------------------------------------------------------------ Jacobian
// J = d(x, y)/d(phi1, phi2), row by row (J11, J12, J21, J22); untouched for a type other
// than 'a' and 'b'; reads scara.L1, scara.L2, wc
void jacobian(const Settings& s, int robot_type, const double phi[2], double J[4]);

}  // namespace robosim
