// The parameter set: the programs' current experiment and the robot records of a set.
#include "model/parameters.h"

ParameterSet params = {};

// clang-format off
const char cp_names[CP_NAME_COUNT][CP_NAME_SIZE] = {
    "cp\n", "straight line\n", "circle\n", "U-curve\n", "sinecurve\n",
};

// clang-format on

//------------------------------------------------------------------ default values
RobotRecord* robot_record(ParameterSet& p, int robot_type) {
    return robot_type == 'b' ? &p.scara : &p.cyl;
}

const RobotRecord* robot_record(const ParameterSet& p, int robot_type) {
    return robot_type == 'b' ? &p.scara : &p.cyl;
}
