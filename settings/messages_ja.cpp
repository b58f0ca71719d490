// The console's Japanese words for the settings. The echo of a data file is one group per line
// read whole, printed with the values as the file gave them; a line that depends on a selector
// is echoed only for the values it names, so a selector outside its list gets a note instead.
#include "settings/messages_ja.h"

#include "model/parameters.h"
#include "settings/datafile.h"
#include "settings/setting_fields.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ text

// appends the text format gives, of any length
__attribute__((format(printf, 2, 3))) static void append(std::string* text, const char* format,
                                                         ...) {
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int len = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (len > 0) {
        std::vector<char> piece(static_cast<size_t>(len) + 1);
        std::vsnprintf(piece.data(), piece.size(), format, args);
        text->append(piece.data(), static_cast<size_t>(len));
    }
    va_end(args);
}

//------------------------------------------------------------------ settings

std::string rule_text_ja(SettingRule rule, const Settings& s) {
    switch (rule) {
        case SettingRule::finite:
            return "有限の数";
        case SettingRule::frequency: {
            char text[64];
            std::snprintf(text, sizeof text, "絶対値が %g 以下の数", MAX_FREQUENCY_HZ);
            return text;
        }
        case SettingRule::non_negative:
            return "0 以上の数";
        case SettingRule::positive:
            return "0 より大きい数";
        case SettingRule::efficiency:
            return "0 より大きく 1 以下の数";
        case SettingRule::beyond_wc: {
            char text[64];
            std::snprintf(text, sizeof text, "wc=%.2f[m] より大きい数", s.wc);
            return text;
        }
    }
    return "";
}

std::string refusal_text_ja(const char* prompt, SettingRule rule, const Settings& s) {
    return std::string(prompt) + " は" + rule_text_ja(rule, s) + "を入力してください";
}

std::string selector_refusal_text_ja(const char* selector) {
    const char* choices = selector_choices(selector);
    if (choices == nullptr) {
        return "";
    }
    // the robot's and the path's questions name what they ask for, as the console's prompts do
    const std::string name = selector;
    std::string text = name == "robot_type" ? "type は " : name == "cp" ? "cp は " : "";
    for (const char* c = choices; *c != '\0'; ++c) {
        text += std::string(c == choices ? "" : ", ") + *c;
    }
    return text + (std::strlen(choices) == 2 ? " のどちらか" : " のどれか") + "を入力してください";
}

//------------------------------------------------------------------ files

std::string error_text_ja(int err) {
    static const struct {
        int err;
        const char* text;
    } TEXTS[] = {
        {ENOENT, "そのようなファイルやフォルダはありません"},
        {EACCES, "アクセスが許可されていません"},
        {EPERM, "操作が許可されていません"},
        {EISDIR, "フォルダです"},
        {ENOTDIR, "パスの途中にフォルダでないものがあります"},
        {ENAMETOOLONG, "名前が長すぎます"},
        {ELOOP, "シンボリックリンクが多すぎます"},
        {ENOSPC, "ディスクに空きがありません"},
        {EDQUOT, "ディスクの割り当てを超えました"},
        {EROFS, "読み取り専用のファイルシステムです"},
        {EFBIG, "ファイルが大きすぎます"},
        {EIO, "入出力エラーです"},
        {EMFILE, "開いているファイルが多すぎます"},
        {ENFILE, "開いているファイルが多すぎます"},
        {EBUSY, "使用中です"},
        {ETXTBSY, "使用中のファイルです"},
    };

    for (const auto& t : TEXTS) {
        if (t.err == err) {
            return t.text;
        }
    }
    return "エラー番号 " + std::to_string(err);
}

const char* file_kind_text_ja(FileKind kind) {
    switch (kind) {
        case FileKind::folder:
            return "フォルダ";
        case FileKind::device:
            return "デバイス";
        case FileKind::fifo:
            return "FIFO";
        case FileKind::regular:
        case FileKind::other:
            break;  // a socket and the like
    }
    return "ソケットなど";
}

// a selector or path kind outside its list: it selects no branch, and one line says so, since
// nothing else shows it; refused says that the file is not used for it
static void append_off_list(std::string* t, const FileItem& item, const std::string& word,
                            bool refused) {
    std::string list;
    for (const char* c = selector_choices(item.setting); *c != '\0'; ++c) {
        list += std::string(list.empty() ? "" : ", ") + *c;
    }
    append(t, "\n%s = %s は選択肢（%s）のどれでもありません%s", item.label_ja, word.c_str(),
           list.c_str(), refused ? "：このファイルは読み込みません。設定は変わりません" : "");
}

