// settings/dialog_schema.h: the console dialogs' settings as a table, for a form that asks the
// same: the selectors with their choices, and the dialogs in their order, each with the values it
// asks for, named as its prompt names them, in Japanese words with English ones beside them
#pragma once

#include "model/parameters.h"

#include <span>
#include <string>
#include <utility>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ types
// one answer a selector takes: its key ('a', 'q', '1', ...) and what it means
struct DialogChoice {
    char value;
    const char* ja;
    const char* en;
};

// a selector: robot_type, gravity, fb_type, motion or cp (setting_fields.h)
struct DialogSelector {
    const char* name;
    const char* title_ja;  // as the console's key menu says it
    const char* title_en;
    std::span<const DialogChoice> choices;
};

// a value a dialog asks for
struct DialogField {
    const char* setting;   // named whole, as a data file holds it: cyl.L, scara.L2w, mw, trap.tf
    const char* prompt;    // as the console's prompt and refusal name it: "L1", "η1", "α2", "r"
    const char* label_ja;  // what it is, in the dialog's words
    const char* label_en;
};

// the selector value a dialog is asked under; none has selector nullptr
struct DialogCondition {
    const char* selector;
    char value;
};

// one dialog: the values it asks for, asked only under its conditions (the robot, the motion
// and the CP path its values belong to)
struct DialogSection {
    const char* id;  // a short English name: "arm", "motor", "circle"
    char key;        // the window key that opens the dialog chain there, 0 none
    const char* title_ja;
    const char* title_en;
    DialogCondition when[3];
    std::span<const DialogField> fields;
};

// the first value a form's answers hold that the console would refuse: the setting (a selector's
// or a field's name) and the console's message for it; an empty setting when none is refused
struct DialogRefusal {
    std::string setting;
    std::string message;
};

//------------------------------------------------------------------ table
std::span<const DialogSelector> dialog_selectors();

// every dialog of both robots and all motions, in the order the console's chain asks them
std::span<const DialogSection> dialog_sections();

// whether the dialog is asked for the selectors of s
bool section_asked(const DialogSection& section, const Settings& s);

// a selector's value in s as its choices name it ('b', 'g', '4')
char selector_value(const Settings& s, const char* selector);

// a value of a setting as the form shows it: the shortest text that reads back to the same
// double (setting_file_value's units: Hz, L2w)
std::string dialog_value_text(const Settings& s, const char* setting);

//------------------------------------------------------------------ answers
// Applies a form's answers (name, text) to s as the console's dialogs would take them: first the
// selectors, then the values of every dialog asked under the new selectors, in the dialogs'
// order, each checked against its rule in the settings as they stand at its turn. A value of a
// dialog not asked, and a setting not named, stays as it was; the gains' dialog sets the damping
// ratios to 1, and the circle's and the sine's ends follow from their data. On the first refused
// answer (a number its rule refuses, a text that is no number, a selector outside its choices)
// s is left wholly unchanged and the refusal returned.
DialogRefusal apply_dialog_answers(Settings& s,
                                   const std::vector<std::pair<std::string, std::string>>& answers);

}  // namespace robosim
