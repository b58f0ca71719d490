// planning/reference.h: the commanded motor angles and speeds of the motion at any time
#pragma once

#include "planning/cp_path.h"
#include "planning/kinematics.h"
#include "planning/plan.h"

#include <cstdint>

//------------------------------------------------------------------ run state
// The last evaluation of a run. Within a stage of the integrator the state equation asks for
// the same time up to six times in a row; a repeated call at the same time would unwrap the
// same raw joint vector against its own previous result and so return it unchanged, bit for
// bit.
struct ReferenceMemo {
    bool valid;  // the fields below hold the last evaluation
    int robot_type, motion, cp;
    std::uint64_t t_bits;  // the time, compared bit for bit
    double position[2];    // (rad)
    double velocity[2];    // (rad/s)
};

// What the reference generator carries from one evaluation to the next within one simulation
// run, where the settings cannot change. Each run has its own, so runs never meet.
struct ReferenceRun {
    // joint vector of the previous evaluation: the unwrapping reference of CP motions; reset
    // to (0, 0) by every evaluation at t = 0
    double prev_phi[2];
    // joint vector of the last CP evaluation; every evaluation hands it on to prev_phi,
    // whatever the pattern (only CP motions read prev_phi, so a stale value is harmless)
    double cp_phi[2];
    // the first unreachable SCARA path point the run met, if any: a run tells its first such
    // point only
    ReachReport unreachable;
    // whether evaluations may be reused exactly: the reference at a given time does not depend
    // on the robot's state and the sine path's x(s) is a pure function, so a result computed
    // again would be the same to the last bit; off only to prove exactly that
    bool reuse;
    ReferenceMemo memo;  // the last evaluation
    SineMemo sine;       // the sine path's last x(s)
};

// the state of a new run: nothing evaluated yet
ReferenceRun new_reference_run(bool reuse = true);

//------------------------------------------------------------------ evaluation
// motor angles (rad) and speeds (rad/s) commanded at time t (s) for the robot type, motion and
// CP path kind given; reads the planning results of the robot record in use, tf, sf and the
// path constants of p; reads and writes run. Calls within a run must come in time order, the
// first at t = 0 exactly.
void reference_at(const ParameterSet& p, ReferenceRun* run, int robot_type, int motion, int cp,
                  double t, double position[2], double velocity[2]);
