// sim/controller.h: the PID (or PD) joint controller of each motor with its torque limit
#pragma once

#include "planning/plan.h"
#include "planning/reference.h"

namespace robosim {

// drive torque (N*m) of joint 0 or 1 at time t (s) for state x: on the motor-angle error
// e = theta_ref - theta,
//   'v': tau = Kp e + Ki int(e) - Kv omega                 (velocity feedback)
//   'V': tau = Kp e + Ki int(e) + Kv (omega_ref - omega)   (velocity-error feedback)
// limited to +-tau_m with the sign of the unlimited torque; reads robot_type, fb_type, motion
// and cp of the settings and the gains and tau_m of the robot record ('b' SCARA, every other
// type cylindrical); calls reference_at once
double control_torque(const ParameterSet& ps, ReferenceRun* run, int joint, double t,
                      const double x[6]);

// the same law before the torque limit (N*m): what the controller asks of its motor
double control_law(const ParameterSet& ps, ReferenceRun* run, int joint, double t,
                   const double x[6]);

}  // namespace robosim
