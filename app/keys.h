// app/keys.h: the key commands of the graphics window
#pragma once

//------------------------------------------------------------------ constants
constexpr unsigned char KEY_ESC = 27;  // ends the program

//------------------------------------------------------------------ callback
// The keyboard callback; x, y (the mouse position) are not used. Every key is stored in
// last_key first. Keys r a b l m u k q p c go back to the console dialogs (restoring
// error_gain); g h v V re-simulate and redraw; s 0 t i w W change the view and redraw;
// ESC ends the program with status 0; any other key does nothing more.
// reads and writes: last_key, params selectors, error_gain, view_state, graph_select
// Space plays and pauses the run at its simulated pace on the window's timer (the console
// dialogs stop it; g h v V x go on playing the new run), BackSpace steps back one sample, '?'
// shows and hides the help card.
void on_key(unsigned char key, int x, int y);

// the keys without a character: End shows the last sample, F1 the help card as '?' does
void on_special_key(int key, int x, int y);
