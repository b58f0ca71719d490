// The settings by name. One table holds every numeric setting a robot data file can hold, and
// the damping ratios, which no file holds (the dialogs set them to 1): its name, unit, meaning,
// rule, the records that hold it and how its typed value is stored, so that the command line,
// the help text, the dialogs and the data file all say the same.
#include "settings/setting_fields.h"

#include <cassert>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace robosim {

//------------------------------------------------------------------ rules

bool value_allowed(SettingRule rule, double v, const Settings& s) {
    if (!std::isfinite(v)) {
        return false;
    }
    switch (rule) {
        case SettingRule::finite:
            return true;
        case SettingRule::frequency:
            return std::fabs(v) <= MAX_FREQUENCY_HZ;
        case SettingRule::non_negative:
            return v >= 0.0;
        case SettingRule::positive:
            return v > 0.0;
        case SettingRule::efficiency:
            return v > 0.0 && v <= 1.0;
        case SettingRule::beyond_wc:
            return v - s.wc > 0.0;
    }
    return false;
}

std::string rule_text(SettingRule rule, const Settings& s) {
    switch (rule) {
        case SettingRule::finite:
            return "a finite number";
        case SettingRule::frequency: {
            char text[64];
            std::snprintf(text, sizeof text, "|fn| <= %g", MAX_FREQUENCY_HZ);
            return text;
        }
        case SettingRule::non_negative:
            return "a number >= 0";
        case SettingRule::positive:
            return "a number > 0";
        case SettingRule::efficiency:
            return "a number > 0 and <= 1";
        case SettingRule::beyond_wc: {
            char text[64];
            std::snprintf(text, sizeof text, "a number > wc = %g m", s.wc);
            return text;
        }
    }
    return "";
}

NumberWord read_number_word(const std::string& word, double* value) {
    // strtod would skip blanks before the number, not after it: neither belongs to it
    char* end = nullptr;
    errno = 0;
    *value = std::strtod(word.c_str(), &end);
    if (word.empty() || std::isspace(static_cast<unsigned char>(word[0])) || *end != '\0') {
        return NumberWord::not_a_number;
    }
    if (errno == ERANGE && (*value == 0.0 || std::isinf(*value))) {
        return NumberWord::beyond_double;
    }
    return NumberWord::number;
}

//------------------------------------------------------------------ table

// the records that hold a setting, as bits
enum : unsigned {
    SHARED = 1u << 0,
    CYL = 1u << 1,
    SCARA = 1u << 2,
    STEP = 1u << 3,
    TRAP = 1u << 4,
    LINE = 1u << 5,
    CIRCLE = 1u << 6,
    UCURVE = 1u << 7,
    SINE = 1u << 8,
    ROBOTS = CYL | SCARA,
    ENDS = STEP | TRAP | LINE | UCURVE,            // patterns given by their start and end
    TIMED = TRAP | LINE | CIRCLE | UCURVE | SINE,  // patterns with a motion time
};

// how the typed value becomes the stored one
enum class Store {
    as_typed,
    hz,        // typed in Hz, stored as 2 pi f (rad/s)
    minus_wc,  // typed as joint 2 to the work, stored as the link L2 = value - wc
};

struct SettingItem {
    const char* name;                // plain name
    const char* unit;                // unit of the typed value
    const char* meaning;             // in English, for --help
    SettingRule rule;                // the values it may take
    unsigned holders;                // records that hold it
    bool plain;                      // may be named without its record
    double Settings::*shared;        // the field, for a shared setting
    double RobotSettings::*robot;    // the field, for a robot setting
    double PatternRecord::*pattern;  // the field, for a motion setting
    Store store;                     // how the value is stored
};

using R = SettingRule;
using P = PatternRecord;
using RS = RobotSettings;

