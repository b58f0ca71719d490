#include "view/view_state.h"

#include "model/parameters.h"
#include "sim/history.h"

ViewState view_state = {};

void reset_view_state() {
    view_state.anim_index = 0;
    view_state.robot_scale = 1.0;
    view_state.view_error_gain = 10.0;
}

// a run never records beyond the history, whatever n_sample a data file asks for
int last_sample() {
    if (params.n_sample < 0) {
        return 0;
    }
    return params.n_sample < HISTORY_LEN ? params.n_sample : HISTORY_LEN - 1;
}

int clamp_sample(int k) {
    const int last = last_sample();
    if (k < 0) {
        return 0;
    }
    return k > last ? last : k;
}
