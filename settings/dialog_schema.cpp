// The console dialogs' settings as a table. The titles and the prompts' names are the console's
// own; a form made from it asks what the console asks, in the same order, and refuses what the
// console refuses with the console's message.
#include "settings/dialog_schema.h"

#include "settings/messages_ja.h"
#include "settings/setting_fields.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace robosim {

//------------------------------------------------------------------ table

// clang-format off
static const DialogChoice ROBOTS[] = {
    {'a', "円筒座標ロボット", "cylindrical-coordinate robot"},
    {'b', "SCARAロボット", "SCARA robot"}};
static const DialogChoice GRAVITY[] = {
    {'g', "重力有り(垂直運動）", "gravity on (vertical motion)"},
    {'h', "重力なし(水平運動)", "gravity off (horizontal motion)"}};
static const DialogChoice FEEDBACK[] = {
    {'v', "速度FB", "velocity feedback"},
    {'V', "速度誤差FB", "velocity-error feedback"}};
static const DialogChoice MOTIONS[] = {
    {'q', "PTP(step入力)", "PTP, step command"},
    {'p', "PTP(台形速度入力)", "PTP, trapezoidal velocity"},
    {'c', "CP", "CP, along a path"}};
static const DialogChoice PATHS[] = {
    {'1', "直線", "line"}, {'2', "円", "circle"}, {'3', "U字形", "inverted U"}, {'4', "正弦波", "sine"}};

static const DialogSelector SELECTORS[] = {
    {"robot_type", "(1-1) ロボットの選択", "Robot", ROBOTS},
    {"gravity", "(1-5) 重力有り(垂直運動）・なし(水平運動)の選択", "Gravity", GRAVITY},
    {"fb_type", "(2-2) 速度FB・速度誤差FBの選択", "Velocity feedback", FEEDBACK},
    {"motion", "(3-1) 運動パターンの選択", "Motion", MOTIONS},
    {"cp", "(3-2) CP 軌道の選択", "CP path", PATHS},
};

static const DialogField ARM_CYL[] = {{"cyl.L", "L", "アーム長", "arm length"}};
static const DialogField ARM_SCARA[] = {
    {"scara.L1", "L1", "アーム長 L1", "link 1, joint 1 to joint 2"},
    {"scara.L2w", "L2", "アーム長 L2", "joint 2 to the work"}};
static const DialogField WORK[] = {{"mw", "mw", "ワーク質量", "work mass"}};
static const DialogField MOTOR_CYL[] = {
    {"cyl.PW1", "PW1", "モータパワー PW1", "motor 1 power"},
    {"cyl.PW2", "PW2", "モータパワー PW2", "motor 2 power"}};
static const DialogField MOTOR_SCARA[] = {
    {"scara.PW1", "PW1", "モータパワー PW1", "motor 1 power"},
    {"scara.PW2", "PW2", "モータパワー PW2", "motor 2 power"}};
static const DialogField GEAR_CYL[] = {
    {"cyl.u1", "u1", "回転関節減速比", "revolute joint: reduction ratio"},
    {"cyl.eta_fwd1", "η1", "回転関節効率", "revolute joint: efficiency"},
    {"cyl.u2", "u2", "直動関節減速比", "prismatic joint: reduction ratio (rad/m)"},
    {"cyl.eta_fwd2", "η2", "直動関節効率", "prismatic joint: efficiency"}};
static const DialogField GEAR_SCARA[] = {
    {"scara.u1", "u1", "第１関節減速比", "joint 1: reduction ratio"},
    {"scara.eta_fwd1", "η1", "第１関節効率", "joint 1: efficiency"},
    {"scara.u2", "u2", "第２関節減速比", "joint 2: reduction ratio"},
    {"scara.eta_fwd2", "η2", "第２関節効率", "joint 2: efficiency"}};
