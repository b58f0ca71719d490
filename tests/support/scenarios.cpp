#include "tests/support/scenarios.h"

#include "planning/experiment.h"

using namespace robosim;

ParameterSet scenario(int robot_type, int motion, int cp) {
    ParameterSet ps{};
    set_defaults(ps);
    ps.settings.robot_type = robot_type;
    ps.settings.motion = motion;
    ps.settings.cp = cp;
    ps.settings.gravity = 'g';
    ps.settings.fb_type = 'V';
    update_derived(ps);
    return ps;
}

ParameterSet scenario_scara_sine() {
    return scenario('b', 'c', 4);
}
