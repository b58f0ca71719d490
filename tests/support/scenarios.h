// tests/support/scenarios.h: named experiments shared by the tests and the benchmarks
#pragma once

// the default experiment with robot, motion and path chosen, then update_derived, as start-up
// does after its questions are answered (gravity 'g', feedback 'V')
void load_scenario(int robot_type, int motion, int cp);

// the costliest experiment: SCARA robot along the default sine path
void load_scenario_scara_sine();