// clang-format off
static const SettingItem ITEMS[] = {
    {"L",        "m",   "arm length of the cylindrical robot",          R::positive,     CYL,    true,  nullptr, &RS::L,        nullptr, Store::as_typed},
    {"L1",       "m",   "SCARA link 1, joint 1 to joint 2",             R::positive,     SCARA,  true,  nullptr, &RS::L1,       nullptr, Store::as_typed},
    {"L2w",      "m",   "SCARA joint 2 to the work (link 2 + wc)",      R::beyond_wc,    SCARA,  true,  nullptr, &RS::L2,       nullptr, Store::minus_wc},
    {"mw",       "kg",  "work mass (0: an empty hand)",                 R::non_negative, SHARED, true,  &Settings::mw, nullptr, nullptr, Store::as_typed},
    {"PW1",      "W",   "motor power 1 of the robot",                   R::positive,     ROBOTS, true,  nullptr, &RS::PW1,      nullptr, Store::as_typed},
    {"PW2",      "W",   "motor power 2 of the robot",                   R::positive,     ROBOTS, true,  nullptr, &RS::PW2,      nullptr, Store::as_typed},
    {"u1",       "-",   "reduction ratio of gear 1",                    R::positive,     ROBOTS, true,  nullptr, &RS::u1,       nullptr, Store::as_typed},
    {"eta_fwd1", "-",   "forward efficiency of gear 1",                 R::efficiency,   ROBOTS, true,  nullptr, &RS::eta_fwd1, nullptr, Store::as_typed},
    {"u2",       "-",   "reduction ratio of gear 2 (robot a: rad/m)",   R::positive,     ROBOTS, true,  nullptr, &RS::u2,       nullptr, Store::as_typed},
    {"eta_fwd2", "-",   "forward efficiency of gear 2",                 R::efficiency,   ROBOTS, true,  nullptr, &RS::eta_fwd2, nullptr, Store::as_typed},
    {"fn1",      "Hz",  "natural frequency of the joint-1 loop",        R::frequency,    SHARED, true,  &Settings::omega_n1, nullptr, nullptr, Store::hz},
    {"alpha1",   "1/s", "third pole of the joint-1 loop (0: PD)",       R::finite,       SHARED, true,  &Settings::alpha1, nullptr, nullptr, Store::as_typed},
    {"fn2",      "Hz",  "natural frequency of the joint-2 loop",        R::frequency,    SHARED, true,  &Settings::omega_n2, nullptr, nullptr, Store::hz},
    {"alpha2",   "1/s", "third pole of the joint-2 loop (0: PD)",       R::finite,       SHARED, true,  &Settings::alpha2, nullptr, nullptr, Store::as_typed},
    {"zeta1",    "-",   "damping ratio of the joint-1 loop (1; no file)", R::finite,      SHARED, true,  &Settings::zeta1, nullptr, nullptr, Store::as_typed},
    {"zeta2",    "-",   "damping ratio of the joint-2 loop (1; no file)", R::finite,      SHARED, true,  &Settings::zeta2, nullptr, nullptr, Store::as_typed},
    {"x0",       "m",   "start of the motion",                          R::finite,       ENDS | SINE, true, nullptr, nullptr, &P::x0, Store::as_typed},
    {"y0",       "m",   "start of the motion",                          R::finite,       ENDS | SINE, true, nullptr, nullptr, &P::y0, Store::as_typed},
    {"xf",       "m",   "end of the motion",                            R::finite,       ENDS,   true,  nullptr, nullptr, &P::xf, Store::as_typed},
    {"yf",       "m",   "end of the motion",                            R::finite,       ENDS,   true,  nullptr, nullptr, &P::yf, Store::as_typed},
    {"tf",       "s",   "motion time (not of the step command)",        R::positive,     TIMED,  true,  nullptr, nullptr, &P::tf, Store::as_typed},
    {"Ox",       "m",   "circle centre",                                R::finite,       CIRCLE, true,  nullptr, nullptr, &P::Ox, Store::as_typed},
    {"Oy",       "m",   "circle centre",                                R::finite,       CIRCLE, true,  nullptr, nullptr, &P::Oy, Store::as_typed},
    {"rr",       "m",   "circle radius",                                R::positive,     CIRCLE, true,  nullptr, nullptr, &P::rr, Store::as_typed},
    {"x1",       "m",   "U-curve bend point P1",                        R::finite,       UCURVE, true,  nullptr, nullptr, &P::x1, Store::as_typed},
    {"y1",       "m",   "U-curve bend point P1",                        R::finite,       UCURVE, true,  nullptr, nullptr, &P::y1, Store::as_typed},
    {"x2",       "m",   "U-curve bend point P2",                        R::finite,       UCURVE, true,  nullptr, nullptr, &P::x2, Store::as_typed},
    {"y2",       "m",   "U-curve bend point P2",                        R::finite,       UCURVE, true,  nullptr, nullptr, &P::y2, Store::as_typed},
    {"L",        "m",   "sine wavelength",                              R::positive,     SINE,   false, nullptr, nullptr, &P::L,  Store::as_typed},
    {"A",        "m",   "sine amplitude",                               R::finite,       SINE,   true,  nullptr, nullptr, &P::A,  Store::as_typed},
};

