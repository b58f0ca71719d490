// app/report.h: the two settings reports of the console and the unreachable-point message
#pragma once

#include "planning/kinematics.h"
#include "planning/plan.h"

namespace robosim {

// the values currently set, for the current robot and motion pattern only; the dialogs print
// it before they walk the whole chain.
// reads of ps: robot_type, gravity, fb_type, motion, cp, the current robot's record, mw, wc,
// the control settings, the current motion and the pattern records
void print_settings(const ParameterSet& ps);

// the values currently set with the quantities derived from them and the plan of the current
// motion; valid after update_derived.
// reads of ps: as print_settings, plus the derived and planning fields and sf
void print_settings_derived(const ParameterSet& ps);

// tells each SCARA point of report that is out of reach with the failure message; after each,
// says so and waits for one key when wait_for_key (the conversion of a motion's ends). A run's
// point is told without a wait: a run along such a path would otherwise stop thousands of
// times. told, when given, holds the points already told for the coming run: they are not told
// again, and the points told are added to it.
void tell_unreachable(const ParameterSet& p, const ReachReport& report, bool wait_for_key,
                      ReachReport* told = nullptr);

}  // namespace robosim