static const DialogField GAINS[] = {
    {"fn1", "fn1", "回転関節制御系 固有振動数", "joint 1 loop: natural frequency"},
    {"alpha1", "α1", "回転関節制御系 α", "joint 1 loop: third pole (0: PD)"},
    {"fn2", "fn2", "直動関節制御系 固有振動数", "joint 2 loop: natural frequency"},
    {"alpha2", "α2", "直動関節制御系 α", "joint 2 loop: third pole (0: PD)"}};
static const DialogField STEP[] = {
    {"step.x0", "x0", "始点 x0", "start x"}, {"step.y0", "y0", "始点 y0", "start y"},
    {"step.xf", "xf", "終点 xf", "end x"},   {"step.yf", "yf", "終点 yf", "end y"}};
static const DialogField TRAP[] = {
    {"trap.x0", "x0", "始点 x0", "start x"}, {"trap.y0", "y0", "始点 y0", "start y"},
    {"trap.xf", "xf", "終点 xf", "end x"},   {"trap.yf", "yf", "終点 yf", "end y"},
    {"trap.tf", "tf", "位置決め時間", "motion time"}};
static const DialogField LINE[] = {
    {"line.x0", "x0", "始点 x0", "start x"}, {"line.y0", "y0", "始点 y0", "start y"},
    {"line.xf", "xf", "終点 xf", "end x"},   {"line.yf", "yf", "終点 yf", "end y"},
    {"line.tf", "tf", "位置決め時間", "motion time"}};
static const DialogField CIRCLE[] = {
    {"circle.Ox", "Ox", "円の中心 Ox", "centre x"}, {"circle.Oy", "Oy", "円の中心 Oy", "centre y"},
    {"circle.rr", "r", "半径", "radius"},          {"circle.tf", "tf", "位置決め時間", "motion time"}};
static const DialogField UCURVE[] = {
    {"ucurve.x0", "x0", "始点 x0", "start x"},    {"ucurve.y0", "y0", "始点 y0", "start y"},
    {"ucurve.xf", "xf", "終点 xf", "end x"},      {"ucurve.yf", "yf", "終点 yf", "end y"},
    {"ucurve.tf", "tf", "位置決め時間", "motion time"},
    {"ucurve.x1", "x1", "中間点1 x1", "bend P1 x"}, {"ucurve.y1", "y1", "中間点1 y1", "bend P1 y"},
    {"ucurve.x2", "x2", "中間点2 x2", "bend P2 x"}, {"ucurve.y2", "y2", "中間点2 y2", "bend P2 y"}};
static const DialogField SINE[] = {
    {"sine.x0", "x0", "始点 x0", "start x"}, {"sine.y0", "y0", "始点 y0", "start y"},
    {"sine.L", "L", "波長", "wavelength"},   {"sine.A", "A", "振幅", "amplitude"},
    {"sine.tf", "tf", "位置決め時間", "motion time"}};

static const DialogSection SECTIONS[] = {
    {"arm", 'l', "(1-1) ロボットアーム長変更", "Arm length", {{"robot_type", 'a'}}, ARM_CYL},
    {"arm", 'l', "(1-1) ロボットアーム長変更", "Arm length", {{"robot_type", 'b'}}, ARM_SCARA},
    {"work", 'l', "(1-2) ワーク質量", "Work", {}, WORK},
    {"motor", 'm', "(1-3) モータパワー変更", "Motor power", {{"robot_type", 'a'}}, MOTOR_CYL},
    {"motor", 'm', "(1-3) モータパワー変更", "Motor power", {{"robot_type", 'b'}}, MOTOR_SCARA},
    {"gear", 'u', "(1-4) 減速機の減速比・伝達効率変更", "Reduction gears", {{"robot_type", 'a'}}, GEAR_CYL},
    {"gear", 'u', "(1-4) 減速機の減速比・伝達効率変更", "Reduction gears", {{"robot_type", 'b'}}, GEAR_SCARA},
    {"gains", 'k', "(2-1) PID(PD)フィードバックゲイン変更", "Control gains (damping ratio 1)", {}, GAINS},
    {"step", 'q', "(3-1) PTP(step入力指令）", "PTP step command", {{"motion", 'q'}}, STEP},
    {"trap", 'p', "(3) PTP(台形速度入力）", "PTP trapezoidal velocity", {{"motion", 'p'}}, TRAP},
    {"line", 'c', "(3-3-1) 直線軌道", "CP line", {{"motion", 'c'}, {"cp", '1'}}, LINE},
    {"circle", 'c', "(3-3-2) 円軌道  右端から反時計回りに１周", "CP circle, once round from its right-most point",
     {{"motion", 'c'}, {"cp", '2'}}, CIRCLE},
    {"ucurve", 'c', "(3-3-3) 逆Ｕ字軌道 垂直上昇－半円－垂直下降軌道", "CP inverted U: up, half circle, down",
     {{"motion", 'c'}, {"cp", '3'}}, UCURVE},
    {"sine", 'c', "(3-3-4) 正弦波軌道 y=A*sin(2π(x-x0)/L)+y0", "CP sine, one wavelength",
     {{"motion", 'c'}, {"cp", '4'}}, SINE},
};

