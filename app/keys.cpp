// The key commands of the graphics window: back to the console dialogs, a new simulation with
// a changed selector, a change of the view, or the end of the program.
#include "app/keys.h"

#include "app/datafile.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "app/session.h"
#include "app/window.h"
#include "model/parameters.h"
#include "platform/console_io.h"
#include "platform/window_system.h"
#include "platform/x_window.h"
#include "sim/simulate.h"
#include "view/frame.h"
#include "view/graphs.h"
#include "view/robot_view.h"
#include "view/view_state.h"

#include <chrono>
#include <cmath>

namespace robosim {

//------------------------------------------------------------------ helpers

constexpr double ZOOM_STEP = 0.9;         // 'w' multiplies, 'W' divides the robot scale by this (-)
constexpr unsigned char KEY_SPACE = ' ';  // plays and pauses
constexpr unsigned char KEY_BACKSPACE = 8;  // one sample back
constexpr unsigned char KEY_DELETE = 127;   // what some terminals' BackSpace sends: the same
// keys '1' .. '4' make playback take this many times the simulated time (1/8 .. 1 of its pace)
constexpr int PACE_SLOWDOWN[] = {8, 4, 2, 1};

//------------------------------------------------------------------ playback

// plays from the sample shown, or from the start when the last one is shown
static void start_playing(Session& session) {
    ViewState& view = session.view;
    Playback& playback = session.playback;
    if (view.anim_index >= last_sample(session.experiment.settings)) {
        view.anim_index = 0;
    }
    playback.playing = true;
    ++playback.generation;
    playback.start_sample = view.anim_index;
    playback.start_time = std::chrono::steady_clock::now();
    start_window_timer(0, on_play_timer, playback.generation);
}

// the robot view fitted to the runs shown (scale and shift), or back to the dialogs' view
static void fit_view(Session& session, bool fitted) {
    ViewState& view = session.view;
    const ViewState start = initial_view_state();
    const ViewFit fit = fitted ? fit_robot_view(current_scene(session))
                               : ViewFit{start.robot_scale, start.view_shift};
    view.robot_scale = fit.scale;
    view.view_shift = fit.shift;
    view.fitted = fitted;
}

// into the console dialogs, which re-derive, re-plan, re-simulate and reset the view; the
// window shows their results at its next display event. Keys typed into the window meanwhile
// are dropped: the user was answering on the console, and an ESC among them would end the
// program.
// writes: error_gain, anim_index
static void to_dialogs(Session& session) {
    leave_window(session);  // the console has the user's attention now
    console_dialogs(session);
    drop_window_keys();
    request_redraw();  // no expose event may come: show the new run at once
}

// a new run of the current robot with the derived model and plan as they stand, then a redraw;
// a run that was playing goes on playing the new run from its start.
// reads: robot_type, dt_sample, n_sample, cyl.theta0, scara.theta0; writes: the histories
static void resimulate(Session& session) {
    const bool was_playing = session.playback.playing;
    stop_playing(session.playback);
    session.view.anim_index = 0;
    const int robot_type = session.experiment.settings.robot_type;
    if (robot_type == 'a' || robot_type == 'b') {
        session.told_unreachable = {};  // a new run tells its points again
        tell_unreachable(session.experiment, run_current_experiment(session), false,
                         &session.told_unreachable);
        session.told_unreachable = {};
    }
    if (session.view.fitted) {
        fit_view(session, true);  // the new run whole as well
    }
    display_frame(current_scene(session));
    if (was_playing) {
        start_playing(session);
    }
}

// shows sample k (limited to the run) at once, without playback
static void show_sample(Session& session, int k) {
    stop_playing(session.playback);
    session.view.anim_index = clamp_sample(session.experiment.settings, k);
    display_frame(current_scene(session));
}

// the caption names what differs from the defaults once the file's experiment is left
static void forget_data_file(Session& session) {
    session.data_file_name.clear();
    session.caption_base = default_settings();
}

static void toggle_help(Session& session) {
    session.view.help_shown = !session.view.help_shown;
    display_frame(current_scene(session));
}

//------------------------------------------------------------------ callback

void on_key(Session& session, unsigned char key, int /*x*/, int /*y*/) {
    const OwnCode own;  // dialogs and simulations: robosim's own allocations, checked
    Settings& s = session.experiment.settings;
    ViewState& view = session.view;
    session.last_key = static_cast<char>(key);
    switch (key) {
        // settings that need the console dialogs
        case 'a':
        case 'b':
            s.robot_type = key;
            forget_data_file(session);  // no longer the experiment the file describes
            to_dialogs(session);
            break;
        case 'q':
        case 'p':
        case 'c':
            s.motion = key;
            forget_data_file(session);
            to_dialogs(session);
            break;
        case 'r':
        case 'l':
        case 'm':
        case 'u':
        case 'k':
            to_dialogs(session);
            break;

        // selectors that need only a new simulation
        case 'g':
        case 'h':
            s.gravity = key;
            if (s.motion == 'c' && s.cp == 4) {
                console_print("\n　　　只今計算中．．．．．．．");
            }
            resimulate(session);
            break;
        case 'v':
        case 'V':
            s.fb_type = key;
            resimulate(session);
            break;
        case 'o':
            // the current settings into a robot data file that 'r' or a start-up reads back
            stop_playing(session.playback);
            write_robot_file(session.experiment);
            drop_window_keys();
            request_redraw();
            break;
        case 'x':
            // the integration: the fixed step, or every switching of the gears located
            session.accurate = !session.accurate;
            console_print(session.accurate ? "\n精密積分：ギアと飽和の切替点をステップ内で求めます"
                                           : "\n通常積分：固定刻みに戻します");
            resimulate(session);
            break;

        // runs kept for comparison
        case 'P': {
            const int slot = pin_current_run(session);
            console_print("\n比較用にこの結果を残しました（ピン %d）", slot + 1);
            display_frame(current_scene(session));
            break;
        }
        case 'U':
            drop_pins(session);
            console_print("\n比較用の結果をすべて外しました");
            display_frame(current_scene(session));
            break;
        case 'f':
            view.figures_shown = !view.figures_shown;
            display_frame(current_scene(session));
            break;
        case 'R':
            view.torque_own_range = !view.torque_own_range;
            display_frame(current_scene(session));
            break;

        // the view
        case 's':
            show_sample(session, view.anim_index + 1);
            break;
        case '0':
            show_sample(session, 0);
            break;
        case KEY_SPACE:
            if (session.playback.playing) {
                stop_playing(session.playback);
            } else {
                start_playing(session);
            }
            break;
        case '1':
        case '2':
        case '3':
        case '4':
            // a run that plays goes on from the sample shown, timed anew at the new pace
            view.slowdown = PACE_SLOWDOWN[key - '1'];
            if (session.playback.playing) {
                start_playing(session);
            }
            display_frame(current_scene(session));
            break;
        case KEY_BACKSPACE:
        case KEY_DELETE:
            show_sample(session, view.anim_index - 1);
            break;
        case '?':
            toggle_help(session);
            break;
        case 't':
        case 'i':
            s.graph_select = key;
            display_frame(current_scene(session));
            break;
        case 'w':
            view.robot_scale *= ZOOM_STEP;
            display_frame(current_scene(session));
            break;
        case 'W':
            view.robot_scale /= ZOOM_STEP;
            display_frame(current_scene(session));
            break;
        case 'z':
            fit_view(session, !view.fitted);
            display_frame(current_scene(session));
            break;

        case KEY_ESC:
            close_window_and_exit(0);
        default:  // other keys do nothing beyond replacing last_key
            break;
    }
}

void on_special_key(Session& session, int key, int /*x*/, int /*y*/) {
    const OwnCode own;
    if (key == WINDOW_KEY_END) {
        show_sample(session, last_sample(session.experiment.settings));
    } else if (key == WINDOW_KEY_F1) {
        toggle_help(session);
    }
}

void on_pointer(Session& session, const PointerEvent& event) {
    const OwnCode own;
    const Settings& s = session.experiment.settings;
    if (event.kind == PointerEvent::release) {
        session.time_drag.reset();
        return;
    }
    const Point2 p = window_point(event.x, event.y, event.width, event.height);
    if (event.kind == PointerEvent::press) {
        session.time_drag = graph_axis_at(s, p);
        if (session.time_drag) {
            show_sample(session, sample_at_x(s, *session.time_drag, p.x));
        }
    } else if (session.time_drag) {
        const int k = sample_at_x(s, *session.time_drag, p.x);
        if (k != session.view.anim_index || session.playback.playing) {
            show_sample(session, k);
        }
    }
}

void play_tick(Session& session, int generation) {
    const OwnCode own;
    Playback& playback = session.playback;
    ViewState& view = session.view;
    if (!playback.playing || generation != playback.generation || !window_is_open()) {
        return;  // a pause, a newer play, or a window destroyed by another client
    }
    // the time between two samples shown: the sample period, stretched for slow motion
    const double dt = session.experiment.settings.dt_sample * view.slowdown;
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - playback.start_time)
            .count();
    const double due = dt > 0.0 ? std::floor(elapsed / dt) : 0.0;
    const int last = last_sample(session.experiment.settings);
    const int k =
        due >= last - playback.start_sample ? last : playback.start_sample + static_cast<int>(due);
    if (k != view.anim_index) {
        view.anim_index = k;
        display_frame(current_scene(session));
    }
    if (k >= last) {
        playback.playing = false;  // the run is over: the last sample stays
        return;
    }
    // the next sample's time, at least one millisecond on
    const double next = (k + 1 - playback.start_sample) * dt - elapsed;
    start_window_timer(static_cast<unsigned>(std::ceil(std::fmax(next, 0.001) * 1000.0)),
                       on_play_timer, generation);
}

}  // namespace robosim
