// planning/reference.h: the commanded motor angles and speeds of the motion at any time
#pragma once

//------------------------------------------------------------------ program-wide state
// joint vector of the previous reference evaluation: the unwrapping reference of CP motions;
// reset to (0, 0) by every call at t = 0
extern double prev_phi[2];

// set once a run has reported an unreachable SCARA path point; the simulation driver clears it
// at the start of every run so that a run reports its first such point only
extern bool reach_failure_reported;

// whether evaluations may be reused exactly (on by default): the reference at a given time does
// not depend on the robot's state and the sine path's x(s) is a pure function, so a result
// computed again would be the same to the last bit; off only to prove exactly that
extern bool reuse_exact_results;

//------------------------------------------------------------------ simulation runs
// a run keeps the settings fixed between these calls, so evaluations at an unchanged time may be
// reused; begin also clears reach_failure_reported so the run reports its first unreachable point
void begin_reference_run();
void end_reference_run();

//------------------------------------------------------------------ evaluation
// motor angles (rad) and speeds (rad/s) commanded at time t (s) for the robot type, motion and
// CP path kind given; reads the planning results of the robot record in use, tf, sf and the
// path constants; reads and writes prev_phi. Calls within a run must come in time order, the
// first at t = 0 exactly.
void reference_at(int robot_type, int motion, int cp, double t, double position[2],
                  double velocity[2]);
