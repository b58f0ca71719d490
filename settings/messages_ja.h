// settings/messages_ja.h: the console's Japanese words for the settings: their rules, the echo
// of a robot data file and why its reading stopped, and the message of a point out of reach.
// Text only; the programs print it.
#pragma once

#include "planning/kinematics.h"
#include "settings/datafile.h"
#include "settings/setting_fields.h"

#include <string>

namespace robosim {

//------------------------------------------------------------------ settings
// the rule in the console's Japanese words, e.g. "0 より大きい数" (s gives wc)
std::string rule_text_ja(SettingRule rule, const Settings& s);

// the refusal of a value its rule does not allow, as a dialog says it: "L1 は0 より大きい数を入力
// してください" (prompt: the value's name in the prompt; s gives wc)
std::string refusal_text_ja(const char* prompt, SettingRule rule, const Settings& s);

// the refusal of a selector's answer outside its choices, as a dialog says it: "v, V のどちらかを
// 入力してください"
std::string selector_refusal_text_ja(const char* selector);

//------------------------------------------------------------------ files
// why a file could not be opened, read or written, in the console's words (the C library's own
// text is English)
std::string error_text_ja(int err);

// what a path that is no regular file names, e.g. "フォルダ"
const char* file_kind_text_ja(FileKind kind);

// the console's text of a reading of the file path: the echo of each line read whole, a note
// for each selector outside its list, and why the reading stopped; every line begins with its
// line end
std::string data_file_text_ja(const DataFileRead& read, const std::string& path);

//------------------------------------------------------------------ reach
// the points of report not among told, in order; they are added to told. Without told, every
// point of report.
ReachReport points_to_tell(const ReachReport& report, ReachReport* told);

// the failure message of a SCARA point out of reach, with the arm lengths of s (two lines)
std::string unreachable_text_ja(const Settings& s, const Point2& point);

}  // namespace robosim
