// app/form.h: the settings asked by a form instead of the console dialogs (the browser page):
// the first run, the form's answers, a robot data file handed over whole
#pragma once

#include "app/session.h"
#include "settings/dialog_schema.h"

#include <string>
#include <utility>
#include <vector>

namespace robosim {

// the experiment of the defaults (the batch tool's: the SCARA robot on the sine path, gravity
// on, velocity-error feedback), derived, reported, simulated and shown from its start
// writes: the whole experiment, the current robot's history set, the view
void start_form_session(Session& session);

// The form's answers (name, text) applied as the console dialogs take them
// (apply_dialog_answers), then the dialogs' final stage: derived, reported, simulated, shown
// from the start. A new robot or motion leaves the data file's experiment, as the window's keys
// for them do. A refused answer changes nothing and is returned, with its message also on the
// console.
DialogRefusal answer_form(Session& session,
                          const std::vector<std::pair<std::string, std::string>>& answers);

// reads the robot data file at path as the key 'r' does after its prompt (its echo on the
// console), then runs it as the dialogs' final stage does. Returns "" when it was read to its
// end and applied, else why not in one line (the echo says more); the experiment is then as
// the reading left it, run anew.
std::string read_form_file(Session& session, const char* path);

}  // namespace robosim
