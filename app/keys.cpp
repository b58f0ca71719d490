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


//------------------------------------------------------------------ helpers

constexpr double ZOOM_STEP = 0.9;  // 'w' multiplies, 'W' divides the robot scale by this (-)

// into the console dialogs, which re-derive, re-plan, re-simulate and reset the view; the
// window shows their results at its next display event. Keys typed into the window meanwhile
// are dropped: the user was answering on the console, and an ESC among them would end the
// program.
// writes: error_gain, anim_index
static void to_dialogs() {
    params.settings.error_gain = params.settings.error_gain_default;
    view_state.anim_index = 0;
    console_dialogs();
    drop_window_keys();
}

// a new run of the current robot with the derived model and plan as they stand, then a redraw
// reads: robot_type, dt_sample, n_sample, cyl.theta0, scara.theta0; writes: the histories
static void resimulate() {
    view_state.anim_index = 0;
    if (params.settings.robot_type == 'a' || params.settings.robot_type == 'b') {
        told_unreachable = {};  // a new run tells its points again
        tell_unreachable(params, run_current_experiment(), false, &told_unreachable);
        told_unreachable = {};
    }
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
            to_dialogs();
            break;
        case 'q':
        case 'p':
        case 'c':
            params.settings.motion = key;
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
            write_robot_file(params);
            drop_window_keys();
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
            view_state.anim_index = clamp_sample(params.settings, view_state.anim_index + 1);
            display_frame(current_scene());
            break;
        case '0':
            view_state.anim_index = 0;
            display_frame(current_scene());
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
