#include "tests/support/scenarios.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"

void load_scenario(int robot_type, int motion, int cp) {
    set_defaults(params);
    params.robot_type = robot_type;
    params.motion = motion;
    params.cp = cp;
    params.gravity = 'g';
    params.fb_type = 'V';
    update_derived(params);
}

void load_scenario_scara_sine() {
    load_scenario('b', 'c', 4);
}
