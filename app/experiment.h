// app/experiment.h: the program's current experiment, the one thing the dialogs, the data file
// and the keys change and the window shows
#pragma once

#include "planning/kinematics.h"
#include "planning/plan.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "view/scene.h"
#include "view/view_state.h"

#include <string>

// Zero until set_defaults(params) runs at start-up.
extern ParameterSet params;

// The last run of each robot, zero at start; a run overwrites only its own robot's set.
extern HistorySet history_cyl;    // written when robot_type != 'b'
extern HistorySet history_scara;  // written when robot_type == 'b'

// the history set of a robot type: 'b' the SCARA set, every other type the cylindrical set
HistorySet* history_of(int robot_type);

// what the window shows of the last run; zero until the console dialogs first return
extern ViewState view_state;

// whether runs are integrated in the accurate mode (the key x), or with the fixed step
extern bool accurate_integration;

// what the last accurate run met, for the window's status lines
extern AccurateStats accurate_stats;

// the robot data file the experiment was last read from, for the window's caption line; empty
// when it was chosen by keys
extern std::string data_file_name;

// the SCARA points out of reach told for the coming run: each is told once per run
extern ReachReport told_unreachable;

// the current experiment as the view draws it
Scene current_scene();

// one run of the current robot ('a' or 'b') into its history set, in the integration chosen;
// returns the run's unreachable point for the program to tell
ReachReport run_current_experiment();
