// app/keys.h: the key commands of the graphics window
#pragma once

#include "app/session.h"
#include "platform/x_window.h"

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
// dialogs stop it; g h v V x go on playing the new run), 1 2 3 4 set its pace to 1/8, 1/4,
// 1/2 and 1 of the simulated time (a run that plays goes on at the new pace from the sample
// shown), BackSpace steps back one sample, '?' shows and hides the help card. P pins the run
// shown for comparison (pin_current_run), U drops the pins, f shows and hides the response
// figures of the runs, R switches the torque plots between +/-Tmax and the runs' own range,
// z fits the robot view to the run and back.
void on_key(Session& session, unsigned char key, int x, int y);

// the keys without a character: End shows the last sample, F1 the help card as '?' does
void on_special_key(Session& session, int key, int x, int y);

// the left mouse button: a press on a graph (graph_axis_at) and a drag begun there show the
// sample at the pointer's time (the nearest, limited to the run), stopping playback; a press
// elsewhere does nothing. reads: the current run's graph geometry; writes: anim_index,
// time_drag, playback
void on_pointer(Session& session, const PointerEvent& event);

// one tick of the window's timer while a run plays: shows the sample due now and asks for the
// next tick; a tick of an earlier play (generation) or of a paused one does nothing.
// reads: playback, dt_sample, n_sample; writes: anim_index, playback.playing
void play_tick(Session& session, int generation);

}  // namespace robosim
