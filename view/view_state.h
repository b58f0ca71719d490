// view/view_state.h: what the window shows of the last simulation, changed only by keys
#pragma once

#include "model/parameters.h"

namespace robosim {

struct ViewState {
    int anim_index;              // sample whose pose and curves are shown, 0 .. n_sample   (-)
    double robot_scale;          // zoom of the robot view about the window centre          (-)
    double view_error_gain;      // magnification of the position error marker             (-)
    bool help_shown = false;     // the panel that lists every key is drawn over the robot view
    bool figures_shown = false;  // the response figures of the runs over the robot view
    // the torque plots span the runs' own largest torque rather than motor 1's maximum
    bool torque_own_range = false;
    int slowdown = 1;  // playback takes this many times the simulated time: 1, 2, 4 or 8 (-)
    // added to view_origin before scaling: a robot-space point p is shown at
    // robot_scale * (view_origin + view_shift + p); zero in the view the dialogs return to
    Point2 view_shift = {0.0, 0.0};  // (m)
    bool fitted = false;  // robot_scale and view_shift were fitted to the runs (key z, --fit)
};

// the drawing screen as the console dialogs return to it: sample 0, scale 1.0, error gain 10.0
ViewState initial_view_state();

//------------------------------------------------------------------ sample limits
// the last sample a run records and the views may read: n_sample, but never beyond the
// history length nor below 0
int last_sample(const Settings& s);

// k limited to 0 .. last_sample(s), the only samples the views may index
int clamp_sample(const Settings& s, int k);

}  // namespace robosim
