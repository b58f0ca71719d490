// tests/support/scenarios.h: named experiments shared by the tests and the benchmarks
#pragma once

#include "planning/plan.h"

using namespace robosim;

// the default experiment with robot, motion and path chosen, then update_derived, as start-up
// does after its questions are answered (gravity 'g', feedback 'V')
ParameterSet scenario(int robot_type, int motion, int cp);

// the costliest experiment: SCARA robot along the default sine path
ParameterSet scenario_scara_sine();
