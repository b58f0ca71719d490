// Cost of the reference generator, the inner loop of every simulation: a CP evaluation runs the
// inverse kinematics and the Jacobian, and the sine path integrates x(s) afresh each time.
#include "model/parameters.h"
#include "planning/reference.h"
#include "tests/support/scenarios.h"

#include <benchmark/benchmark.h>

using namespace robosim;

// one reference evaluation in mid-motion for robot, motion and path given by the arguments
static void run_reference(benchmark::State& state, int robot_type, int motion, int cp) {
    const ParameterSet params =
        scenario(robot_type, motion, cp);  // set-up stays outside the timed loop
    // no reuse: every call evaluates afresh, as a new time in a run would
    ReferenceRun ref_run = new_reference_run(false);
    double position[2];
    double velocity[2];
    reference_at(params, &ref_run, robot_type, motion, cp, 0.0, position, velocity);
    for (auto _ : state) {
        reference_at(params, &ref_run, robot_type, motion, cp, 0.5 * params.plan.tf, position,
                     velocity);
        benchmark::DoNotOptimize(position[0]);
        benchmark::DoNotOptimize(velocity[1]);
    }
}

static void BM_reference_at_scara_sine(benchmark::State& state) {
    run_reference(state, 'b', 'c', 4);
}

BENCHMARK(BM_reference_at_scara_sine);

static void BM_reference_at_scara_circle(benchmark::State& state) {
    run_reference(state, 'b', 'c', 2);
}

BENCHMARK(BM_reference_at_scara_circle);

static void BM_reference_at_cyl_trapezoid(benchmark::State& state) {
    run_reference(state, 'a', 'p', 4);
}

BENCHMARK(BM_reference_at_cyl_trapezoid);