// clang-format on

// the records by the name that qualifies a setting, with the bit of each
struct RecordName {
    const char* name;
    unsigned bit;
    const char* what;  // in English, for a message
};

static const RecordName RECORDS[] = {
    {"cyl", CYL, "the cylindrical robot (a)"}, {"scara", SCARA, "the SCARA robot (b)"},
    {"step", STEP, "the step command (q)"},    {"trap", TRAP, "the trapezoid (p)"},
    {"line", LINE, "the line (cp 1)"},         {"circle", CIRCLE, "the circle (cp 2)"},
    {"ucurve", UCURVE, "the U-curve (cp 3)"},  {"sine", SINE, "the sine (cp 4)"},
};

// the selectors and the answers each allows
struct SelectorItem {
    const char* name;
    const char* allowed;
    int Settings::*field;
    const char* meaning;
};

static const SelectorItem SELECTORS[] = {
    {"robot_type", "ab", &Settings::robot_type, "a cylindrical-coordinate robot, b SCARA robot"},
    {"gravity", "gh", &Settings::gravity, "g gravity on (vertical motion), h off"},
    {"fb_type", "vV", &Settings::fb_type, "v velocity feedback, V velocity-error feedback"},
    {"motion", "qpc", &Settings::motion, "q PTP step, p PTP trapezoid, c CP path"},
    {"cp", "1234", &Settings::cp, "CP path: 1 line, 2 circle, 3 inverted U, 4 sine"},
};

//------------------------------------------------------------------ lookup

static const SelectorItem* find_selector(const std::string& name) {
    for (const SelectorItem& s : SELECTORS) {
        if (name == s.name) {
            return &s;
        }
    }
    return nullptr;
}

static const RecordName* find_record(const std::string& name) {
    for (const RecordName& r : RECORDS) {
        if (name == r.name) {
            return &r;
        }
    }
    return nullptr;
}

// the bit of the record of the current robot, or 0 for a type without a robot
static unsigned current_robot_bit(const Settings& s) {
    return s.robot_type == 'a' ? CYL : s.robot_type == 'b' ? SCARA : 0u;
}

// the bit of the record of the current motion, or 0 when there is none
static unsigned current_pattern_bit(const Settings& s) {
    if (s.motion == 'q') {
        return STEP;
    }
    if (s.motion == 'p') {
        return TRAP;
    }
    if (s.motion == 'c' && s.cp >= 1 && s.cp <= 4) {
        const unsigned kinds[] = {LINE, CIRCLE, UCURVE, SINE};
        return kinds[s.cp - 1];
    }
    return 0u;
}

static const RecordName* record_of_bit(unsigned bit) {
    for (const RecordName& r : RECORDS) {
        if (r.bit == bit) {
            return &r;
        }
    }
    return nullptr;
}

// a name as record.base or base alone: base, and the record (nullptr when plain); false for a
// record name that is none
static bool split_name(const std::string& name, std::string* base, const RecordName** rec) {
    const size_t dot = name.find('.');
    *base = dot == std::string::npos ? name : name.substr(dot + 1);
    *rec = dot == std::string::npos ? nullptr : find_record(name.substr(0, dot));
    return dot == std::string::npos || *rec != nullptr;
}

// the item of a qualified name's record, or nullptr
static const SettingItem* item_of_record(const std::string& base, const RecordName& rec) {
    for (const SettingItem& it : ITEMS) {
        if (base == it.name && (it.holders & rec.bit) != 0) {
            return &it;
        }
    }
    return nullptr;
}

