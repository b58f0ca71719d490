// settings/experiment_settings.cpp: an experiment made by name
#include "settings/experiment_settings.h"

#include "planning/experiment.h"
#include "settings/setting_fields.h"

#include <cmath>
#include <cstdio>

namespace robosim {

void set_start_defaults(ParameterSet& ps) {
    set_defaults(ps);
    ps.settings.robot_type = DEFAULT_ROBOT_TYPE;
    ps.settings.motion = DEFAULT_MOTION;
    ps.settings.cp = DEFAULT_CP;
    ps.settings.gravity = DEFAULT_GRAVITY;
    ps.settings.fb_type = DEFAULT_FB_TYPE;
}

size_t apply_named_settings(Settings& s, const std::vector<NamedSetting>& sets, std::string* why) {
    for (const bool selectors : {true, false}) {
        for (size_t i = 0; i < sets.size(); ++i) {
            const auto& [name, value] = sets[i];
            if (is_selector_setting(name) != selectors) {
                continue;
            }
            const std::string reason = set_setting(s, name, value);
            if (!reason.empty()) {
                if (why != nullptr) {
                    *why = reason;
                }
                return i;
            }
        }
    }
    if (!sets.empty()) {
        derive_circle_ends(s.circle);
        derive_sine_end(s.sine);
    }
    return sets.size();
}

const char* damping_not_in_file(const Settings& s) {
    return s.zeta1 != 1.0 ? "zeta1" : s.zeta2 != 1.0 ? "zeta2" : nullptr;
}

std::string unreachable_point_text(const Settings& s, const Point2& p) {
    // metres to the millimetre; a length beyond any workshop in the exponent form rather than in
    // three hundred digits
    const auto m = [](double v) {
        char text[40];
        std::snprintf(text, sizeof text, std::fabs(v) < 1e9 ? "%.3f" : "%.3e", v);
        return std::string(text);
    };
    const double L2w = scara_L2w(s);
    return "the point (" + m(p.x) + ", " + m(p.y) + ") m is out of the SCARA robot's reach ("
           + m(std::hypot(p.x, p.y)) + " m from joint 1; the arms reach "
           + m(std::fabs(s.scara.L1 - L2w)) + " .. " + m(s.scara.L1 + L2w) + " m)";
}

}  // namespace robosim
