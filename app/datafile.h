// app/datafile.h: robot data files, one whole experiment as a stream of tokens
#pragma once

#include "model/setting_fields.h"
#include "planning/plan.h"

#include <string>

// File format: tokens separated by white space (blanks, tabs, line ends); only their order
// matters. In order: robot type 'a' or 'b'; arm length L ('a') or L1 and the distance from
// joint 2 to the work ('b'); work mass; motor powers PW1 PW2; u1 eta1; u2 eta2 (forward
// efficiencies); gravity 'g' or 'h'; fn1 alpha1; fn2 alpha2 (Hz, 1/s); feedback 'v' or 'V';
// motion 'q', 'p' or 'c'; then the data of that motion: 'q' x0 y0 xf yf, 'p' x0 y0 xf yf tf,
// 'c' the path kind 1 .. 4 and its data (1: x0 y0 xf yf tf, 2: Ox Oy rr tf,
// 3: x0 y0 xf yf x1 y1 x2 y2 tf, 4: x0 y0 L A tf). SI units otherwise; see docs/examples.md.

// asks for the file name on the console (or takes path, when given, as its answer), reads the
// experiment into ps and echoes every value read.
// The caller runs update_derived afterwards.
// writes: the fields the file supplies (robot_type, gravity, fb_type, motion, cp, the robot's
// user settings, mw, omega_n1, omega_n2, alpha1, alpha2, the record of the chosen pattern,
// and for a circle or a sine the current start and end)
// Returns the file's name when it was read to its end, else an empty string.
std::string read_robot_file(ParameterSet& ps, const char* path = nullptr);

// reads the experiment from the file at path, as read_robot_file does after its prompt.
// A file that cannot be opened, a token of the wrong kind or a file that ends early is
// reported on the console with the item where reading stopped; the values read up to there
// are kept. A value no physical robot can have (see SettingRule) is reported with its item and
// the file is not applied at all: ps stays as it was and refused (when given) is set.
// A selector or path kind outside its list is named in one line; it selects no branch and the
// reading goes on, or with refuse_off_list it refuses the file as an impossible value does.
// Returns whether the experiment was read to its end and applied.
bool read_robot_data(ParameterSet& ps, const char* path, bool* refused = nullptr,
                     bool refuse_off_list = false);

// the rule in the console's Japanese words, e.g. "0 より大きい数"
std::string rule_text_ja(SettingRule rule, const Settings& s);

// the settings of ps that a robot data file holds, as a file in the format above (one line per
// group, every number as the shortest decimal that reads back to the same double); reading it
// gives the same experiment again
std::string robot_data_text(const ParameterSet& ps);

// asks on the console for a file name and writes the settings of ps there as a robot data file
// (whole or not at all: an existing file stays as it was when the write fails), saying which
void write_robot_file(const ParameterSet& ps);