// the echo of a selector line: what its choice means, or the note of a choice outside the list
static void append_choice(std::string* t, const FileLineRead& r, const Settings& s) {
    const int c = r.choice;
    switch (r.line) {
        case FileLine::robot_type:
            if (c == 'a') {
                return append(t, "\n(1) ロボットタイプ = %c : 円筒座標ロボット", c);
            }
            if (c == 'b') {
                return append(t, "\n(1) ロボットタイプ = %c : SCARAロボット", c);
            }
            break;
        case FileLine::gravity:
            if (c == 'g') {
                return append(t, "\n(1-5) 重力考慮する（垂直運動）");
            }
            if (c == 'h') {
                return append(t, "\n(1-5) 重力考慮しない（水平運動）");
            }
            break;
        case FileLine::fb_type:
            if (c == 'V') {
                return append(t, "\n(2-2) 速度誤差FB");
            }
            if (c == 'v') {
                return append(t, "\n(2-2) 速度FB");  // 'v' echoes as well, so both kinds show
            }
            break;
        case FileLine::motion:
            if (c == 'q') {
                return append(t, "\n(3-1) 運動パターン =PTP運動(ステップ入力）");
            }
            if (c == 'p') {
                return append(t, "\n(3-1) 運動パターン =PTP運動(台形速度則）");
            }
            if (c == 'c') {
                return append(t, "\n(3-1) 運動パターン =CPP運動");
            }
            break;
        case FileLine::cp: {
            const char* const names[] = {"直線軌道", "円軌道", "Ｕ字軌道", "正弦波軌道"};
            if (c >= 1 && c <= 4) {
                return append(t, "\n(3-2) %s", names[c - 1]);
            }
            return append_off_list(t, file_line_items(r.line, s.robot_type)[0], std::to_string(c),
                                   false);
        }
        default:
            return;  // the lines of values have no choice
    }
    append_off_list(t, file_line_items(r.line, s.robot_type)[0],
                    std::string(1, static_cast<char>(c)), false);
}

// the echo of a line read whole, with its values as the file gave them
static void append_echo(std::string* t, const FileLineRead& r, const Settings& s) {
    const double* v = r.values;
    switch (r.line) {
        case FileLine::cyl_arm:
            return append(t, "\n(1-1) アーム長=%5.3f[m] ", v[0]);
        case FileLine::scara_arm:
            return append(t, "\n(1-1) アーム長=(%5.3f, %5.3f)[m] J2--Pw間距離=%5.3f[m]", v[0],
                          scara_L2_of(v[1], s.wc), v[1]);
        case FileLine::work:
            return append(t, "\n(1-2) ワーク質量=%5.3f[kg] ", v[0]);
        case FileLine::motors:
            return append(t, "\n(1-3) モータパワー1,2=(%5.2f %5.2f)[Watt] ", v[0], v[1]);
        case FileLine::gear1:
            return append(t, "\n(1-4) 減速比と順伝達効率 u1=%5.2f η1=%5.2f", v[0], v[1]);
        case FileLine::gear2:
            return append(t, "\n                         u2=%5.2f η2=%5.2f", v[0], v[1]);
        case FileLine::control1:
            return append(t,
                          "\n(2-1) 第１制御系の固有振動数・第２時定数の逆数 fn=%5.2f[Hz] "
                          "α1=%5.2f[1/s]",
                          v[0], v[1]);
        case FileLine::control2:
            return append(t,
                          "\n      第２制御系の固有振動数・第２時定数の逆数 fn=%5.2f[Hz] "
                          "α2=%5.2f[1/s]",
                          v[0], v[1]);
        case FileLine::step:
            append(t, "\n(3-2) 始点 P0=(%6.3f %6.3f)[m]", v[0], v[1]);
            return append(t, "\n      終点 Pf=(%6.3f %6.3f)[m]", v[2], v[3]);
        case FileLine::trap:
            append(t, "\n(3-2) 始点 P0=(%6.3f %6.3f)[m] 位置決め時間 tf=%5.2f[s]", v[0], v[1],
                   v[4]);
            return append(t, "\n      終点 Pf=(%6.3f %6.3f)[m]", v[2], v[3]);
        case FileLine::line:
            append(t, "\n(3-3) 始点 P0=(%6.3f %6.3f)[m] 位置決め時間 tf=%5.2f[s]", v[0], v[1],
                   v[4]);
            return append(t, "\n      終点 Pf=(%6.3f %6.3f)[m]", v[2], v[3]);
        case FileLine::circle:
            return append(t,
                          "\n(3-3) 円中心 O=(%6.3f %6.3f)[m] 半径 rr=%6.3f[m] 運動時間 tf=%5.2f[s]",
                          v[0], v[1], v[2], v[3]);
        case FileLine::ucurve:
            append(t, "\n(3-3) 始点   P0=(%6.3f %6.3f)[m] 位置決め時間 tf=%5.2f[s]", v[0], v[1],
                   v[8]);
            append(t, "\n      終点   Pf=(%6.3f %6.3f)[m]", v[2], v[3]);
            append(t, "\n      湾曲点 P1=(%6.3f %6.3f)[m]", v[4], v[5]);
            return append(t, "\n      湾曲点 P2=(%6.3f %6.3f)[m]", v[6], v[7]);
        case FileLine::sine:
            append(t, "\n(3-3) 始点 P0=(%6.3f %6.3f)[m] 運動時間 tf=%5.2f[s]", v[0], v[1], v[4]);
            return append(t, "\n      正弦波の波長 L=%6.3f[m]  振幅=%6.3f[m]", v[2], v[3]);
        default:
            return append_choice(t, r, s);
    }
}

