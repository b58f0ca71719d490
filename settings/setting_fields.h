// settings/setting_fields.h: the settings a robot data file holds, by name, with their units, the
// values a physical robot can have and the conversions between what is typed and what is stored
#pragma once

#include "model/parameters.h"

#include <string>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ rules
// the values a setting may take. Only what no physical robot can have is refused: control
// settings stay free (a negative alpha or fn is how instability is shown), and every rule
// refuses NaN and infinity.
enum class SettingRule {
    finite,        // any finite number: coordinates, amplitudes, alpha
    frequency,     // |fn| <= MAX_FREQUENCY_HZ, so that the stored 2 pi fn is finite too
    non_negative,  // >= 0: the work mass (0 is an empty hand)
    positive,      // > 0: lengths, powers, ratios, times, radii, wavelengths
    efficiency,    // in (0, 1]
    beyond_wc,     // > wc: SCARA joint 2 to the work, whose link L2 = value - wc must be > 0
};

// the largest natural frequency whose angular frequency 2 pi fn a double still holds (Hz)
constexpr double MAX_FREQUENCY_HZ = 2.86e307;

// whether v is a value rule allows (s gives wc for beyond_wc)
bool value_allowed(SettingRule rule, double v, const Settings& s);

// the rule in English words, e.g. "a number > 0"
std::string rule_text(SettingRule rule, const Settings& s);

// what a word says as a number: the whole word (no blank before or after it) in the range of a
// double; a word beyond it, which would read as infinity or 0, says none (a subnormal one does)
enum class NumberWord { number, not_a_number, beyond_double };

NumberWord read_number_word(const std::string& word, double* value);

//------------------------------------------------------------------ names
// A setting is named as in the parameter set: mw, fn1, alpha1, ... for the settings both robots
// share; L (robot a), L1 and L2w (robot b), PW1, u1, eta_fwd1, ... for the current robot;
// x0, tf, rr, A, ... for the record of the current motion. A name may be qualified by its
// record (cyl.PW1, scara.u2, circle.rr, sine.L): the wavelength is always sine.L, since a
// plain L is the cylindrical robot's arm. Frequencies are in Hz and L2w is joint 2 to the
// work, as the data file holds them.

// whether name (plain or qualified) names a setting of some robot or motion record
bool setting_name_known(const std::string& name);

// whether name is one of the selectors robot_type, gravity, fb_type, motion and cp, which
// decide what the plain names mean and so are applied first
bool is_selector_setting(const std::string& name);

// the characters a selector may take ("ab" for robot_type, "1234" for cp), or nullptr when name
// is no selector
const char* selector_choices(const std::string& name);

// the key the selector name holds in s, as it is typed ('b', 'g', '4'); '?' when name is no
// selector or its value is none of the keys
char selector_key(const Settings& s, const std::string& name);

// sets the setting name of s to the value its text gives, in the data file's units; returns
// an empty string, or the reason in English when the name does not apply to the experiment as
// it stands (a qualified name included whose record the experiment does not use: its robot, its
// motion) or the value is not one the setting can have (a word with blanks, or a number beyond
// the range of a double, is none).
// writes: the one field of s (omega_n1 = 2 pi fn1, scara.L2 = L2w - wc, as the file reader does)
std::string set_setting(Settings& s, const std::string& name, const std::string& value);

// A setting named whole, as a data file holds it: a shared one alone (mw, fn1), the others with
// their record (cyl.L, scara.L2w, scara.PW1, circle.rr, sine.L). The value is in the data file's
// units; the name must be one of the table.

// the values the setting name may take; a plain name also means a setting of a robot or a
// motion, whose rule is the same in every record that holds it (PW1, x0, tf: not sine.L)
SettingRule setting_rule(const std::string& name);

// the unit of the setting name as a data file and the dialogs give it ("m", "Hz", "-")
const char* setting_unit(const std::string& name);

// stores v, in the data file's units, into the setting name of s (fn1 as 2 pi fn1, L2w as
// L2 = L2w - wc). writes: the one field of s
void store_setting(Settings& s, const std::string& name, double v);

// the value of the setting name of s in the data file's units: a value that store_setting turns
// back into the stored bits, wherever a double allows one
double setting_file_value(const Settings& s, const std::string& name);

//------------------------------------------------------------------ derived ends
// the circle's start and end at its right-most point (Ox + rr, Oy), as its data give them.
// writes: x0 y0 xf yf of circle
void derive_circle_ends(PatternRecord& circle);

// the sine's end one wavelength to the right of its start (x0 + L, y0). writes: xf yf of sine
void derive_sine_end(PatternRecord& sine);

//------------------------------------------------------------------ differences
// How one experiment's settings differ from another's, as a caption or a legend names them: the
// robot, the motion, gravity and feedback in words ("SCARA", "CP circle", "gravity off", "fb V"),
// then every numeric setting of s's robot, its motion and the shared ones, in the table's order,
// by name with its value and unit in the data file's units ("fn1 2 Hz", "eta_fwd2 0.4"). A value
// is written with 4 digits, or as many as tell it from base's. Empty when nothing differs.
struct SettingDifference {
    std::string name;  // the setting's name as --set takes it (a selector's: "gravity")
    std::string text;  // what the caption says
};

std::vector<SettingDifference> setting_differences(const Settings& base, const Settings& s);

//------------------------------------------------------------------ help
// every setting with its unit, its meaning and its rule, one line each, for --help (s gives wc)
std::string settings_help(const Settings& s);

}  // namespace robosim