// the item a name means and the record it goes to (bit), or nullptr with the reason
static const SettingItem* resolve(const Settings& s, const std::string& name, unsigned* bit,
                                  std::string* error) {
    std::string base;
    const RecordName* rec = nullptr;
    if (!split_name(name, &base, &rec)) {
        *error = "'" + name + "' is no setting";
        return nullptr;
    }
    const unsigned robot = current_robot_bit(s);
    const unsigned pattern = current_pattern_bit(s);
    if (rec != nullptr) {
        const SettingItem* it = item_of_record(base, *rec);
        if (it == nullptr) {
            *error = "'" + name + "' is no setting";
            return nullptr;
        }
        // the run reads only its own robot's and motion's record, and a data file written from
        // it holds only those: a value for another record would be dropped without a word
        if (rec->bit != robot && rec->bit != pattern) {
            const RecordName* r = record_of_bit(robot);
            const RecordName* m = record_of_bit(pattern);
            *error = "'" + name + "' is not a setting of this experiment, which runs "
                     + (r != nullptr ? r->what : "no robot") + " on "
                     + (m != nullptr ? m->what : "no motion");
            return nullptr;
        }
        *bit = rec->bit;
        return it;
    }
    bool known = false;
    for (const SettingItem& it : ITEMS) {
        if (base != it.name || !it.plain) {
            continue;
        }
        known = true;
        for (const unsigned b : {static_cast<unsigned>(SHARED), robot, pattern}) {
            if ((it.holders & b) != 0) {
                *bit = b;
                return &it;
            }
        }
    }
    if (!known) {
        *error = "'" + name + "' is no setting";
        return nullptr;
    }
    // a plain name the current robot or motion does not have: say whose it is
    const RecordName* r = record_of_bit(robot);
    const RecordName* m = record_of_bit(pattern);
    std::string whose;
    for (const RecordName& holder : RECORDS) {
        if (item_of_record(base, holder) != nullptr) {
            whose += std::string(whose.empty() ? "" : ", ") + holder.name + "." + name;
        }
    }
    *error = "'" + name + "' is not a setting of " + (r != nullptr ? r->what : "this robot type")
             + " or of " + (m != nullptr ? m->what : "this motion") + "; name its record: " + whose;
    return nullptr;
}

bool setting_name_known(const std::string& name) {
    if (find_selector(name) != nullptr) {
        return true;
    }
    std::string base;
    const RecordName* rec = nullptr;
    if (!split_name(name, &base, &rec)) {
        return false;
    }
    if (rec != nullptr) {
        return item_of_record(base, *rec) != nullptr;
    }
    for (const SettingItem& it : ITEMS) {
        if (base == it.name && it.plain) {
            return true;
        }
    }
    return false;
}

bool is_selector_setting(const std::string& name) {
    return find_selector(name) != nullptr;
}

const char* selector_choices(const std::string& name) {
    const SelectorItem* sel = find_selector(name);
    return sel != nullptr ? sel->allowed : nullptr;
}

//------------------------------------------------------------------ setting

// the record of bit in s, as const or not
template <class S>
static auto& robot_record(S& s, unsigned bit) {
    return bit == CYL ? s.cyl : s.scara;
}

template <class S>
static auto& pattern_record(S& s, unsigned bit) {
    switch (bit) {
        case STEP:
            return s.step;
        case TRAP:
            return s.trap;
        case LINE:
            return s.line;
        case CIRCLE:
            return s.circle;
        case UCURVE:
            return s.ucurve;
        default:
            return s.sine;
    }
}

// the setting of a name given whole (a shared one plain, the others with their record) and its
// record's bit; the names are the program's own, so one that is none is a fault of the program
static const SettingItem* find_whole(const std::string& name, unsigned* bit) {
    std::string base;
    const RecordName* rec = nullptr;
    const SettingItem* found = nullptr;
    if (split_name(name, &base, &rec) && rec != nullptr) {
        found = item_of_record(base, *rec);
        *bit = rec->bit;
    } else {
        for (const SettingItem& it : ITEMS) {
            if (base == it.name && (it.holders & SHARED) != 0) {
                found = &it;
                *bit = SHARED;
            }
        }
    }
    assert(found != nullptr);
    return found;
}

