// The program's current experiment: its settings, model and plan, the last run of each robot
// and what the window shows of it.
#include "app/experiment.h"

#include "sim/accurate.h"
#include "sim/simulate.h"

ParameterSet params = {};
HistorySet history_cyl = {};
HistorySet history_scara = {};
ViewState view_state = {};
bool accurate_integration = false;
ReachReport told_unreachable = {};
std::string data_file_name;

HistorySet* history_of(int robot_type) {
    return robot_type == 'b' ? &history_scara : &history_cyl;
}

Scene current_scene() {
    return Scene{params,     history_cyl,          history_scara,
                 view_state, accurate_integration, data_file_name.c_str()};
}

ReachReport run_current_experiment() {
    const int rt = params.settings.robot_type;
    const Settings& s = params.settings;
    const double* theta0 = robot_of(params.plan, rt).theta0;
    if (accurate_integration) {
        return simulate_accurate(params, history_of(rt), rt, s.dt_sample, s.n_sample, theta0,
                                 STEPS_PER_SAMPLE);
    }
    return simulate(params, history_of(rt), rt, s.dt_sample, s.n_sample, theta0);
}
