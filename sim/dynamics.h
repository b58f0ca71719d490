// sim/dynamics.h: rigid-body model of both robots at the motor shafts, and the state equation
#pragma once

#include "planning/plan.h"
#include "planning/reference.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double GRAVITY_ACCEL = 9.8;  // gravitational acceleration                 (m/s^2)

// Every function takes the robot type ('b' the SCARA robot, every other value the cylindrical
// robot) and the state x = (theta1, theta2, omega1, omega2, integral e1, integral e2) in rad,
// rad/s and rad*s at the motors; joints are indexed 0 and 1. Torques are at the motor shafts
// (N*m), the joint torque or force divided by that joint's reduction ratio.

//------------------------------------------------------------------ model
// inertia matrix at the motor shafts, row by row (M11, M12, M21, M22) (kg*m^2); reads the robot
// record, mw, IGw, wc
void inertia_matrix(const ParameterSet& ps, int robot_type, const double x[6], double M[4]);

// Coriolis and centrifugal torque of one joint (N*m); reads the robot record, mw, wc
double coriolis_torque(const ParameterSet& ps, int robot_type, int joint, const double x[6]);

// gravity torque of one joint (N*m); reads the robot record, mw, wc
double gravity_torque(const ParameterSet& ps, int robot_type, int joint, const double x[6]);

//------------------------------------------------------------------ state equation
// dx_i/dt at time t (s) of the robot ps.settings.robot_type: speeds, motor accelerations
// through the gears, and angle errors; reads the parameter set; advances the reference generator
// (the order of its calls is fixed). step: the integration step (s), within which a jammed gear
// stops its moving joint
double state_derivative(const ParameterSet& ps, ReferenceRun* run, int i, double t,
                        const double x[6], double step);

}  // namespace robosim
