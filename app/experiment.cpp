// The program's current experiment: its settings, model and plan, the last run of each robot
// and what the window shows of it.
#include "app/experiment.h"

ParameterSet params = {};
HistorySet history_cyl = {};
HistorySet history_scara = {};
ViewState view_state = {};

HistorySet* history_of(int robot_type) {
    return robot_type == 'b' ? &history_scara : &history_cyl;
}

Scene current_scene() {
    return Scene{params, history_cyl, history_scara, view_state};
}