// stores v, typed in the data file's units, into the field of it in the record bit. The
// conversions are the ones the dialogs use, so that a file, --set and a dialog give the same bits
static void store_item(Settings& s, const SettingItem& it, unsigned bit, double v) {
    double* field = it.shared != nullptr  ? &(s.*it.shared)
                    : it.robot != nullptr ? &(robot_record(s, bit).*it.robot)
                                          : &(pattern_record(s, bit).*it.pattern);
    switch (it.store) {
        case Store::as_typed:
            *field = v;
            break;
        case Store::hz:
            *field = omega_of_hz(v);
            break;
        case Store::minus_wc:
            *field = scara_L2_of(v, s.wc);
            break;
    }
}

// a value x whose reading f(x) gives back target exactly, searched from the nearest guess
// outwards one double at a time (the reader's arithmetic rounds once)
template <class Read>
static double inverse_of(double guess, double target, Read read) {
    double up = guess;
    double down = guess;
    for (int i = 0; i < 8; ++i) {
        if (read(up) == target) {
            return up;
        }
        if (read(down) == target) {
            return down;
        }
        up = std::nextafter(up, std::numeric_limits<double>::infinity());
        down = std::nextafter(down, -std::numeric_limits<double>::infinity());
    }
    return guess;  // no double reads back exactly: the nearest is written
}

std::string set_setting(Settings& s, const std::string& name, const std::string& value) {
    if (const SelectorItem* sel = find_selector(name)) {
        if (value.size() != 1 || std::strchr(sel->allowed, value[0]) == nullptr) {
            return "wrong value '" + value + "' for " + name + " (" + sel->meaning + ")";
        }
        s.*sel->field = sel->field == &Settings::cp ? value[0] - '0' : value[0];
        return "";
    }
    unsigned bit = 0;
    std::string error;
    const SettingItem* it = resolve(s, name, &bit, &error);
    if (it == nullptr) {
        return error;
    }
    double v = 0.0;
    switch (read_number_word(value, &v)) {
        case NumberWord::number:
            break;
        case NumberWord::not_a_number:
            return "wrong value '" + value + "' for " + name + ": not a number";
        case NumberWord::beyond_double:
            return "wrong value '" + value + "' for " + name
                   + ": it is out of the range of a double ("
                   + (v == 0.0 ? "it would read as 0" : "it would read as infinity") + ")";
    }
    if (!value_allowed(it->rule, v, s)) {
        return "wrong value '" + value + "' for " + name + ": it must be " + rule_text(it->rule, s);
    }
    store_item(s, *it, bit, v);
    return "";
}

// the table's item of a setting named whole
static const SettingItem& item_named(const std::string& name) {
    std::string base;
    const RecordName* rec = nullptr;
    split_name(name, &base, &rec);
    for (const SettingItem& it : ITEMS) {
        if (base == it.name && (rec == nullptr || (it.holders & rec->bit) != 0)) {
            return it;
        }
    }
    assert(false && "a setting of the table");  // the names are the program's own
    return ITEMS[0];
}

SettingRule setting_rule(const std::string& name) {
    return item_named(name).rule;
}

const char* setting_unit(const std::string& name) {
    return item_named(name).unit;
}

void store_setting(Settings& s, const std::string& name, double v) {
    unsigned bit = 0;
    const SettingItem* it = find_whole(name, &bit);
    store_item(s, *it, bit, v);
}

double setting_file_value(const Settings& s, const std::string& name) {
    unsigned bit = 0;
    const SettingItem* it = find_whole(name, &bit);
    const double stored = it->shared != nullptr  ? s.*it->shared
                          : it->robot != nullptr ? robot_record(s, bit).*it->robot
                                                 : pattern_record(s, bit).*it->pattern;
    const double wc = s.wc;
    switch (it->store) {
        case Store::as_typed:
            break;
        case Store::hz:
            return inverse_of(hz_of_omega(stored), stored, omega_of_hz);
        case Store::minus_wc:
            return inverse_of(scara_L2w(s), stored, [wc](double x) { return scara_L2_of(x, wc); });
    }
    return stored;
}

