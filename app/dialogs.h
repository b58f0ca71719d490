// app/dialogs.h: the console menu and the chain of parameter dialogs
#pragma once

#include "app/session.h"

namespace robosim {

//------------------------------------------------------------------ dialogs
// prints the key menu and walks the dialogs from the one session.last_key names, then
// re-derives, reports, simulates the current robot and resets the view. '0' (start-up) and any
// key without a dialog of its own run the whole chain. The window's key handler sets last_key
// (and robot_type or motion for their keys) before the call.
// reads: last_key and the whole experiment; writes: the fields the user changes, the derived
// and planning fields, the current robot's history set, the view and, on 'r', data_file_name
void console_dialogs(Session& session);

// the dialogs' end, whatever their path, and a form's: re-derives and re-plans, reports,
// simulates the current robot and resets the view (keeping the comparison, the torque scale and
// the pace chosen).
// reads: the experiment; writes: its derived and planning fields, the current robot's history
// set, the view, told_unreachable
void final_stage(Session& session);

// prints prompt and reads one key until it is one of allowed; a wrong key gets message and the
// prompt again. Returns the key.
int ask_key(const char* prompt, const char* allowed, const char* message);

// asks for the CP path kind, with the start-up's prompt or the CP dialog's and cp_old as the
// old kind, until the answer is 1 .. 4, typed and ended with Enter. Returns the kind.
int ask_cp_kind(int cp_old, bool at_startup);

// the name of CP path kind cp for the prompts, with its newline; a kind outside the table of
// names gets the table's neutral first entry
const char* cp_name(int cp);

}  // namespace robosim
