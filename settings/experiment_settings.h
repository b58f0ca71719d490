// settings/experiment_settings.h: an experiment made by name, as the batch tool and the Python
// module make one: the start-up's default answers, settings applied by name (selectors first),
// and what a finished experiment may not do, in English words
#pragma once

#include "planning/kinematics.h"
#include "planning/plan.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace robosim {

// the start-up's default answers: the SCARA robot on the sine path, gravity on, fb V
constexpr int DEFAULT_ROBOT_TYPE = 'b';
constexpr int DEFAULT_MOTION = 'c';
constexpr int DEFAULT_CP = 4;
constexpr int DEFAULT_GRAVITY = 'g';
constexpr int DEFAULT_FB_TYPE = 'V';

// set_defaults with the start-up's default answers: the experiment of a run with nothing given.
// writes: ps whole (not derived: update_derived makes it ready)
void set_start_defaults(ParameterSet& ps);

// a setting by name and its value as text, as --set takes them
using NamedSetting = std::pair<std::string, std::string>;

// sets each of sets as set_setting does, the selectors first (they decide which robot and record
// the plain names mean), then the others in order; a circle or sine given anew derives its ends
// as its file would. Returns sets.size(), or the index of the first setting refused, with the
// reason in why (when given); the settings before it stay set.
size_t apply_named_settings(Settings& s, const std::vector<NamedSetting>& sets,
                            std::string* why = nullptr);

// the damping ratio a robot data file cannot hold (it would read back as 1.0): "zeta1" or
// "zeta2", or nullptr when both are 1.0
const char* damping_not_in_file(const Settings& s);

// one line naming a point out of the SCARA robot's reach: "the point (0.900, 0.300) m is out of
// the SCARA robot's reach (0.949 m from joint 1; the arms reach 0.000 .. 0.800 m)"
std::string unreachable_point_text(const Settings& s, const Point2& p);

}  // namespace robosim
