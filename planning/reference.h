// planning/reference.h: the commanded motor angles and speeds of the motion at any time
#pragma once

#include "planning/cp_path.h"
#include "planning/kinematics.h"
#include "planning/plan.h"

#include <cstdint>

namespace robosim {

//------------------------------------------------------------------ run state
constexpr int REFERENCE_MEMO_SLOTS = 8;  // recent evaluations a run keeps           (-)

// One recent evaluation of a run. Within a stage of the integrator the state equation asks for
// the same time up to six times in a row, and the accurate mode's steps come back to the times
// of their halves; a repeated call at the same time would unwrap the same raw joint vector
// against a neighbouring previous result (a few milliseconds of motion away, far from the
// half turn that would change the branch) and so return it unchanged, bit for bit.
struct ReferenceMemo {
    bool valid;  // the fields below hold an evaluation
    int robot_type, motion, cp;
    std::uint64_t t_bits;  // the time, compared bit for bit
    double position[2];    // (rad)
    double velocity[2];    // (rad/s)
    double phi[2];         // the joint vector it left for the next evaluation to unwrap against
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
    ReferenceMemo memo[REFERENCE_MEMO_SLOTS];  // the recent evaluations, filled in turn
    int memo_next;                             // the slot the next evaluation fills
    SineMemo sine;                             // the sine path's last x(s)
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

//------------------------------------------------------------------ corners
constexpr int MAX_REFERENCE_CORNERS = 8;  // corners a command has at most

// the times (s), ascending and within (0, tf], at which the command of motion and cp changes
// its formula: the ends of the trapezoidal profiles' acceleration and the starts of their
// deceleration, tf, and for the U-curve the times its path parameter reaches the half circle's
// ends. Between them the command is smooth; an integrator that steps across one loses its
// order there. Returns their number (times that are not numbers are left out).
int reference_corners(const ParameterSet& p, int robot_type, int motion, int cp,
                      double corners[MAX_REFERENCE_CORNERS]);

}  // namespace robosim
