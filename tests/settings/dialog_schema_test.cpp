// The dialogs' table as a form uses it: what it shows reads back unchanged, and what it refuses
// it refuses whole, with the console's words.
#include "settings/dialog_schema.h"

#include "settings/experiment_settings.h"
#include "settings/setting_fields.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace robosim;

namespace {

using Answers = std::vector<std::pair<std::string, std::string>>;

Settings settings_of(char robot, char motion, int cp) {
    ParameterSet ps = {};
    set_start_defaults(ps);
    ps.settings.robot_type = robot;
    ps.settings.motion = motion;
    ps.settings.cp = cp;
    return ps.settings;
}

// the form as it is first shown: every selector and every value of the dialogs asked
Answers shown_answers(const Settings& s) {
    Answers answers;
    for (const DialogSelector& selector : dialog_selectors()) {
        answers.emplace_back(selector.name, std::string(1, selector_value(s, selector.name)));
    }
    for (const DialogSection& section : dialog_sections()) {
        for (const DialogField& field : section.fields) {
            if (section_asked(section, s)) {
                answers.emplace_back(field.setting, dialog_value_text(s, field.setting));
            }
        }
    }
    return answers;
}

class DialogForm : public ::testing::TestWithParam<std::tuple<char, const char*>> {};

// a form run as it was shown changes no setting, to the last bit, for every robot and motion
TEST_P(DialogForm, ShownValuesReadBackUnchanged) {
    const auto [robot, motion] = GetParam();
    Settings s = settings_of(robot, motion[0], motion[1] - '0');
    s.mw = 0.1 + 0.2;  // a value with no short decimal
    s.cyl.eta_fwd2 = 1.0 / 3.0;
    const Settings before = s;
    const DialogRefusal refusal = apply_dialog_answers(s, shown_answers(s));
    EXPECT_EQ(refusal.setting, "");
    EXPECT_TRUE(setting_differences(before, s).empty());
    EXPECT_EQ(s.mw, before.mw);
}

INSTANTIATE_TEST_SUITE_P(, DialogForm,
                         ::testing::Combine(::testing::Values('a', 'b'),
                                            ::testing::Values("q4", "p4", "c1", "c2", "c3", "c4")));

// The first refused answer in the dialogs' order is told in the console's words, and nothing of
// the form is applied, not even the answers before it; an answer of a dialog not asked (the
// other robot's arm) is not looked at.
TEST(DialogFormRefusal, FirstRefusedAnswerKeepsEverySetting) {
    struct Case {
        Answers answers;
        const char* setting;
        const char* message;
    };

    const Case cases[] = {
        {{{"gravity", "h"}, {"fn1", "3"}, {"scara.L1", "-1"}, {"scara.eta_fwd1", "2"}},
         "scara.L1",
         "L1 は0 より大きい数を入力してください"},
        {{{"scara.eta_fwd1", "1.5"}, {"sine.tf", "0"}},
         "scara.eta_fwd1",
         "η1 は0 より大きく 1 以下の数を入力してください"},
        {{{"alpha2", "1e999"}}, "alpha2", "α2 は有限の数を入力してください"},
        {{{"sine.A", "0.1m"}}, "sine.A", "A は有限の数を入力してください"},
        {{{"fb_type", "x"}}, "fb_type", "v, V のどちらかを入力してください"},
        {{{"cp", "5"}}, "cp", "cp は 1, 2, 3, 4 のどれかを入力してください"},
        {{{"cyl.L", "-1"}, {"circle.rr", "-1"}, {"mw", "2"}}, "", ""},
    };
    for (const Case& c : cases) {
        Settings s = settings_of('b', 'c', 4);
        const Settings before = s;
        const DialogRefusal refusal = apply_dialog_answers(s, c.answers);
        EXPECT_EQ(refusal.setting, c.setting);
        EXPECT_EQ(refusal.message, c.message);
        EXPECT_EQ(setting_differences(before, s).size(), c.setting[0] == '\0' ? 1u : 0u)
            << c.setting;
    }
}

// the gains' dialog asks at damping ratio 1, as the console's does
TEST(DialogFormRefusal, GainsAnsweredSetDampingRatioOne) {
    Settings s = settings_of('a', 'p', 1);
    s.zeta1 = s.zeta2 = 0.5;
    EXPECT_EQ(apply_dialog_answers(s, {{"fn1", "2"}}).setting, "");
    EXPECT_EQ(s.zeta1, 1.0);
    EXPECT_EQ(s.zeta2, 1.0);
}

}  // namespace
