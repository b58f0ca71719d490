// app/startup.h: the start of a run, up to the first simulation
#pragma once

#include "app/session.h"

namespace robosim {

// fills the defaults, asks whether to read a robot data file or to choose robot, motion and
// CP path by keys, derives the model and runs the whole chain of console dialogs, which ends
// with the first simulation and the reset of the view.
// data_file: a robot data file named on the command line, read as if 'y' and its name had been
// answered; nullptr asks.
// writes: the whole experiment, data_file_name, last_key, the current robot's history set, the
// view
void run_startup(Session& session, const char* data_file = nullptr);

}  // namespace robosim
