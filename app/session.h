// app/session.h: the interactive program's state, one value handed to the dialogs, the keys and
// the window: the current experiment, the last run of each robot and what the window shows of it
#pragma once

#include "planning/kinematics.h"
#include "planning/plan.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "view/scene.h"
#include "view/view_state.h"

#include <chrono>
#include <memory>
#include <optional>
#include <string>

namespace robosim {

//------------------------------------------------------------------ types
// Playback shows the run at the simulated pace, or slowed down by view.slowdown: sample k is due
// (k - start_sample) * dt_sample * slowdown after the start of play. Each tick of the window's
// timer shows the sample due now, whatever time the frames took, and asks for the next tick at the
// next sample's time; no loop waits in between.
struct Playback {
    bool playing = false;                              // a timer is showing the run
    int generation = 0;                                // ticks of an earlier play are ignored
    int start_sample = 0;                              // sample shown when play began
    std::chrono::steady_clock::time_point start_time;  // when play began
};

// the experiment's settings as set_defaults makes them
Settings default_settings();

// a run kept beside the current one for comparison: what was run and what it recorded
struct PinnedRun {
    ParameterSet experiment = {};
    std::unique_ptr<HistorySet> history;
    bool accurate = false;
    AccurateStats accurate_stats = {};
    std::string source;  // the data file it was read from, "" none
    long order = 0;      // when it was pinned: the oldest gives way to a fifth pin
};

// Everything the interactive program keeps from one key or dialog to the next. One is made
// at the program's start and lives to its end.
struct Session {
    ParameterSet experiment = {};  // the current experiment; zero until start-up sets defaults
    // the last run of each robot, zero at start; a run overwrites only its own robot's set
    std::unique_ptr<HistorySet> history_cyl = std::make_unique<HistorySet>();    // type != 'b'
    std::unique_ptr<HistorySet> history_scara = std::make_unique<HistorySet>();  // type == 'b'
    ViewState view = {};    // what the window shows of the last run; zero until the dialogs return
    bool accurate = false;  // runs integrated in the accurate mode (key x)
    AccurateStats accurate_stats = {};  // what the last accurate run met, for the status lines
    // the robot data file the experiment was last read from, for the window's caption line;
    // empty when it was chosen by keys
    std::string data_file_name;
    ReachReport told_unreachable = {};  // SCARA points out of reach told for the coming run
    // the key that sent the user into the console dialogs; it chooses the first dialog
    char last_key = {};
    Playback playback = {};  // the window's play of the run
    // the start of the time axis (window) a drag with the left button moves the sample along,
    // from the press on a graph to the release; none while no such drag goes on
    std::optional<double> time_drag;
    // the runs pinned for comparison, each in the style of its slot; shown under the current
    // run while it is of the same robot. Kept through new runs and the dialogs.
    std::unique_ptr<PinnedRun> pins[MAX_PINNED_RUNS];
    long pins_made = 0;  // pins made so far, for their order
    // the settings the caption tells the current experiment's differences from: the data file's
    // as read, or the defaults
    Settings caption_base = default_settings();
};

//------------------------------------------------------------------ runs and scenes
// the history set of a robot type: 'b' the SCARA set, every other type the cylindrical set
HistorySet& history_of(Session& session, int robot_type);

// the current experiment as the view draws it
Scene current_scene(const Session& session);

// pins the current run into the first free slot, or the oldest pin's when all are taken;
// returns the slot
int pin_current_run(Session& session);

// drops every pin
void drop_pins(Session& session);

//------------------------------------------------------------------ playback
// stops the play of the run; a tick already asked for finds itself out of date
void stop_playing(Playback& playback);

// what the window leaves as it is when the user turns to the settings (the console dialogs,
// the page's form): playback stops, a drag ends (the button's release may never reach the
// window), the error gain returns to its default and the run is shown from its start.
// writes: playback, time_drag, error_gain, anim_index
void leave_window(Session& session);

// one run of the current robot ('a' or 'b') into its history set, in the integration chosen;
// returns the run's unreachable point for the program to tell.
// reads: experiment, accurate; writes: the robot's history set, accurate_stats
ReachReport run_current_experiment(Session& session);

}  // namespace robosim
