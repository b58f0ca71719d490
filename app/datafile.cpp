// The robot data file reader. The reader knows which token comes next only from the values
// already read (robot type, motion pattern, path kind), so it reads group by group and echoes
// each group once it is complete. Every value is stored as soon as it is read, in the unit of
// the parameter set (a frequency read in Hz is stored as 2*pi*fn at once), so that a file that
// stops early leaves a parameter set whose fields all mean what they say.
#include "app/datafile.h"

#include "model/parameters.h"
#include "model/setting_fields.h"
#include "platform/console.h"
#include "platform/console_io.h"
#include "platform/output_file.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <limits>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

//------------------------------------------------------------------ tokens

struct TokenStream {
    std::string text;          // the whole file
    size_t pos;                // first byte not read yet
    const Settings* settings;  // the experiment being read, for the rules that depend on it
    bool refused;              // a value no physical robot can have was read
    bool refuse_off_list;      // a selector outside its list refuses the file as well
};

static bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// the next token, or false at the end of the file
static bool next_token(TokenStream* ts, std::string* token) {
    while (ts->pos < ts->text.size() && is_blank(ts->text[ts->pos])) {
        ++ts->pos;
    }
    if (ts->pos == ts->text.size()) {
        return false;
    }
    const size_t start = ts->pos;
    while (ts->pos < ts->text.size() && !is_blank(ts->text[ts->pos])) {
        ++ts->pos;
    }
    *token = ts->text.substr(start, ts->pos - start);
    return true;
}

// a control character (NUL among them) cannot be part of any value: it is named with its
// code, since the console would show it as nothing or cut the word there
static bool report_control_byte(const std::string& token, const char* item) {
    for (size_t i = 0; i < token.size(); ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        if (c < 0x20 || c == 0x7F) {
            console_print("\n語 '%s' の %zu バイト目に使えないバイト 0x%02X があります：%s から先を"
                          "読めません。ここまでに読んだ値を使います",
                          token.substr(0, i).c_str(), i + 1, c, item);
            return true;
        }
    }
    return false;
}

// the next token for item; reports an early end of the file and a byte no value can hold
static bool take_token(TokenStream* ts, const char* item, std::string* token) {
    if (next_token(ts, token)) {
        return !report_control_byte(*token, item);
    }
    console_print("\nファイルが途中で終わっています：%s から先を読めません。"
                  "ここまでに読んだ値を使います",
                  item);
    return false;
}

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

static void report_wrong_token(const char* what, const std::string& token, const char* item) {
    console_print("\n%s '%s' があります：%s から先を読めません。ここまでに読んだ値を使います", what,
                  token.c_str(), item);
}

// a decimal number as the whole token, of a value rule allows. A value no physical robot
// can have (a negative mass, a zero time, NaN) stops the reading and refuses the whole file.
static bool read_real(TokenStream* ts, const char* item, double* value,
                      SettingRule rule = SettingRule::finite) {
    std::string token;
    if (!take_token(ts, item, &token)) {
        return false;
    }
    double v = 0.0;
    const NumberWord word = read_number_word(token, &v);
    if (word == NumberWord::not_a_number) {
        report_wrong_token("数値ではない語", token, item);
        return false;
    }
    if (word == NumberWord::beyond_double) {
        console_print("\n%s = %s は倍精度の数の範囲外です（読むと%sになります）：このファイルは"
                      "読み込みません。設定は変わりません",
                      item, token.c_str(), v == 0.0 ? " 0 " : "無限大");
        ts->refused = true;
        return false;
    }
    if (!value_allowed(rule, v, *ts->settings)) {
        console_print(
            "\n%s = %s は使えない値です（%sにしてください）：このファイルは読み込みません。"
            "設定は変わりません",
            item, token.c_str(), rule_text_ja(rule, *ts->settings).c_str());
        ts->refused = true;
        return false;
    }
    *value = v;
    return true;
}

// one value each for a list of items, stored one by one
struct RealItem {
    const char* item;                        // what the value is, for the report of a stop
    double* field;                           // where it goes
    SettingRule rule = SettingRule::finite;  // the values it may take
};

static bool read_reals(TokenStream* ts, std::initializer_list<RealItem> items) {
    for (const RealItem& it : items) {
        if (!read_real(ts, it.item, it.field, it.rule)) {
            return false;
        }
    }
    return true;
}

