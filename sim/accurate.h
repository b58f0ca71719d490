// sim/accurate.h: the accurate integration mode, the same equations with the gears' switching
// located inside the step
#pragma once

#include "planning/plan.h"
#include "planning/reference.h"
#include "sim/history.h"

#include <string>

namespace robosim {

//------------------------------------------------------------------ constants
// integration steps an accurate run may take, the partial and bisection steps included, per
// step of the nominal grid: about 7 times what the hardest self-locking experiments need (a
// second or two of CPU at ten steps per sample); a run that needs more is too stiff to follow
// and ends where the budget ran out
constexpr long ACCURATE_BUDGET_PER_STEP = 100;
// and at least this many, for the few long steps of a coarse grid, which the error control
// halves many times over
constexpr long ACCURATE_BUDGET_LEAST = 200000;

// what an accurate run met
struct AccurateStats {
    long steps;          // integration steps taken, the partial steps up to events and corners
                         // and the steps of the bisections included
    long events;         // changes of mode located inside a step
    long stops;          // moving joints stopped by their gears' mesh
    long slides;         // sliding intervals: a gear held on the edge of locking (stick-slip)
    long accumulations;  // steps taken whole through an accumulation of switchings
    long disagreements;  // recorded samples whose mode failed its own direction test
    long budget;         // the steps the run was allowed
    bool budget_spent;   // the run ended early: the budget was not enough
    double t_end;        // the time the run reached (s): the last sample's unless budget_spent
};

// told once per sample with the time the run has reached (s), when a caller wants to show how
// far a long run has come
struct AccurateProgress {
    void (*tell)(void* context, double t);
    void* context;
};

// Simulates the experiment ps as simulate() does, from its planned start motor angles over
// samples 0 .. n_sample of dt_sample into out, with steps_per_sample fourth-order Runge-Kutta
// steps per sample, but as a hybrid system:
//   - each joint's gear is driving forward, driven in reverse, stuck (speed exactly zero until
//     the drive breaks it free, in place of the rest band), or sliding on the edge of locking
//     (a self-locking gear whose load overruns a motor that would drive it again at once);
//   - each motor's torque is the controller's or held at +-tau_m;
//   - within one such mode the equations are smooth; a change of mode (a gear's power flow or a
//     joint's speed changing sign, a stuck joint freed, a slide no longer braking, the torque
//     limit reached or left, a gear entering its jam) is located inside the step by bisection
//     and the step restarted there; the command's own corners (ends and starts of its
//     trapezoidal profiles, the U-curve's joints) are stepped onto, never across.
// Samples are recorded as simulate() records them, with the torque split of the mode in force.
// stats, when given, receives what the run met; progress, when given, is told once per sample.
// A run that spends its step budget ends there (step_budget; 0 gives ACCURATE_BUDGET_PER_STEP
// times the steps of the nominal grid, and at least ACCURATE_BUDGET_LEAST): the samples after
// it repeat the last state recorded.
ReachReport simulate_accurate(const ParameterSet& ps, int steps_per_sample, long step_budget,
                              const AccurateProgress* progress, HistorySet* out,
                              AccurateStats* stats);

//------------------------------------------------------------------ reports
// one line of what an accurate run met: "accurate integration: 41 events located, 5 stops,
// 5 sliding intervals", with the accumulations stepped over and an early end where there were
std::string accurate_report(const AccurateStats& stats);

// the fastest closed-loop pole of the two joints' loops, which sets how short a step must be
struct StiffestPole {
    int joint;    // 0 joint 1, 1 joint 2
    double rate;  // its rate (1/s)
};

StiffestPole stiffest_pole(const ParameterSet& ps);

// why an accurate run ended early: where, and the stiffest closed-loop pole that made it need
// so many steps, with the settings that place it (both robots' loops are placed by the same
// settings)
std::string accurate_budget_report(const ParameterSet& ps, const AccurateStats& stats);

}  // namespace robosim