// clang-format on

std::span<const DialogSelector> dialog_selectors() {
    return SELECTORS;
}

std::span<const DialogSection> dialog_sections() {
    return SECTIONS;
}

char selector_value(const Settings& s, const char* selector) {
    return selector_key(s, selector);
}

bool section_asked(const DialogSection& section, const Settings& s) {
    for (const DialogCondition& c : section.when) {
        if (c.selector != nullptr && selector_value(s, c.selector) != c.value) {
            return false;
        }
    }
    return true;
}

std::string dialog_value_text(const Settings& s, const char* setting) {
    const double v = setting_file_value(s, setting);
    char text[40];
    // the fewest digits that read back to the same value: 0.35, not 0.34999999999999998
    for (int digits = 1; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strtod(text, nullptr) == v) {
            break;
        }
    }
    return text;
}

//------------------------------------------------------------------ answers

// the answer named name, or nullptr
static const std::string* answer_of(const std::vector<std::pair<std::string, std::string>>& answers,
                                    const char* name) {
    const std::string* found = nullptr;
    for (const auto& [n, text] : answers) {
        if (n == name) {
            found = &text;  // the last of several, as the command line takes them
        }
    }
    return found;
}

DialogRefusal
apply_dialog_answers(Settings& s, const std::vector<std::pair<std::string, std::string>>& answers) {
    Settings next = s;
    for (const DialogSelector& selector : SELECTORS) {
        const std::string* text = answer_of(answers, selector.name);
        if (text == nullptr) {
            continue;
        }
        bool known = false;  // one of its keys, and nothing else
        for (const DialogChoice& choice : selector.choices) {
            known = known || (text->size() == 1 && (*text)[0] == choice.value);
        }
        if (!known || !set_setting(next, selector.name, *text).empty()) {
            return {selector.name, selector_refusal_text_ja(selector.name)};
        }
    }
    bool gains = false;
    for (const DialogSection& section : SECTIONS) {
        if (!section_asked(section, next)) {
            continue;
        }
        for (const DialogField& field : section.fields) {
            const std::string* text = answer_of(answers, field.setting);
            if (text == nullptr) {
                continue;
            }
            gains = gains || std::strcmp(section.id, "gains") == 0;
            const SettingRule rule = setting_rule(field.setting);
            double v = 0.0;
            if (read_number_word(*text, &v) != NumberWord::number
                || !value_allowed(rule, v, next)) {
                return {field.setting, refusal_text_ja(field.prompt, rule, next)};
            }
            store_setting(next, field.setting, v);
        }
    }
    if (gains) {
        next.zeta1 = next.zeta2 = 1.0;  // the dialog asks for fn and alpha at damping ratio 1
    }
    derive_circle_ends(next.circle);
    derive_sine_end(next.sine);
    s = next;
    return {};
}

}  // namespace robosim