// a decimal integer as the whole token; a value beyond int has no path, so it is not taken
static bool read_integer(TokenStream* ts, const char* item, int* value) {
    std::string token;
    if (!take_token(ts, item, &token)) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(token.c_str(), &end, 10);
    if (end == token.c_str() || end != token.c_str() + token.size() || errno == ERANGE
        || v < INT_MIN || v > INT_MAX) {
        report_wrong_token("整数ではない語", token, item);
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

// A selector or path kind outside its list (allowed, one character each) selects no branch, as
// the file format defines it, and the reading goes on; one line says so, since nothing else
// shows it. Where the file is to be refused instead, the reading stops there.
static bool take_listed(TokenStream* ts, const char* item, const std::string& token,
                        const char* allowed) {
    if (token.size() == 1 && std::strchr(allowed, token[0]) != nullptr) {
        return true;
    }
    std::string list;
    for (const char* c = allowed; *c != '\0'; ++c) {
        list += std::string(list.empty() ? "" : ", ") + *c;
    }
    console_print("\n%s = %s は選択肢（%s）のどれでもありません%s", item, token.c_str(),
                  list.c_str(),
                  ts->refuse_off_list ? "：このファイルは読み込みません。設定は変わりません" : "");
    ts->refused = ts->refused || ts->refuse_off_list;
    return !ts->refuse_off_list;
}

// a selector: one character of allowed; a longer word is no selector and stops the reading
static bool read_selector(TokenStream* ts, const char* item, int* value, const char* allowed) {
    std::string token;
    if (!take_token(ts, item, &token)) {
        return false;
    }
    if (token.size() != 1) {
        report_wrong_token("１文字ではない選択記号", token, item);
        return false;
    }
    *value = static_cast<unsigned char>(token[0]);
    return take_listed(ts, item, token, allowed);
}

// A whole experiment is a few hundred bytes; a file beyond this is no robot data file, and a
// bound keeps a device such as /dev/zero or a huge file from filling the memory.
constexpr size_t MAX_DATA_FILE_BYTES = 64 * 1024;  // (bytes)

static const char* file_kind_name(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "フォルダ";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "デバイス";
    }
    if (S_ISFIFO(mode)) {
        return "FIFO";
    }
    return "ソケットなど";
}

// why a file could not be opened, read or written, in the console's words: the C library's own
// text is English
static std::string error_text_ja(int err) {
    const struct {
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

// The whole file into text; otherwise false with the reason said on the console. Opened
// without waiting, so a FIFO with no writer is refused at once rather than waited on.
static bool load_file(const char* path, std::string* text) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        console_print("\nファイル %s を開けません（%s）。設定は変わりません", path,
                      error_text_ja(errno).c_str());
        return false;
    }
    struct stat st = {};
    bool ok = fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        console_print("\nファイル %s は通常のファイルではありません（%s）。設定は変わりません",
                      path, file_kind_name(st.st_mode));
        close(fd);
        return false;
    }
    // read with the bound itself, not by the size fstat tells: a file may grow while read
    char chunk[4096];
    while (ok && text->size() <= MAX_DATA_FILE_BYTES) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0) {
            text->append(chunk, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
        }
    }
    const int read_errno = errno;
    close(fd);
    if (!ok) {
        console_print("\nファイル %s を読めません（%s）。設定は変わりません", path,
                      error_text_ja(read_errno).c_str());
        return false;
    }
    if (text->size() > MAX_DATA_FILE_BYTES) {
        console_print("\nファイル %s は大きすぎます（上限 %zu バイト）。設定は変わりません", path,
                      MAX_DATA_FILE_BYTES);
        return false;
    }
    // a byte-order mark, as some editors save UTF-8, is no part of the first token
    if (text->compare(0, 3, "\xEF\xBB\xBF") == 0) {
        text->erase(0, 3);
    }
    return true;
}

//------------------------------------------------------------------ groups