char selector_key(const Settings& s, const std::string& name) {
    const SelectorItem* sel = find_selector(name);
    if (sel == nullptr) {
        return '?';
    }
    const int v = s.*sel->field;
    const int key = sel->field == &Settings::cp ? v + '0' : v;  // as set_setting stores it
    return key > 0 && key < 128 && std::strchr(sel->allowed, key) != nullptr
               ? static_cast<char>(key)
               : '?';
}

//------------------------------------------------------------------ conversions


//------------------------------------------------------------------ differences

// a selector's value in words, as a caption says it
static std::string selector_words(const Settings& s, const SelectorItem& sel) {
    const int v = s.*sel.field;
    const std::string name = sel.name;
    if (name == "robot_type") {
        return v == 'a' ? "cylindrical" : v == 'b' ? "SCARA" : "no robot";
    }
    if (name == "gravity") {
        return v == 'g' ? "gravity on" : "gravity off";
    }
    if (name == "fb_type") {
        return v == 'V' ? "fb V" : "fb v";
    }
    if (name == "motion") {
        return v == 'q' ? "PTP step" : v == 'p' ? "PTP trapezoid" : "CP";
    }
    static const char* const PATHS[] = {"line", "circle", "U-curve", "sine"};
    return std::string("CP ") + (v >= 1 && v <= 4 ? PATHS[v - 1] : "?");
}

// v with the fewest of 4, 6, 10 and 17 significant digits that tells it from other
static std::string distinct_number(double v, double other) {
    char text[40] = "";
    for (const int digits : {4, 6, 10, 17}) {
        char theirs[40];
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        std::snprintf(theirs, sizeof theirs, "%.*g", digits, other);
        if (std::strcmp(text, theirs) != 0) {
            break;
        }
    }
    return text;
}

std::vector<SettingDifference> setting_differences(const Settings& base, const Settings& s) {
    std::vector<SettingDifference> out;
    for (const SelectorItem& sel : SELECTORS) {
        const bool cp_unused = std::string(sel.name) == "cp" && s.motion != 'c';
        if (!cp_unused && base.*sel.field != s.*sel.field) {
            out.push_back({sel.name, selector_words(s, sel)});
        }
    }
    const unsigned robot = current_robot_bit(s);
    const unsigned pattern = current_pattern_bit(s);
    for (const SettingItem& it : ITEMS) {
        // the record of s that holds the item, if s uses one
        unsigned bit = (it.holders & SHARED) != 0    ? SHARED
                       : (it.holders & robot) != 0   ? robot
                       : (it.holders & pattern) != 0 ? pattern
                                                     : 0u;
        if (bit == 0u) {
            continue;
        }
        const std::string whole = bit == SHARED
                                      ? std::string(it.name)
                                      : std::string(record_of_bit(bit)->name) + "." + it.name;
        const double mine = setting_file_value(s, whole);
        const double theirs = setting_file_value(base, whole);
        if (mine == theirs || (std::isnan(mine) && std::isnan(theirs))) {
            continue;
        }
        const std::string name = it.plain ? std::string(it.name) : whole;
        std::string text = name + " " + distinct_number(mine, theirs);
        if (std::strcmp(it.unit, "-") != 0) {
            text += std::string(" ") + it.unit;
        }
        out.push_back({name, text});
    }
    return out;
}

//------------------------------------------------------------------ derived ends

void derive_circle_ends(PatternRecord& circle) {
    circle.x0 = circle.Ox + circle.rr;
    circle.y0 = circle.Oy;
    circle.xf = circle.x0;
    circle.yf = circle.y0;
}

void derive_sine_end(PatternRecord& sine) {
    sine.xf = sine.x0 + sine.L;
    sine.yf = sine.y0;
}

//------------------------------------------------------------------ help

std::string settings_help(const Settings& s) {
    std::string text;
    char line[200];
    for (const SelectorItem& sel : SELECTORS) {
        std::snprintf(line, sizeof line, "  %-10s %-4s %s\n", sel.name, "", sel.meaning);
        text += line;
    }
    for (const SettingItem& it : ITEMS) {
        std::string name = it.plain ? it.name : std::string("sine.") + it.name;
        std::snprintf(line, sizeof line, "  %-10s %-4s %s; %s\n", name.c_str(), it.unit, it.meaning,
                      rule_text(it.rule, s).c_str());
        text += line;
    }
    return text;
}

}  // namespace robosim
