// sim/simulate.h: one closed-loop run of the robot and the per-sample evaluation
#pragma once

#include "planning/plan.h"
#include "planning/reference.h"
#include "sim/history.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr int STEPS_PER_SAMPLE = 10;  // integration steps per output sample
constexpr int STATE_LEN = 6;          // theta1, theta2, omega1, omega2, integral e1, integral e2
constexpr int RKG_MAX_LEN = 10;       // state elements the integrator's working arrays hold

//------------------------------------------------------------------ driver
// simulates the experiment ps (its robot, motion, feedback, dt_sample and n_sample) from the
// planned start motor angles theta0 over samples 0 .. n_sample, steps_per_sample
// Runge-Kutta-Gill steps each, and records every sample into out. The run keeps its own
// reference generator state, so runs of different settings may go on at the same time. Samples
// beyond the history length are not run (run_experiment refuses such a run).
// reuse_exact_results off evaluates the reference afresh every time, only to prove that the
// reuse changes no bit.
// Returns the first unreachable SCARA path point the run met, for the program to tell.
ReachReport simulate(const ParameterSet& ps, int steps_per_sample, HistorySet* out,
                     bool reuse_exact_results = true);

// advances the first count elements (at most RKG_MAX_LEN) of y from t (s) by one step h (s)
// into y_next
void rkg_step(const ParameterSet& ps, ReferenceRun* run, double t, double h, const double* y,
              double* y_next, int count);

//------------------------------------------------------------------ sample evaluation
// evaluates the robot ps.settings.robot_type at sample k with state x and writes record k of hs;
// step: the run's integration step (s)
void record_sample(const ParameterSet& ps, ReferenceRun* run, HistorySet* hs, int k,
                   const double x[STATE_LEN], double step);

}  // namespace robosim
