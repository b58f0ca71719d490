#include "view/view_state.h"

ViewState view_state = {};

void reset_view_state() {
    view_state.anim_index = 0;
    view_state.robot_scale = 1.0;
    view_state.view_error_gain = 10.0;
}
