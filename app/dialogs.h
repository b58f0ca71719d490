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

// prints prompt and reads one key until it is one of allowed; a wrong key gets message and the
// prompt again. Returns the key.
int ask_key(const char* prompt, const char* allowed, const char* message);

// asks for the CP path kind, with the start-up's prompt or the CP dialog's, until the answer
// is 1 .. 4, typed and ended with Enter. writes: cp
void ask_cp_kind(bool at_startup);

// the name of CP path kind cp for the prompts, with its newline; a kind outside the table of
// names gets the table's neutral first entry
const char* cp_name(int cp);
