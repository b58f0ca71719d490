// planning/experiment.h: an experiment made ready from its settings: defaults, derived model,
// converted and planned motion
#pragma once

#include "planning/kinematics.h"
#include "planning/plan.h"

namespace robosim {

//------------------------------------------------------------------ defaults
// fills every setting with its default, derives both robots and pre-plans every pattern;
// leaves robot 'b', motion 'c', cp 4 (the sine path) current
void set_defaults(ParameterSet& p);

//------------------------------------------------------------------ driver
// derives the current robot, copies the current pattern into the current motion, converts its
// start and end by inverse kinematics and plans it; reads robot_type, motion, cp, the pattern
// records; writes the current robot's derived and planning fields, x0 y0 xf yf tf, sf and the
// path constants
// Returns the SCARA points among the motion's start and end that are out of reach, for the
// program to tell.
ReachReport update_derived(ParameterSet& ps);

}  // namespace robosim
