// app/dialogs.h: the console menu and the chain of parameter dialogs
#pragma once

//------------------------------------------------------------------ program-wide object
// the key that sent the user into the console dialogs; it chooses the first dialog.
// '0' (start-up) and any key without a dialog of its own run the whole chain
extern char last_key;

//------------------------------------------------------------------ dialogs
// prints the key menu and walks the dialogs from the one last_key names, then re-derives,
// reports, simulates the current robot and resets the view. The window helper sets last_key
// (and robot_type or motion for their keys) before the call.
// reads: last_key and the whole parameter set; writes: the fields the user changes, the
// derived and planning fields, the current robot's history set and the view state
void console_dialogs();

// the name of CP path kind cp for the prompts, with its newline; a kind outside the table of
// names gets the table's neutral first entry
const char* cp_name(int cp);
