// app/startup.h: the start of a run, up to the first simulation
#pragma once

// fills the defaults, asks whether to read a robot data file or to choose robot, motion and
// CP path by keys, derives the model and runs the whole chain of console dialogs, which ends
// with the first simulation and the reset of the view.
// data_file: a robot data file named on the command line, read as if 'y' and its name had been
// answered; nullptr asks.
// writes: the whole parameter set, last_key, the current robot's history set, view_state
void run_startup(const char* data_file = nullptr);
