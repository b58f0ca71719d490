// sim/simulate.h: one closed-loop run of the robot and the per-sample evaluation
#pragma once

//------------------------------------------------------------------ constants
constexpr int STEPS_PER_SAMPLE = 10;  // integration steps per output sample
constexpr int STATE_LEN = 6;          // theta1, theta2, omega1, omega2, integral e1, integral e2
constexpr int RKG_MAX_LEN = 10;       // state elements the integrator's working arrays hold

//------------------------------------------------------------------ driver
// simulates robot_type from the start motor angles theta0 (rad) over samples 0 .. n of dt (s),
// STEPS_PER_SAMPLE Runge-Kutta-Gill steps each, and records every sample into the history set
// of robot_type; reads the parameter set; writes the histories, prev_phi and
// reach_failure_reported. Samples beyond the history length are not run.
void simulate(int robot_type, double dt, int n, const double theta0[2]);

// advances the first count elements (at most RKG_MAX_LEN) of y from t (s) by one step h (s)
// into y_next
void rkg_step(int robot_type, double t, double h, const double* y, double* y_next, int count);

//------------------------------------------------------------------ sample evaluation
// evaluates the robot at sample k with state x and writes record k of the history set of the
// current robot_type; reads the parameter set
void record_sample(int k, const double x[STATE_LEN]);
