// The fixed tables of the settings.
#include "model/parameters.h"

namespace robosim {

// clang-format off
const char cp_names[CP_NAME_COUNT][CP_NAME_SIZE] = {
    "cp\n", "straight line\n", "circle\n", "U-curve\n", "sinecurve\n",
};

// clang-format on

}  // namespace robosim