// (1-1) to (1-4): the mechanics of robot 'a' or 'b'
static bool read_mechanics(ParameterSet& ps, TokenStream* ts) {
    const int rt = ps.settings.robot_type;
    const bool robot = rt == 'a' || rt == 'b';  // another type has no robot-specific data
    if (rt == 'a') {
        if (!read_real(ts, "(1-1) アーム長 L", &ps.settings.cyl.L, SettingRule::positive)) {
            return false;
        }
        console_print("\n(1-1) アーム長=%5.3f[m] ", ps.settings.cyl.L);
    } else if (rt == 'b') {
        double L2w = 0.0;  // joint 2 to the work position (m)
        if (!read_real(ts, "(1-1) アーム長 L1", &ps.settings.scara.L1, SettingRule::positive)
            || !read_real(ts, "(1-1) J2--Pw間距離", &L2w, SettingRule::beyond_wc)) {
            return false;
        }
        ps.settings.scara.L2 = L2w - ps.settings.wc;
        console_print("\n(1-1) アーム長=(%5.3f, %5.3f)[m] J2--Pw間距離=%5.3f[m]",
                      ps.settings.scara.L1, ps.settings.scara.L2, L2w);
    }
    if (!read_real(ts, "(1-2) ワーク質量 mw", &ps.settings.mw, SettingRule::non_negative)) {
        return false;
    }
    console_print("\n(1-2) ワーク質量=%5.3f[kg] ", ps.settings.mw);
    if (!robot) {
        return true;
    }
    RobotSettings& rs = robot_of(ps.settings, rt);
    constexpr SettingRule positive = SettingRule::positive;
    constexpr SettingRule efficiency = SettingRule::efficiency;
    if (!read_reals(ts, {{"(1-3) モータパワー PW1", &rs.PW1, positive},
                         {"(1-3) モータパワー PW2", &rs.PW2, positive}})) {
        return false;
    }
    console_print("\n(1-3) モータパワー1,2=(%5.2f %5.2f)[Watt] ", rs.PW1, rs.PW2);
    if (!read_reals(ts, {{"(1-4) 減速比 u1", &rs.u1, positive},
                         {"(1-4) 順伝達効率 η1", &rs.eta_fwd1, efficiency}})) {
        return false;
    }
    console_print("\n(1-4) 減速比と順伝達効率 u1=%5.2f η1=%5.2f", rs.u1, rs.eta_fwd1);
    if (!read_reals(ts, {{"(1-4) 減速比 u2", &rs.u2, positive},
                         {"(1-4) 順伝達効率 η2", &rs.eta_fwd2, efficiency}})) {
        return false;
    }
    console_print("\n                         u2=%5.2f η2=%5.2f", rs.u2, rs.eta_fwd2);
    return true;
}

// (1-5) gravity, (2-1) control characteristics, (2-2) feedback kind
static bool read_control(ParameterSet& ps, TokenStream* ts) {
    if (!read_selector(ts, "(1-5) 重力 g/h", &ps.settings.gravity, "gh")) {
        return false;
    }
    if (ps.settings.gravity == 'g') {
        console_print("\n(1-5) 重力考慮する（垂直運動）");
    } else if (ps.settings.gravity == 'h') {
        console_print("\n(1-5) 重力考慮しない（水平運動）");
    }
    double fn1_hz = 0.0;  // natural frequencies as the file gives them (Hz)
    double fn2_hz = 0.0;
    if (!read_real(ts, "(2-1) fn1", &fn1_hz, SettingRule::frequency)) {
        return false;
    }
    ps.settings.omega_n1 = 2.0 * PI * fn1_hz;
    if (!read_real(ts, "(2-1) α1", &ps.settings.alpha1)) {
        return false;
    }
    console_print("\n(2-1) 第１制御系の固有振動数・第２時定数の逆数 fn=%5.2f[Hz] α1=%5.2f[1/s]",
                  fn1_hz, ps.settings.alpha1);
    if (!read_real(ts, "(2-1) fn2", &fn2_hz, SettingRule::frequency)) {
        return false;
    }
    ps.settings.omega_n2 = 2.0 * PI * fn2_hz;
    if (!read_real(ts, "(2-1) α2", &ps.settings.alpha2)) {
        return false;
    }
    console_print("\n      第２制御系の固有振動数・第２時定数の逆数 fn=%5.2f[Hz] α2=%5.2f[1/s]",
                  fn2_hz, ps.settings.alpha2);
    if (!read_selector(ts, "(2-2) 速度FB v/V", &ps.settings.fb_type, "vV")) {
        return false;
    }
    if (ps.settings.fb_type == 'V') {
        console_print("\n(2-2) 速度誤差FB");
    } else if (ps.settings.fb_type == 'v') {
        console_print("\n(2-2) 速度FB");  // 'v' echoes as well, so both kinds show
    }
    return true;
}

