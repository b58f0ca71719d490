// The key commands of the graphics window: back to the console dialogs, a new simulation with
// a changed selector, a change of the view, or the end of the program.
#include "app/keys.h"

#include "app/datafile.h"
#include "app/dialogs.h"
#include "app/experiment.h"
#include "app/report.h"
#include "model/parameters.h"
#include "platform/console_io.h"
#include "platform/window_system.h"
#include "platform/x_window.h"
#include "sim/simulate.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <chrono>
#include <cmath>

//------------------------------------------------------------------ helpers

constexpr double ZOOM_STEP = 0.9;         // 'w' multiplies, 'W' divides the robot scale by this (-)
constexpr unsigned char KEY_SPACE = ' ';  // plays and pauses
constexpr unsigned char KEY_BACKSPACE = 8;  // one sample back
constexpr unsigned char KEY_DELETE = 127;   // what some terminals' BackSpace sends: the same

//------------------------------------------------------------------ playback

// Playback shows the run at the simulated pace: sample k is due k * dt_sample after the start
// of play. Each tick of the window's timer shows the sample due now, whatever time the frames
// took, and asks for the next tick at the next sample's time; no loop waits in between.
struct Playback {
    bool playing = false;                              // a timer is showing the run
    int generation = 0;                                // ticks of an earlier play are ignored
    int start_sample = 0;                              // sample shown when play began
    std::chrono::steady_clock::time_point start_time;  // when play began
};

static Playback playback;

static void play_tick(int generation);

// plays from the sample shown, or from the start when the last one is shown
static void start_playing() {
    if (view_state.anim_index >= last_sample(params.settings)) {
        view_state.anim_index = 0;
    }
    playback.playing = true;
    ++playback.generation;
    playback.start_sample = view_state.anim_index;
    playback.start_time = std::chrono::steady_clock::now();
    start_window_timer(0, play_tick, playback.generation);
}

static void stop_playing() {
    playback.playing = false;
    ++playback.generation;  // a tick already asked for finds itself out of date
}

static void play_tick(int generation) {
    const OwnCode own;
    if (!playback.playing || generation != playback.generation || !window_is_open()) {
        return;  // a pause, a newer play, or a window destroyed by another client
    }
    const double dt = params.settings.dt_sample;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - playback.start_time)
            .count();
    const double due = dt > 0.0 ? std::floor(elapsed / dt) : 0.0;
    const int last = last_sample(params.settings);
    const int k =
        due >= last - playback.start_sample ? last : playback.start_sample + static_cast<int>(due);
    if (k != view_state.anim_index) {
        view_state.anim_index = k;
        display_frame(current_scene());
    }
    if (k >= last) {
        playback.playing = false;  // the run is over: the last sample stays
        return;
    }
    // the next sample's time, at least one millisecond on
    const double next = (k + 1 - playback.start_sample) * dt - elapsed;
    start_window_timer(static_cast<unsigned>(std::ceil(std::fmax(next, 0.001) * 1000.0)), play_tick,
                       generation);
}

// into the console dialogs, which re-derive, re-plan, re-simulate and reset the view; the
// window shows their results at its next display event. Keys typed into the window meanwhile
// are dropped: the user was answering on the console, and an ESC among them would end the
// program.
// writes: error_gain, anim_index
static void to_dialogs() {
    stop_playing();  // the console has the user's attention now
    params.settings.error_gain = params.settings.error_gain_default;
    view_state.anim_index = 0;
    console_dialogs();
    drop_window_keys();
    request_redraw();  // no expose event may come: show the new run at once
}

// a new run of the current robot with the derived model and plan as they stand, then a redraw;
// a run that was playing goes on playing the new run from its start.
// reads: robot_type, dt_sample, n_sample, cyl.theta0, scara.theta0; writes: the histories
static void resimulate() {
    const bool was_playing = playback.playing;
    stop_playing();
    view_state.anim_index = 0;
    if (params.settings.robot_type == 'a' || params.settings.robot_type == 'b') {
        told_unreachable = {};  // a new run tells its points again
        tell_unreachable(params, run_current_experiment(), false, &told_unreachable);
        told_unreachable = {};
    }
    display_frame(current_scene());
    if (was_playing) {
        start_playing();
    }
}

// shows sample k (limited to the run) at once, without playback
static void show_sample(int k) {
    stop_playing();
    view_state.anim_index = clamp_sample(params.settings, k);
    display_frame(current_scene());
}

static void toggle_help() {
    view_state.help_shown = !view_state.help_shown;
    display_frame(current_scene());
}

//------------------------------------------------------------------ callback

void on_key(unsigned char key, int /*x*/, int /*y*/) {
    const OwnCode own;  // dialogs and simulations: robosim's own allocations, checked
    last_key = static_cast<char>(key);
    switch (key) {
        // settings that need the console dialogs
        case 'a':
        case 'b':
            params.settings.robot_type = key;
            data_file_name.clear();  // no longer the experiment the file describes
            to_dialogs();
            break;
        case 'q':
        case 'p':
        case 'c':
            params.settings.motion = key;
            data_file_name.clear();
            to_dialogs();
            break;
        case 'r':
        case 'l':
        case 'm':
        case 'u':
        case 'k':
            to_dialogs();
            break;

        // selectors that need only a new simulation
        case 'g':
        case 'h':
            params.settings.gravity = key;
            if (params.settings.motion == 'c' && params.settings.cp == 4) {
                console_print("\n　　　只今計算中．．．．．．．");
            }
            resimulate();
            break;
        case 'v':
        case 'V':
            params.settings.fb_type = key;
            resimulate();
            break;
        case 'o':
            // the current settings into a robot data file that 'r' or a start-up reads back
            stop_playing();
            write_robot_file(params);
            drop_window_keys();
            request_redraw();
            break;
        case 'x':
            // the integration: the fixed step, or every switching of the gears located
            accurate_integration = !accurate_integration;
            console_print(accurate_integration
                              ? "\n精密積分：ギアと飽和の切替点をステップ内で求めます"
                              : "\n通常積分：固定刻みに戻します");
            resimulate();
            break;

        // the view
        case 's':
            show_sample(view_state.anim_index + 1);
            break;
        case '0':
            show_sample(0);
            break;
        case KEY_SPACE:
            if (playback.playing) {
                stop_playing();
            } else {
                start_playing();
            }
            break;
        case KEY_BACKSPACE:
        case KEY_DELETE:
            show_sample(view_state.anim_index - 1);
            break;
        case '?':
            toggle_help();
            break;
        case 't':
        case 'i':
            params.settings.graph_select = key;
            display_frame(current_scene());
            break;
        case 'w':
            view_state.robot_scale *= ZOOM_STEP;
            display_frame(current_scene());
            break;
        case 'W':
            view_state.robot_scale /= ZOOM_STEP;
            display_frame(current_scene());
            break;

        case KEY_ESC:
            close_window_and_exit(0);
        default:  // other keys do nothing beyond replacing last_key
            break;
    }
}

void on_special_key(int key, int /*x*/, int /*y*/) {
    const OwnCode own;
    if (key == WINDOW_KEY_END) {
        show_sample(last_sample(params.settings));
    } else if (key == WINDOW_KEY_F1) {
        toggle_help();
    }
}
