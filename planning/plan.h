// planning/plan.h: the plan of an experiment's motion, and the experiment whole
#pragma once

#include "model/parameters.h"

#include <cstdint>
#include <cstring>

namespace robosim {

// the bits of a double, which key the memos of the path and the reference by the exact value
// of what they depend on (a copy of the bytes: every standard library of the supported
// compilers has it)
inline std::uint64_t double_bits(double v) {
    std::uint64_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

// One robot's plan of the current motion. Same two instances as RobotSettings; arrays are
// indexed 0 for joint or motor 1 and 1 for joint or motor 2.
struct RobotPlan {
    // inverse kinematics of the current motion's start and end
    double phi0[2], phif[2];      // joint values at start and end (rad; cyl joint 2 in m)
    double theta0[2], thetaf[2];  // motor angles at start and end                          (rad)

    // trapezoidal PTP profiles of the two motors
    double t11, t12;            // end of acceleration of motor 1 and motor 2               (s)
    double omega_m1, omega_m2;  // constant motor speeds                                    (rad/s)
    double alpha_m1, alpha_m2;  // motor accelerations (rad/s^2)

    // trapezoidal profile of the CP path parameter (arc length)
    double t1, t2;    // acceleration and deceleration times                      (s)
    double am1, am2;  // start acceleration and end deceleration                  (m/s^2)
    double vm;        // constant path speed                                      (m/s)
};

// The plan of the current motion, made from the settings and the derived model
struct Plan {
    // current motion, a copy of the current pattern
    double x0, y0;  // start                                                                (m)
    double xf, yf;  // end                                                                  (m)
    double tf;      // motion time                                                          (s)

    // CP path constants, shared by both robots, rewritten by every plan_cp_path
    double sf;          // path length                                                      (m)
    double psi;         // direction of the straight line                                   (rad)
    double psi1, psi3;  // directions of the U-curve's rise (P0 to P1) and descent (P2 to Pf) (rad)
    double D;           // diameter of the U-curve's half circle, |P2 - P1|                 (m)
    double s1, s2;      // arc lengths where the U-curve's half circle begins and ends      (m)

    RobotPlan cyl;    // robot 'a'
    RobotPlan scara;  // robot 'b'
};

// An experiment: its settings, the model derived from them and the plan of its motion. A run
// reads it and never writes it (the run's own data is the reference generator's ReferenceRun,
// the integrator's state and the history set it fills), so one experiment may be run by many
// threads, and many experiments at once.
struct ParameterSet {
    Settings settings;
    DerivedModel model;
    Plan plan;
};

}  // namespace robosim