// (3-3) the data of CP path kind cp; a circle or a sine derives its ends, even after a stop,
// so that the record stays consistent with what was read
static bool read_cp_path(ParameterSet& ps, TokenStream* ts) {
    bool ok = true;
    switch (ps.settings.cp) {
        case 1: {
            console_print("\n(3-2) 直線軌道");
            PatternRecord& p = ps.settings.line;
            ok = read_reals(ts, {{"(3-3) 始点 x0", &p.x0},
                                 {"(3-3) 始点 y0", &p.y0},
                                 {"(3-3) 終点 xf", &p.xf},
                                 {"(3-3) 終点 yf", &p.yf},
                                 {"(3-3) 位置決め時間 tf", &p.tf, SettingRule::positive}});
            if (ok) {
                console_print("\n(3-3) 始点 P0=(%6.3f %6.3f)[m] 位置決め時間 tf=%5.2f[s]", p.x0,
                              p.y0, p.tf);
                console_print("\n      終点 Pf=(%6.3f %6.3f)[m]", p.xf, p.yf);
            }
            break;
        }
        case 2: {
            console_print("\n(3-2) 円軌道");
            PatternRecord& p = ps.settings.circle;
            ok = read_reals(ts, {{"(3-3) 円中心 Ox", &p.Ox},
                                 {"(3-3) 円中心 Oy", &p.Oy},
                                 {"(3-3) 半径 rr", &p.rr, SettingRule::positive},
                                 {"(3-3) 運動時間 tf", &p.tf, SettingRule::positive}});
            if (ok) {
                console_print(
                    "\n(3-3) 円中心 O=(%6.3f %6.3f)[m] 半径 rr=%6.3f[m] 運動時間 tf=%5.2f[s]", p.Ox,
                    p.Oy, p.rr, p.tf);
            }
            derive_circle_ends(p);
            ps.plan.x0 = p.x0;
            ps.plan.y0 = p.y0;
            ps.plan.xf = p.xf;
            ps.plan.yf = p.yf;
            break;
        }
        case 3: {
            console_print("\n(3-2) Ｕ字軌道");
            PatternRecord& p = ps.settings.ucurve;
            ok = read_reals(ts, {{"(3-3) 始点 x0", &p.x0},
                                 {"(3-3) 始点 y0", &p.y0},
                                 {"(3-3) 終点 xf", &p.xf},
                                 {"(3-3) 終点 yf", &p.yf},
                                 {"(3-3) 湾曲点 x1", &p.x1},
                                 {"(3-3) 湾曲点 y1", &p.y1},
                                 {"(3-3) 湾曲点 x2", &p.x2},
                                 {"(3-3) 湾曲点 y2", &p.y2},
                                 {"(3-3) 位置決め時間 tf", &p.tf, SettingRule::positive}});
            if (ok) {
                console_print("\n(3-3) 始点   P0=(%6.3f %6.3f)[m] 位置決め時間 tf=%5.2f[s]", p.x0,
                              p.y0, p.tf);
                console_print("\n      終点   Pf=(%6.3f %6.3f)[m]", p.xf, p.yf);
                console_print("\n      湾曲点 P1=(%6.3f %6.3f)[m]", p.x1, p.y1);
                console_print("\n      湾曲点 P2=(%6.3f %6.3f)[m]", p.x2, p.y2);
            }
            break;
        }
        case 4: {
            console_print("\n(3-2) 正弦波軌道");
            PatternRecord& p = ps.settings.sine;
            ok = read_reals(ts, {{"(3-3) 始点 x0", &p.x0},
                                 {"(3-3) 始点 y0", &p.y0},
                                 {"(3-3) 波長 L", &p.L, SettingRule::positive},
                                 {"(3-3) 振幅 A", &p.A},
                                 {"(3-3) 運動時間 tf", &p.tf, SettingRule::positive}});
            if (ok) {
                console_print("\n(3-3) 始点 P0=(%6.3f %6.3f)[m] 運動時間 tf=%5.2f[s]", p.x0, p.y0,
                              p.tf);
                console_print("\n      正弦波の波長 L=%6.3f[m]  振幅=%6.3f[m]", p.L, p.A);
            }
            ps.plan.x0 = p.x0;
            ps.plan.y0 = p.y0;
            derive_sine_end(p);
            ps.plan.xf = p.xf;
            ps.plan.yf = p.yf;
            break;
        }
        default:
            break;  // other kinds have no path data: nothing more is read
    }
    return ok;
}

