// sim/accurate.h: the accurate integration mode, the same equations with the gears' switching
// located inside the step
#pragma once

#include "planning/plan.h"
#include "planning/reference.h"
#include "sim/history.h"

// what an accurate run met
struct AccurateStats {
    int steps;   // integration steps taken, the partial steps up to events and corners included
    int events;  // switchings located inside a step
    int stops;   // moving joints stopped because their gears admitted no motion at all
};

// Simulates robot_type as simulate() does, from theta0 (rad) over samples 0 .. n of dt (s) into
// out, with steps_per_sample fourth-order Runge-Kutta steps per sample, but as a hybrid system:
//   - each joint's gear is driving forward, driven in reverse, or stuck (speed exactly zero
//     until the drive breaks it free, in place of the rest band);
//   - each motor's torque is the controller's or held at +-tau_m;
//   - within one such mode the equations are smooth; a change of mode (a gear's power flow or a
//     joint's speed changing sign, a stuck joint freed, the torque limit reached or left, a
//     gear entering its jam) is located inside the step by bisection and the step restarted
//     there; the command's own corners (ends and starts of its trapezoidal profiles, the
//     U-curve's joints) are stepped onto, never across.
// Samples are recorded as simulate() records them, with the torque split of the mode in force.
// stats, when given, receives what the run met.
ReachReport simulate_accurate(const ParameterSet& ps, HistorySet* out, int robot_type, double dt,
                              int n, const double theta0[2], int steps_per_sample,
                              AccurateStats* stats = nullptr);
