// app/datafile.h: the console's robot data files: reading one with its echo, writing one
#pragma once

#include "planning/plan.h"
#include "settings/datafile.h"

#include <string>

namespace robosim {

// asks for the file name on the console (or takes path, when given, as its answer), reads the
// experiment into ps and echoes every value read.
// The caller runs update_derived afterwards.
// writes: the fields the file supplies (robot_type, gravity, fb_type, motion, cp, the robot's
// user settings, mw, omega_n1, omega_n2, alpha1, alpha2, the record of the chosen pattern,
// and for a circle or a sine the current start and end)
// Returns the file's name when it was read to its end, else an empty string.
std::string read_robot_file(ParameterSet& ps, const char* path = nullptr);

// reads the experiment from the file at path (read_robot_data_file), as read_robot_file does
// after its prompt, and prints its echo on the console. A file that cannot be opened, a token
// of the wrong kind or a file that ends early is reported with the item where reading stopped;
// the values read up to there are kept. A value no physical robot can have (see SettingRule) is
// reported with its item and the file is not applied at all: ps stays as it was and refused
// (when given) is set. A selector or path kind outside its list is named in one line; it
// selects no branch and the reading goes on, or with refuse_off_list it refuses the file as an
// impossible value does.
// Returns whether the experiment was read to its end and applied.
bool read_robot_data(ParameterSet& ps, const char* path, bool* refused = nullptr,
                     bool refuse_off_list = false);

// asks on the console for a file name and writes the settings of ps there as a robot data file
// (whole or not at all: an existing file stays as it was when the write fails), saying which
void write_robot_file(const ParameterSet& ps);

}  // namespace robosim
