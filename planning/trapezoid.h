// planning/trapezoid.h: trapezoidal velocity profiles of the PTP motors and the CP path
#pragma once

#include "planning/plan.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double ACCEL_FRACTION = 0.1;  // acceleration time of every planned profile / tf (-)

// A profile is never stored as an object: its fields (ta1, ta2, tf, a1, a2, v, q0, qf) are
// read from the planning results of the robot record in use at each evaluation.
//   ta1, ta2: durations of acceleration and deceleration (s); tf: end time (s)
//   a1, a2: acceleration and deceleration, signed (a2 is applied as -a2); v: constant speed
//   q0, qf: values at t = 0 and t >= tf

//------------------------------------------------------------------ evaluation
// value of the profile at time t (s)
double trapezoid_position(double t, double ta1, double ta2, double tf, double a1, double a2,
                          double v, double q0, double qf);

// rate of the profile at time t (s)
double trapezoid_velocity(double t, double ta1, double ta2, double tf, double a1, double a2,
                          double v);

//------------------------------------------------------------------ planning
// one motor's profile over distance (rad) ending at tf (s): t1 = 0.1 tf (s),
// alpha = distance / ((tf - t1) t1) (rad/s^2), omega = alpha t1 (rad/s)
void plan_ptp_axis(double tf, double distance, double* t1, double* omega, double* alpha);

// plans both motors of robot 'a' or 'b' over their motor travels thetaf - theta0 and the
// current tf; writes t11, omega_m1, alpha_m1, t12, omega_m2, alpha_m2 of that robot record
void plan_ptp_motors(Plan& plan, int robot_type);

}  // namespace robosim
