// app/keys.h: the key commands of the graphics window
#pragma once

#include "app/session.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr unsigned char KEY_ESC = 27;  // ends the program

//------------------------------------------------------------------ callbacks
// The keyboard callback; x, y (the mouse position) are not used. Every key is stored in
// session.last_key first. Keys r a b l m u k q p c go back to the console dialogs (restoring
// error_gain); g h v V re-simulate and redraw; s 0 t i w W change the view and redraw;
// ESC ends the program with status 0; any other key does nothing more.
// reads and writes: last_key, the experiment's selectors, error_gain, the view, graph_select
// Space plays and pauses the run at its simulated pace on the window's timer (the console
// dialogs stop it; g h v V x go on playing the new run), BackSpace steps back one sample, '?'
// shows and hides the help card.
void on_key(Session& session, unsigned char key, int x, int y);

// the keys without a character: End shows the last sample, F1 the help card as '?' does
void on_special_key(Session& session, int key, int x, int y);

// one tick of the window's timer while a run plays: shows the sample due now and asks for the
// next tick; a tick of an earlier play (generation) or of a paused one does nothing.
// reads: playback, dt_sample, n_sample; writes: anim_index, playback.playing
void play_tick(Session& session, int generation);

}  // namespace robosim