// (3-1) the motion pattern and (3-2) its data
static bool read_motion(ParameterSet& ps, TokenStream* ts) {
    if (!read_selector(ts, "(3-1) 運動パターン q/p/c", &ps.settings.motion, "qpc")) {
        return false;
    }
    if (ps.settings.motion == 'q') {
        console_print("\n(3-1) 運動パターン =PTP運動(ステップ入力）");
        PatternRecord& p = ps.settings.step;
        if (!read_reals(ts, {{"(3-2) 始点 x0", &p.x0},
                             {"(3-2) 始点 y0", &p.y0},
                             {"(3-2) 終点 xf", &p.xf},
                             {"(3-2) 終点 yf", &p.yf}})) {
            return false;
        }
        console_print("\n(3-2) 始点 P0=(%6.3f %6.3f)[m]", p.x0, p.y0);
        console_print("\n      終点 Pf=(%6.3f %6.3f)[m]", p.xf, p.yf);
    } else if (ps.settings.motion == 'p') {
        console_print("\n(3-1) 運動パターン =PTP運動(台形速度則）");
        PatternRecord& p = ps.settings.trap;
        if (!read_reals(ts, {{"(3-2) 始点 x0", &p.x0},
                             {"(3-2) 始点 y0", &p.y0},
                             {"(3-2) 終点 xf", &p.xf},
                             {"(3-2) 終点 yf", &p.yf},
                             {"(3-2) 位置決め時間 tf", &p.tf, SettingRule::positive}})) {
            return false;
        }
        console_print("\n(3-2) 始点 P0=(%6.3f %6.3f)[m] 位置決め時間 tf=%5.2f[s]", p.x0, p.y0,
                      p.tf);
        console_print("\n      終点 Pf=(%6.3f %6.3f)[m]", p.xf, p.yf);
    } else if (ps.settings.motion == 'c') {
        console_print("\n(3-1) 運動パターン =CPP運動");
        const char* const item = "(3-2) CP軌道 cp";
        if (!read_integer(ts, item, &ps.settings.cp)
            || !take_listed(ts, item, std::to_string(ps.settings.cp), "1234")) {
            return false;
        }
        return read_cp_path(ps, ts);
    }
    return true;  // another motion has no data: nothing more is read
}

//------------------------------------------------------------------ reader

bool read_robot_data(ParameterSet& ps, const char* path, bool* refused, bool refuse_off_list) {
    if (refused != nullptr) {
        *refused = false;
    }
    // read into a copy: a file that holds a value no robot can have is not applied at all
    ParameterSet read = ps;
    TokenStream ts = {{}, 0, &read.settings, false, refuse_off_list};
    if (!load_file(path, &ts.text)) {
        return false;
    }
    bool complete = read_selector(&ts, "(1) ロボットタイプ a/b", &read.settings.robot_type, "ab");
    if (complete) {
        if (read.settings.robot_type == 'a') {
            console_print("\n(1) ロボットタイプ = %c : 円筒座標ロボット", read.settings.robot_type);
        } else if (read.settings.robot_type == 'b') {
            console_print("\n(1) ロボットタイプ = %c : SCARAロボット", read.settings.robot_type);
        }
        complete = read_mechanics(read, &ts) && read_control(read, &ts) && read_motion(read, &ts);
    }
    if (ts.refused) {
        if (refused != nullptr) {
            *refused = true;
        }
        return false;
    }
    ps = read;
    return complete;
}

std::string read_robot_file(ParameterSet& ps, const char* path) {
    console_print("\nファイル 'robot21.dat, robot22.dat, ...'から読み込み");
    console_print("\nファイル名入力　");
    const std::string name = path != nullptr ? path : console_read_line();  // any length
    console_print("\n読み込んだファイル名 = %s", name.c_str());
    return read_robot_data(ps, name.c_str()) ? name : std::string();
}

