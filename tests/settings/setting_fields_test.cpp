// The settings one experiment differs in from another, as captions and legends name them.
#include "settings/setting_fields.h"

#include "planning/experiment.h"

#include <gtest/gtest.h>

#include <string>

using namespace robosim;

namespace {

struct Change {
    const char* robot_and_motion;  // robot_type, then motion (cp 2 with 'c')
    const char* name;              // as --set takes it
    const char* value;
    const char* named;  // what the difference reads
    bool robot_alone;   // a setting of the robot's own record, which the other robot lacks
};

class SettingDifferences : public ::testing::TestWithParam<Change> {};

// one setting changed is one difference, named in the file's units; the same setting of the
// other robot or of an unused motion record is none
TEST_P(SettingDifferences, NameTheOneSettingChanged) {
    const Change& c = GetParam();
    ParameterSet ps = {};
    set_defaults(ps);
    ps.settings.robot_type = c.robot_and_motion[0];
    ps.settings.motion = c.robot_and_motion[1];
    ps.settings.cp = 2;
    const Settings base = ps.settings;
    ASSERT_EQ(set_setting(ps.settings, c.name, c.value), "");
    const std::vector<SettingDifference> d = setting_differences(base, ps.settings);
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].text, c.named);

    Settings other = ps.settings;
    other.robot_type = c.robot_and_motion[0] == 'a' ? 'b' : 'a';
    Settings other_base = base;
    other_base.robot_type = other.robot_type;
    EXPECT_EQ(setting_differences(other_base, other).size(), c.robot_alone ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(, SettingDifferences,
                         ::testing::Values(Change{"ap", "fn1", "2", "fn1 2 Hz", false},
                                           Change{"bq", "L2w", "0.55", "L2w 0.55 m", true},
                                           Change{"bp", "eta_fwd2", "0.4", "eta_fwd2 0.4", true},
                                           Change{"ac", "rr", "0.5000001", "rr 0.5000001 m", false},
                                           Change{"ap", "zeta2", "0.5", "zeta2 0.5", false},
                                           Change{"bc", "gravity", "h", "gravity off", false}));

}  // namespace