// why the reading stopped, and what becomes of the settings
static void append_stop(std::string* t, const DataFileError& e, const Settings& s,
                        const std::string& path) {
    const char* const kept = "から先を読めません。ここまでに読んだ値を使います";
    const char* const unchanged = "：このファイルは読み込みません。設定は変わりません";
    const char* const label = e.item != nullptr ? e.item->label_ja : "";
    const char* wrong = nullptr;  // what a wrong token is
    switch (e.problem) {
        case DataFileProblem::none:
            return;
        case DataFileProblem::cannot_open:
            return append(t, "\nファイル %s を開けません（%s）。設定は変わりません", path.c_str(),
                          error_text_ja(e.err).c_str());
        case DataFileProblem::not_regular:
            return append(t,
                          "\nファイル %s は通常のファイルではありません（%s）。設定は変わりません",
                          path.c_str(), file_kind_text_ja(e.kind));
        case DataFileProblem::cannot_read:
            return append(t, "\nファイル %s を読めません（%s）。設定は変わりません", path.c_str(),
                          error_text_ja(e.err).c_str());
        case DataFileProblem::too_large:
            return append(t, "\nファイル %s は大きすぎます（上限 %zu バイト）。設定は変わりません",
                          path.c_str(), MAX_DATA_FILE_BYTES);
        case DataFileProblem::ended_early:
            return append(t, "\nファイルが途中で終わっています：%s %s", label, kept);
        case DataFileProblem::control_byte:
            // named with its code, since the console would show it as nothing or cut the word
            return append(t, "\n語 '%s' の %zu バイト目に使えないバイト 0x%02X があります：%s %s",
                          e.token.c_str(), e.token.size() + 1, e.byte, label, kept);
        case DataFileProblem::not_a_number:
            wrong = "数値ではない語";
            break;
        case DataFileProblem::not_an_integer:
            wrong = "整数ではない語";
            break;
        case DataFileProblem::not_one_character:
            wrong = "１文字ではない選択記号";
            break;
        case DataFileProblem::beyond_double:
            return append(t, "\n%s = %s は倍精度の数の範囲外です（読むと%sになります）%s", label,
                          e.token.c_str(), e.value == 0.0 ? " 0 " : "無限大", unchanged);
        case DataFileProblem::not_allowed:
            return append(t, "\n%s = %s は使えない値です（%sにしてください）%s", label,
                          e.token.c_str(), rule_text_ja(e.rule, s).c_str(), unchanged);
        case DataFileProblem::off_list:
            return append_off_list(t, *e.item, e.token, true);
    }
    append(t, "\n%s '%s' があります：%s %s", wrong, e.token.c_str(), label, kept);
}

std::string data_file_text_ja(const DataFileRead& read, const std::string& path) {
    std::string t;
    for (const FileLineRead& line : read.lines) {
        append_echo(&t, line, read.ps.settings);
    }
    append_stop(&t, read.error, read.ps.settings, path);
    return t;
}

//------------------------------------------------------------------ reach

// whether the point (x, y) is among the points of report
static bool among(const ReachReport& report, const Point2& point) {
    for (int i = 0; i < std::min(report.count, REACH_REPORT_POINTS); ++i) {
        if (report.points[i].x == point.x && report.points[i].y == point.y) {
            return true;
        }
    }
    return false;
}

ReachReport points_to_tell(const ReachReport& report, ReachReport* told) {
    ReachReport tell = {};
    for (int i = 0; i < std::min(report.count, REACH_REPORT_POINTS); ++i) {
        const Point2& point = report.points[i];
        if (told != nullptr) {
            if (among(*told, point)) {
                continue;  // said once for this run already
            }
            add_unreachable(told, point.x, point.y);
        }
        add_unreachable(&tell, point.x, point.y);
    }
    return tell;
}

std::string unreachable_text_ja(const Settings& s, const Point2& point) {
    std::string t = "\n!!! 逆運動学の解なし．始めからやり直し．";
    append(&t, "\n    アーム長1,2=(%6.3f %6.3f) 位置(x,y)=(%6.3f %6.3f)", s.scara.L1, scara_L2w(s),
           point.x, point.y);
    return t;
}

}  // namespace robosim