//------------------------------------------------------------------ writing

// the shortest decimal that reads back to v exactly, without an exponent where one is not
// needed (110, not 1.1e+02)
static std::string real_text(double v) {
    char text[40];
    for (const bool plain : {true, false}) {
        for (int digits = 1; digits <= 17; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, v);
            const bool exact = std::strtod(text, nullptr) == v || !std::isfinite(v);
            if (exact && (!plain || std::strchr(text, 'e') == nullptr)) {
                return text;
            }
        }
    }
    return text;
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

std::string robot_data_text(const ParameterSet& ps) {
    const Settings& s = ps.settings;
    std::string t;
    const auto line = [&t](std::initializer_list<std::string> words) {
        bool first = true;
        for (const std::string& w : words) {
            if (!first) {
                t.push_back(' ');
            }
            t.append(w);
            first = false;
        }
        t.push_back('\n');
    };
    const auto r = [](double v) { return real_text(v); };
    const auto c = [](int selector) { return std::string(1, static_cast<char>(selector)); };
    const int rt = s.robot_type;
    line({c(rt)});
    if (rt == 'a') {
        line({r(s.cyl.L)});
    } else if (rt == 'b') {
        const double wc = s.wc;
        const double L2w =
            inverse_of(s.scara.L2 + wc, s.scara.L2, [wc](double x) { return x - wc; });
        line({r(s.scara.L1), r(L2w)});
    }
    line({r(s.mw)});
    if (rt == 'a' || rt == 'b') {
        const RobotSettings& rs = robot_of(s, rt);
        line({r(rs.PW1), r(rs.PW2)});
        line({r(rs.u1), r(rs.eta_fwd1)});
        line({r(rs.u2), r(rs.eta_fwd2)});
    }
    line({c(s.gravity)});
    const auto hz = [](double omega) {
        return inverse_of(omega / (2.0 * PI), omega, [](double f) { return 2.0 * PI * f; });
    };
    line({r(hz(s.omega_n1)), r(s.alpha1)});
    line({r(hz(s.omega_n2)), r(s.alpha2)});
    line({c(s.fb_type)});
    line({c(s.motion)});
    if (s.motion == 'q') {
        line({r(s.step.x0), r(s.step.y0), r(s.step.xf), r(s.step.yf)});
    } else if (s.motion == 'p') {
        line({r(s.trap.x0), r(s.trap.y0), r(s.trap.xf), r(s.trap.yf), r(s.trap.tf)});
    } else if (s.motion == 'c') {
        line({std::to_string(s.cp)});
        const PatternRecord* p = nullptr;
        switch (s.cp) {
            case 1:
                p = &s.line;
                line({r(p->x0), r(p->y0), r(p->xf), r(p->yf), r(p->tf)});
                break;
            case 2:
                p = &s.circle;
                line({r(p->Ox), r(p->Oy), r(p->rr), r(p->tf)});
                break;
            case 3:
                p = &s.ucurve;
                line({r(p->x0), r(p->y0), r(p->xf), r(p->yf), r(p->x1), r(p->y1), r(p->x2),
                      r(p->y2), r(p->tf)});
                break;
            case 4:
                p = &s.sine;
                line({r(p->x0), r(p->y0), r(p->L), r(p->A), r(p->tf)});
                break;
            default:
                break;  // another kind has no path data
        }
    }
    return t;
}

void write_robot_file(const ParameterSet& ps) {
    console_print("\n設定を書き出すファイル名入力　");
    const std::string name = console_read_line();  // the whole line: a name may hold blanks
    if (name.empty()) {
        console_print("\n  ファイル名が空なので、書き出しを取りやめました");
        return;
    }
    // whole or not at all: an existing file stays as it was when the write fails
    std::string why;
    int err = 0;
    struct stat st = {};
    if (write_output(name, robot_data_text(ps), &why, &err)) {
        console_print("\n書き出したファイル名 = %s", name.c_str());
    } else if (stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        console_print("\nファイル %s は通常のファイルではありません（%s）。書き出せません",
                      name.c_str(), file_kind_name(st.st_mode));
    } else {
        console_print("\nファイル %s に書き出せません（%s）", name.c_str(),
                      error_text_ja(err != 0 ? err : EIO).c_str());
    }
}
