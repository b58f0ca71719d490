// Simulation driver and Runge-Kutta-Gill integrator.
// Gill's fourth-order step with the running correction q (q starts at 0 in every step):
//   k1 = h f(t, y);         r1 = k1/2;            y1 = y + r1;  q1 = 3 r1 - k1/2
//   k2 = h f(t + h/2, y1);  r2 = c1 (k2 - q1);    y2 = y1 + r2; q2 = q1 + 3 r2 - c1 k2
//   k3 = h f(t + h/2, y2);  r3 = c2 (k3 - q2);    y3 = y2 + r3; q3 = q2 + 3 r3 - c2 k3
//   k4 = h f(t + h, y3);    r4 = c3 (k4 - 2 q3);  y_next = y3 + r4
// with c1 = 1 - sqrt(1/2), c2 = 1 + sqrt(1/2), c3 = 1/6 written as the decimals below, whose
// last digits are part of the results.
#include "sim/simulate.h"

#include "planning/reference.h"
#include "sim/dynamics.h"
#include "sim/history.h"

#include <algorithm>
#include <cassert>

namespace robosim {

// clang-format off
constexpr double GILL_C1 = 0.292893219;  // ~ 1 - sqrt(1/2)
constexpr double GILL_C2 = 1.70710678;   // ~ 1 + sqrt(1/2)
constexpr double GILL_C3 = 0.16666667;   // ~ 1/6

// clang-format on

//------------------------------------------------------------------ integrator

void rkg_step(const ParameterSet& ps, ReferenceRun* run, double t, double h, const double* y,
              double* y_next, int count) {
    // the working arrays hold RKG_MAX_LEN elements; never index past them
    const int n = std::clamp(count, 0, RKG_MAX_LEN);
    double q[RKG_MAX_LEN] = {};
    double y1[RKG_MAX_LEN] = {};
    double y2[RKG_MAX_LEN] = {};
    double y3[RKG_MAX_LEN] = {};
    std::copy(y, y + n, y1);

    // each stage evaluates every element on the complete result of the stage before
    for (int i = 0; i < n; ++i) {
        const double k = h * state_derivative(ps, run, i, t, y, h);
        const double r = 0.5 * k;
        y1[i] = y[i] + r;
        q[i] = 3.0 * r - 0.5 * k;
    }
    for (int i = 0; i < n; ++i) {
        const double k = h * state_derivative(ps, run, i, t + 0.5 * h, y1, h);
        const double r = GILL_C1 * (k - q[i]);
        y2[i] = y1[i] + r;
        q[i] = q[i] + 3.0 * r - GILL_C1 * k;
    }
    for (int i = 0; i < n; ++i) {
        const double k = h * state_derivative(ps, run, i, t + 0.5 * h, y2, h);
        const double r = GILL_C2 * (k - q[i]);
        y3[i] = y2[i] + r;
        q[i] = q[i] + 3.0 * r - GILL_C2 * k;
    }
    for (int i = 0; i < n; ++i) {
        const double k = h * state_derivative(ps, run, i, t + h, y3, h);
        const double r = GILL_C3 * (k - 2.0 * q[i]);
        y_next[i] = y3[i] + r;
    }
}

//------------------------------------------------------------------ driver

ReachReport simulate(const ParameterSet& ps, int steps_per_sample, HistorySet* out,
                     bool reuse_exact_results) {
    const double dt = ps.settings.dt_sample;
    const double* theta0 = robot_of(ps.plan, ps.settings.robot_type).theta0;
    // a run writes samples 0 .. n into histories of HISTORY_LEN records: never past them
    const int last = std::min(ps.settings.n_sample, HISTORY_LEN - 1);
    assert(out != nullptr);  // a run always has somewhere to write to
    // at least one step per sample: a count below it is taken as one
    const int steps = std::max(steps_per_sample, 1);
    const double h = dt / steps;
    double T = 0.0;
    double x[STATE_LEN] = {theta0[0], theta0[1], 0.0, 0.0, 0.0, 0.0};
    // the reference generator's state of this run: settings are fixed from here to its end
    ReferenceRun run = new_reference_run(reuse_exact_results);

    record_sample(ps, &run, out, 0, x, h);
    // the driver accumulates its times by addition; record_sample forms its own t = k dt_sample
    for (int k = 1; k <= last; ++k) {
        double y[STATE_LEN];
        std::copy(x, x + STATE_LEN, y);
        double ts = T;
        for (int j = 0; j < steps; ++j) {
            double y_next[STATE_LEN];
            rkg_step(ps, &run, ts, h, y, y_next, STATE_LEN);
            std::copy(y_next, y_next + STATE_LEN, y);
            ts += h;
        }
        T += dt;
        record_sample(ps, &run, out, k, y, h);
        std::copy(y, y + STATE_LEN, x);
    }
    return run.unreachable;
}

}  // namespace robosim
