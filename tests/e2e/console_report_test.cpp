// The real robosim's settings reports: for both robots and every motion pattern, report A
// (before the dialogs) and report B (after the final derivation) must be exactly the lines
// their selectors call for, in order, with the number formats given; a few numbers of the
// default experiments are checked to the printed digit.
#include "tests/e2e/console_run.h"
#include "tests/support/dialog_texts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

//------------------------------------------------------------------ the report lines

// one line of a report: when it is printed and its text with its conversions
struct ReportLine {
    const char* when;    // "" always; 'g' 'h' gravity; 'v' 'V' feedback; 'q' 'p' 'c' motion;
                         // "c1" .. "c4" motion 'c' with that path kind
    const char* format;  // the text, with %W.Pf / %W.Pe conversions
};

// clang-format off
static const ReportLine REPORT_A_CYL[] = {
    {"", "\n(1-1) ロボットタイプ        円筒座標ロボット"},
    {"", "\n(1-2) アーム長     l = %6.3f[m]"},
    {"", "\n(1-3) ワークの質量 mw= %6.3f[kg]"},
    {"", "\n      アーム先端・ワーク位置間距離(不変) wc= %6.3f[m]"},
    {"", "\n(1-4) モータ1(回転関節)パワーPW=%6.3f"},
    {"", "\n      モータ2(直動関節)パワーPW=%6.3f"},
    {"", "\n(1-5) 減速機1(回転関節)減速比，順効率(u,η1)=(%6.3f %6.3f)"},
    {"", "\n      減速機2(直動関節)減速比，順効率(u,η1)=(%6.3f %6.3f)"},
    {"", "\n(1-6) 重力考慮　："},
    {"g", "  あり（垂直運動）"},
    {"h", "  なし（水平運動）"},
    {"", "\n(2-1) 回転関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])"},
    {"", "\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"", "\n    　直動関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.4f[1/s])"},
    {"", "\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"v", "\n(2-2) 位置誤差FB＋積分FB＋速度FB"},
    {"V", "\n(2-2) 位置誤差FB＋積分FB＋速度誤差FB"},
    {"", "\n"},
    {"q", "\n(3) PTPステップ入力  初期位置(x0,y0)  =(%6.3f %6.3f)[m]"},
    {"q", "\n                     目標位置(xf,yf)  =(%6.3f %6.3f)[m]"},
    {"p", "\n(3) PTP台形速度入力  初期位置(x0,y0) =(%6.3f %6.3f)[m]"},
    {"p", "\n                     目標位置(xf,yf) =(%6.3f %6.3f)[m]"},
    {"p", "\n                     位置決め時間 tf = %6.3f[s]"},
    {"c1", "\n(3) CP直線運動    終点時間 tf   = %6.3f[s]"},
    {"c2", "\n(3) CP円運動　    終点時間 tf   = %6.3f[s]"},
    {"c3", "\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]"},
    {"c4", "\n(3) CP正弦波運動  終点時間 tf   = %6.3f[s]"},
    {"c4", "\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]"},
    {"c", "\n(3-1) ロボット初期位置    (x0,y0) =(%6.3f %6.3f)[m]"},
    {"c", "\n(3-2) ロボット終端位置    (xf,yf) =(%6.3f %6.3f)[m]"},
};
static const ReportLine REPORT_A_SCARA[] = {
    {"", "\n(1-1) ロボットタイプ   SCARAロボット"},
    {"", "\n(1-2) 第1,2アーム長 (l1,l2)=(%6.3f,%6.3f)[m]"},
    {"", "\n(1-3) ワークの質量      mw = %6.3f[kg]"},
    {"", "\n      アーム先端・ワーク位置間距離(不変) wc= %6.3f[m]"},
    {"", "\n(1-4) モータ1(第１関節)パワー PW=%6.2f[W]"},
    {"", "\n      モータ2(第２関節)パワー PW=%6.2f[W]"},
    {"", "\n(1-5) 減速機1(第１関節)減速比,順効率=(u,η1)=(%6.2f %6.3f)"},
    {"", "\n      減速機2(第２関節)減速比,順効率=(u,η1)=(%6.2f %6.3f)"},
    {"", "\n(1-6) 重力考慮　："},
    {"g", "  あり（垂直運動）"},
    {"h", "  なし（水平運動）"},
    {"", "\n(2-1) 第１関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])"},
    {"", "\n               　→ ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"", "\n      第２関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])"},
    {"", "\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"v", "\n(2-2) 位置誤差FB＋積分FB＋速度FB"},
    {"V", "\n(2-2) 位置誤差FB＋積分FB＋速度誤差FB"},
    {"q", "\n(3) PTPステップ入力 初期位置(x0,y0)=(%6.3f %6.3f)[m]"},
    {"q", "\n                    目標位置(xf,yf)=(%6.3f %6.3f)[m]"},
    {"p", "\n(3) PTP台形速度入力 初期位置(x0,y0)=(%6.3f %6.3f)[m]"},
    {"p", "\n                    目標位置(xf,yf)=(%6.3f %6.3f)[m]"},
    {"p", "\n                    位置決め時間tf = %6.3f[s]"},
    {"c1", "\n(3) CP直線運動    終点時間 tf   = %6.3f[s]"},
    {"c2", "\n(3) CP円運動　    終点時間 tf   = %6.3f[s]"},
    {"c3", "\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]"},
    {"c4", "\n(3) CP正弦波運動  終点時間  tf   = %6.3f[s]"},
    {"c4", "\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]"},
    {"c", "\n(3-1) 初期位置(x0,y0)=(%6.3f %6.3f)[m]"},
    {"c", "\n(3-2) 目標位置(xf,yf)=(%6.3f %6.3f)[m]"},
};
static const ReportLine REPORT_B_CYL[] = {
    {"", "\n(1-1) ロボットタイプ        円筒座標ロボット"},
    {"", "\n(1-2) ロボット諸元"},
    {"", "\n      アーム長 l = %6.3f[m]"},
    {"", " → アームの(m,IG)=(%6.3f[kg] %8.5f[kg･m^2])"},
    {"", "\n(1-3) ワーク諸元"},
    {"", "\n　　　ワークの質量 m=%6.3f[kg]"},
    {"", " → 慣性 IG=%8.5f[kg･m^2]"},
    {"", "\n      アーム先端・ワーク位置間距離 wc= %6.3f[m]"},
    {"", "\n(1-4) モータ1(回転関節)"},
    {"", "\n      パワーPW=%6.3f → 慣性 IM=%8.5f[kg･m^2] 最大トルクτm=%6.3f[Nm])"},
    {"", "\n      モータ2(直動関節)"},
    {"", "\n      パワーPW=%6.3f → 慣性 IM=%8.5f[kg･m^2] 最大トルクτm=%6.3f[Nm])"},
    {"", "\n(1-5) 減速機1(回転関節)"},
    {"", "\n      減速比，順効率(u,η1)=(%6.3f %6.3f) →　逆効率η2=%6.3f)"},
    {"", "\n      減速機2(直動関節)"},
    {"", "\n      減速比，順効率(u,η1)=(%6.3f %6.3f) →　逆効率η2=%6.3f)"},
    {"", "\n(1-6) 重力考慮　："},
    {"g", "  あり（垂直運動）"},
    {"h", "  なし（水平運動）"},
    {"", "\n(2-1) 回転関節制御系の特性 (ωn,ζ,α) =(%7.3f[Hz] %7.3f %7.3f[1/s])"},
    {"", "\n                → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"", "\n      直動関節制御系の特性 (ωn,ζ,α) =(%7.3f[Hz] %7.3f %7.4f[1/s])"},
    {"", "\n                → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"v", "\n(2-2) 位置誤差FB＋積分FB＋速度FB"},
    {"V", "\n(2-2) 位置誤差FB＋積分FB＋速度誤差FB"},
    {"q", "\n(3) PTPステップ入力  初期位置   (x0,y0)  =(%6.3f %6.3f)[m]"},
    {"q", "\n                     目標位置   (xf,yf)  =(%6.3f %6.3f)[m]"},
    {"q", "\n              →     初期関節角 (Φ10,Φ20)=(%6.3f[rad] %6.3f[m])"},
    {"q", "\n              →     目標関節角 (Φ1f,Φ2f)=(%6.3f[rad] %6.3f[m])"},
    {"q", "\n              →   初期モータ角 (θ10,θ20)=(%6.3f %6.3f)[rad]"},
    {"q", "\n              →   目標モータ角 (θ1f,θ2f)=(%6.3f %6.3f)[rad]"},
    {"p", "\n(3) PTP台形速度入力  初期位置    (x0,y0) =(%6.3f %6.3f)[m]"},
    {"p", "\n                     目標位置    (xf,yf) =(%6.3f %6.3f)[m]  tf=%6.3f[s]"},
    {"p", "\n              →     初期関節角 (Φ10,Φ20)=(%6.3f[rad] %6.3f[m])"},
    {"p", "\n              →     目標関節角 (Φ1f,Φ2f)=(%6.3f[rad] %6.3f[m])"},
    {"p", "\n              →   初期モータ角 (θ10,θ20)=(%6.3f %6.3f)[rad]"},
    {"p", "\n              →   目標モータ角 (θ1f,θ2f)=(%6.3f %6.3f)[rad]"},
    {"p", "\n              →  折点時間  1,2 (t11,t12)  =(%6.3f %6.3f)[s]"},
    {"p", "\n              →  モータ加速度 1,2 (αm1,αm2)=(%7.3f %7.3f)[rad/s^2]"},
    {"p", "\n              →  モータ定速度 1,2 (ωm1,ωm2)=(%7.3f %7.3f)[rad/s]"},
    {"c1", "\n(3) CP直線運動    終点時間 tf   = %6.3f[s]"},
    {"c2", "\n(3) CP円運動　    終点時間 tf   = %6.3f[s]"},
    {"c3", "\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]"},
    {"c4", "\n(3) CP正弦波運動  終点時間  tf   = %6.3f[s]"},
    {"c4", "\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]"},
    {"c", "\n              →  折点時間 t1,t2=(%6.3f %6.3f)[s]"},
    {"c", "\n(3-1) ロボット初期位置    (x0,y0) =(%6.3f %6.3f)[m]"},
    {"c", "\n              →   初期関節変位 (Φ10,Φ20)=(%7.3f[rad] %7.3f[m])"},
    {"c", "\n              →   目標関節変位 (Φ1f,Φ2f)=(%7.3f[rad] %7.3f[m])"},
    {"c", "\n(3-2) ロボット終端位置    (xf,yf) =(%6.3f %6.3f)[m]"},
    {"c", "\n              →   初期モータ角 (θ10,θ20)=(%7.3f %7.3f)[rad]"},
    {"c", "\n              →   目標モータ角 (θ1f,θ2f)=(%7.3f %7.3f)[rad]"},
    {"c", "\n              →   軌道長さ      sf        = %7.4f[m]"},
    {"c", "\n              →   始点・終点加速度  am1,2 =(%7.3f %7.3f)[m/s^2]"},
    {"c", "\n              →   軌道定速度        vm    = %7.3f[m/s]"},
};
static const ReportLine REPORT_B_SCARA[] = {
    {"", "\n(1-1) ロボットタイプ        SCARAロボット"},
    {"", "\n(1-2) ロボット諸元"},
    {"", "\n    　第１アーム長 l=%6.3f[m]"},
    {"", " → アームの(m,IG)=(%6.3f[kg] %8.5f[kg･m^2])"},
    {"", "\n    　第２アーム長 l=%6.3f[m]"},
    {"", " → アームの(m,IG)=(%6.3f[kg] %8.5f[kg･m^2])"},
    {"", "\n(1-3) ワーク諸元"},
    {"", "\n　　　ワークの質量m=%6.3f[kg] → 慣性IG=%8.5f[kg･m^2]"},
    {"", "\n      アーム先端・ワーク位置間距離 wc= %6.3f[m]"},
    {"", "\n(1-4) モータ1(第１関節)"},
    {"", "\n      パワー PW=%6.2f[W] →慣性IM=%11.3e[kg･m^2] 最大トルクτm=%6.3f[Nm]"},
    {"", "\n      モータ2(第２関節)"},
    {"", "\n      パワー PW=%6.2f[W] →慣性IM=%11.3e[kg･m^2] 最大トルクτm=%6.3f[Nm]"},
    {"", "\n(1-5) 減速機1(第１関節)"},
    {"", "\n      減速比,順効率=(u,η1) =(%6.2f %6.3f) → 逆効率η2=%6.3f"},
    {"", "\n      減速機2(第２関節)"},
    {"", "\n      減速比,順効率=(u,η1) =(%6.2f %6.3f) → 逆効率η2=%6.3f"},
    {"", "\n(1-6) 重力考慮　："},
    {"g", "  あり（垂直運動）"},
    {"h", "  なし（水平運動）"},
    {"", "\n(2-1) 第１関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])"},
    {"", "\n               　→ ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"", "\n      第２関節制御系の特性 (ωn,ζ,α)=(%7.3f[Hz] %7.3f %7.3f[1/s])"},
    {"", "\n                 → ゲイン (Kp,Kv,Ki) =(%7.4f     %7.4f %7.4f)"},
    {"v", "\n(2-2) 位置誤差FB＋積分FB＋速度FB"},
    {"V", "\n(2-2) 位置誤差FB＋積分FB＋速度誤差FB"},
    {"q", "\n(3) PTPステップ入力"},
    {"q", "\n(3-1) 初期位置 (x0,y0)=(%6.3f %6.3f)[m]"},
    {"q", "\n                → 関節角 (Φ10,Φ20)=(%6.3f %6.3f)[rad]"},
    {"q", "\n                →モータ角(θ10,θ20)=(%6.3f %6.3f)[rad]"},
    {"q", "\n(3-2) 目標位置(xf,yf)=(%6.3f %6.3f)[m]"},
    {"q", "\n                → 関節角 (Φ1f,Φ2f)=(%6.3f %6.3f)[rad]"},
    {"q", "\n                →モータ角(θ1f,θ2f)=(%6.3f %6.3f)[rad]"},
    {"p", "\n(3) PTP台形速度入力"},
    {"p", "\n(3-1) 初期位置 (x0,y0)=(%6.3f %6.3f)[m]"},
    {"p", "\n              → 関節角 (Φ10,Φ20)=(%6.3f %6.3f)[rad]"},
    {"p", "\n              →モータ角(θ10,θ20)=(%6.3f %6.3f)[rad]"},
    {"p", "\n(3-2) 目標位置(xf,yf)=(%6.3f %6.3f)[m] 終端時間 tf=%6.3f[s]"},
    {"p", "\n              → 関節角 (Φ1f,Φ2f)=(%6.3f %6.3f)[rad]"},
    {"p", "\n              →モータ角(θ1f,θ2f)=(%6.3f %6.3f)[rad]"},
    {"p", "\n              →折点時間 モータ1 t11=%7.3f[s]  モータ2 t12=%7.3f[s]"},
    {"p", "\n              →モータ加速度1 αm1=%7.3f[rad/s^2], 2 αm2=%7.3f[rad/s^2]"},
    {"p", "\n              →モータ定速度1 ωm1=%7.3f[rad/s],   2 ωm2=%7.3f[rad/s]"},
    {"c1", "\n(3) CP直線運動    終点時間 tf   = %6.3f[s]"},
    {"c2", "\n(3) CP円運動　    終点時間 tf   = %6.3f[s]"},
    {"c3", "\n(3) CPＵ字運動    終点時間 tf   = %6.3f[s]"},
    {"c4", "\n(3) CP正弦波運動  終点時間 tf   = %6.3f[s]"},
    {"c4", "\n                  波長・振幅(L,A)=(%6.3f,%6.3f)[m]"},
    {"c", "\n              →  折点時間 t1,t2=(%6.3f %6.3f)[s]"},
    {"c", "\n(3-1) 初期位置 (x0,y0)=(%6.3f %6.3f)[m]"},
    {"c", "\n              → 関節角 (Φ10,Φ20)=(%6.3f %6.3f)[rad]"},
    {"c", "\n              →モータ角(θ10,θ20)=(%6.3f %6.3f)[rad]"},
    {"c", "\n(3-2) 目標位置 (xf,yf)=(%6.3f %6.3f)[m] 終端時間 tf=%6.3f[s]"},
    {"c", "\n              → 関節角 (Φ1f,Φ2f)=(%6.3f %6.3f)[rad]"},
    {"c", "\n              →モータ角(θ1f,θ2f)=(%6.3f %6.3f)[rad]"},
    {"c", "\n              → 軌道長さ      sf        = %7.3f[m]"},
    {"c", "\n              → 始点・終点加速度  am1,2 =(%7.3f %7.3f)[m/s^2]"},
    {"c", "\n              → 軌道定速度        vm    = %7.3f[m/s]"},
};

// clang-format on

struct Experiment {
    char robot;    // robot type
    char gravity;  // 'g' or 'h'
    char fb;       // 'v' or 'V'
    char motion;   // 'q', 'p' or 'c'
    int cp;        // path kind for motion 'c'
};

static bool line_applies(const std::string& when, const Experiment& e) {
    if (when.empty()) {
        return true;
    }
    if (when.size() == 2) {
        return e.motion == 'c' && e.cp == when[1] - '0';
    }
    const char c = when[0];
    if (c == 'g' || c == 'h') {
        return e.gravity == c;
    }
    if (c == 'v' || c == 'V') {
        return e.fb == c;
    }
    return e.motion == c;
}

//------------------------------------------------------------------ matching

static bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

// matches one printf conversion %W.P(f|e) at text[*pos]: a number right-aligned in at least
// W characters with exactly P decimals (and a two-digit exponent for e)
static bool match_number(const std::string& text, size_t* pos, int width, int precision,
                         char conv) {
    size_t p = *pos;
    while (p < text.size() && text[p] == ' ') {
        ++p;
    }
    const size_t start = p;
    if (p < text.size() && text[p] == '-') {
        ++p;
    }
    const size_t int_start = p;
    while (p < text.size() && is_digit(text[p])) {
        ++p;
    }
    if (p == int_start || (conv == 'e' && p - int_start != 1)) {
        return false;
    }
    if (precision > 0) {
        if (p >= text.size() || text[p] != '.') {
            return false;
        }
        ++p;
        for (int i = 0; i < precision; ++i, ++p) {
            if (p >= text.size() || !is_digit(text[p])) {
                return false;
            }
        }
    }
    if (conv == 'e') {
        if (text.compare(p, 1, "e") != 0 || p + 3 >= text.size()
            || (text[p + 1] != '+' && text[p + 1] != '-') || !is_digit(text[p + 2])
            || !is_digit(text[p + 3])) {
            return false;
        }
        p += 4;
    }
    const size_t length = p - *pos;
    const bool padded_right = length == static_cast<size_t>(width) || start == *pos;
    if (length < static_cast<size_t>(width) || !padded_right) {
        return false;
    }
    *pos = p;
    return true;
}

// matches format at text[*pos], literal bytes exactly
static bool match_format(const std::string& text, size_t* pos, const char* format) {
    for (const char* f = format; *f != '\0';) {
        if (*f == '%') {
            char* end = nullptr;
            const long width = std::strtol(f + 1, &end, 10);
            const long precision = *end == '.' ? std::strtol(end + 1, &end, 10) : 6;
            if (!match_number(text, pos, static_cast<int>(width), static_cast<int>(precision),
                              *end)) {
                return false;
            }
            f = end + 1;
        } else {
            if (*pos >= text.size() || text[*pos] != *f) {
                return false;
            }
            ++*pos;
            ++f;
        }
    }
    return true;
}

// the report at text[*pos]: header, the lines that apply, a final line end
template <size_t N>
static ::testing::AssertionResult match_report(const std::string& text, size_t* pos,
                                               const char* header, const ReportLine (&lines)[N],
                                               const Experiment& e) {
    if (!match_format(text, pos, header)) {
        return ::testing::AssertionFailure() << "no header '" << header << "' at " << *pos;
    }
    for (const ReportLine& line : lines) {
        if (line_applies(line.when, e) && !match_format(text, pos, line.format)) {
            return ::testing::AssertionFailure()
                   << "line '" << line.format << "' does not match at:\n"
                   << text.substr(*pos, 200);
        }
    }
    if (!match_format(text, pos, "\n")) {
        return ::testing::AssertionFailure() << "no final line end at:\n" << text.substr(*pos, 200);
    }
    return ::testing::AssertionSuccess();
}

static const char* const HEADER_A = "\n\n現在設定している値";
static const std::string CALCULATING = "\n\n　　　只今計算中．．．．．．．　　   　計算終了";

// checks report A before the arm question and report B before the final marker in out
static void expect_both_reports(const std::string& out, const Experiment& e) {
    size_t pos = out.find(HEADER_A);
    ASSERT_NE(pos, std::string::npos) << out;
    if (e.robot == 'a') {
        EXPECT_TRUE(match_report(out, &pos, HEADER_A, REPORT_A_CYL, e));
    } else {
        EXPECT_TRUE(match_report(out, &pos, HEADER_A, REPORT_A_SCARA, e));
    }
    EXPECT_EQ(out.compare(pos, ARM_Q.size(), ARM_Q), 0) << out.substr(pos, 200);
    pos = out.find(HEADER_B, pos);
    ASSERT_NE(pos, std::string::npos) << out;
    if (e.robot == 'a') {
        EXPECT_TRUE(match_report(out, &pos, HEADER_B.c_str(), REPORT_B_CYL, e));
    } else {
        EXPECT_TRUE(match_report(out, &pos, HEADER_B.c_str(), REPORT_B_SCARA, e));
    }
    // the sine path, the longest run, is announced before the simulation and after it
    const std::string tail =
        (e.motion == 'c' && e.cp == 4 ? CALCULATING : std::string()) + FINAL_MARKER;
    EXPECT_EQ(out.substr(pos), tail);
}

//------------------------------------------------------------------ every robot and pattern

class ReportsByKeys : public ::testing::TestWithParam<Experiment> {};

// start-up answered by keys ('n' to the file, robot, pattern, path kind), then 'n' at once
TEST_P(ReportsByKeys, PrintTheLinesOfTheirSelectors) {
    const Experiment e = GetParam();
    std::string script = std::string("n ") + e.robot + " " + e.motion + " ";
    if (e.motion == 'c') {
        script += std::to_string(e.cp) + "\n";
    }
    script += "n";
    const ConsoleRun run = run_robosim(script);
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    expect_both_reports(run.out, e);
    EXPECT_EQ(run.out.find("逆運動学の解なし"), std::string::npos);
}

static std::string experiment_name(const ::testing::TestParamInfo<Experiment>& info) {
    const Experiment& e = info.param;
    std::string name = std::string(e.robot == 'a' ? "Cyl" : "Scara") + "_" + e.motion;
    if (e.motion == 'c') {
        name += std::to_string(e.cp);
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(
    AllPatterns, ReportsByKeys,
    ::testing::Values(Experiment{'a', 'g', 'V', 'q', 4}, Experiment{'a', 'g', 'V', 'p', 4},
                      Experiment{'a', 'g', 'V', 'c', 1}, Experiment{'a', 'g', 'V', 'c', 2},
                      Experiment{'a', 'g', 'V', 'c', 3}, Experiment{'a', 'g', 'V', 'c', 4},
                      Experiment{'b', 'g', 'V', 'q', 4}, Experiment{'b', 'g', 'V', 'p', 4},
                      Experiment{'b', 'g', 'V', 'c', 1}, Experiment{'b', 'g', 'V', 'c', 2},
                      Experiment{'b', 'g', 'V', 'c', 3}, Experiment{'b', 'g', 'V', 'c', 4}),
    experiment_name);

//------------------------------------------------------------------ the example files

struct ExampleFile {
    const char* name;  // file in examples/
    Experiment e;      // what it selects
};

class ReportsOfExampleFiles : public ::testing::TestWithParam<ExampleFile> {};

// every example reads to its end, reaches every point and reports its own selectors (the
// gravity-off and velocity-feedback lines are only reachable this way at start-up)
TEST_P(ReportsOfExampleFiles, ReadCompletelyAndReportTheirSelectors) {
    const ExampleFile& f = GetParam();
    const ConsoleRun run =
        run_robosim(std::string("y ") + ROBOSIM_SOURCE_DIR + "/examples/" + f.name + "\nn");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    EXPECT_EQ(run.out.find("から先を読めません"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("逆運動学の解なし"), std::string::npos) << run.out;
    expect_both_reports(run.out, f.e);
}

static std::string example_name(const ::testing::TestParamInfo<ExampleFile>& info) {
    std::string name = info.param.name;
    return name.substr(0, name.find('.'));
}

INSTANTIATE_TEST_SUITE_P(Examples, ReportsOfExampleFiles,
                         ::testing::Values(ExampleFile{"cyl_step.dat", {'a', 'g', 'V', 'q', 4}},
                                           ExampleFile{"cyl_trap.dat", {'a', 'g', 'v', 'p', 4}},
                                           ExampleFile{"cyl_line.dat", {'a', 'h', 'V', 'c', 1}},
                                           ExampleFile{"cyl_circle.dat", {'a', 'g', 'V', 'c', 2}},
                                           ExampleFile{"cyl_ucurve.dat", {'a', 'h', 'V', 'c', 3}},
                                           ExampleFile{"cyl_sine.dat", {'a', 'g', 'V', 'c', 4}},
                                           ExampleFile{"scara_step.dat", {'b', 'h', 'V', 'q', 4}},
                                           ExampleFile{"scara_trap.dat", {'b', 'g', 'V', 'p', 4}},
                                           ExampleFile{"scara_line.dat", {'b', 'h', 'V', 'c', 1}},
                                           ExampleFile{"scara_circle.dat", {'b', 'h', 'V', 'c', 2}},
                                           ExampleFile{"scara_ucurve.dat", {'b', 'g', 'V', 'c', 3}},
                                           ExampleFile{"scara_sine.dat", {'b', 'g', 'V', 'c', 4}}),
                         example_name);

//------------------------------------------------------------------ numbers of the defaults

// right after start-up with the SCARA robot and the default sine path
TEST(Reports, DefaultScaraSineShowsItsControlAndPathValues) {
    const ConsoleRun run = run_robosim("n b c 4\nn");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string a = text_between(run.out, HEADER_A, ARM_Q);
    ASSERT_FALSE(a.empty()) << run.out;
    EXPECT_NE(a.find("\n(1-2) 第1,2アーム長 (l1,l2)=( 0.400, 0.280)[m]"), std::string::npos);
    EXPECT_NE(a.find("\n(2-1) 第１関節制御系の特性 (ωn,ζ,α)=(  4.000[Hz]   1.000   4.000[1/s])"),
              std::string::npos);
    EXPECT_NE(a.find("\n      第２関節制御系の特性 (ωn,ζ,α)=(  4.000[Hz]   1.000   4.000[1/s])"),
              std::string::npos);
    EXPECT_NE(a.find("\n(3) CP正弦波運動  終点時間  tf   =  2.000[s]"
                     "\n                  波長・振幅(L,A)=( 0.600, 0.200)[m]"
                     "\n(3-1) 初期位置(x0,y0)=(-0.100  0.300)[m]"
                     "\n(3-2) 目標位置(xf,yf)=( 0.500  0.300)[m]"),
              std::string::npos)
        << a;
    // report B: the motor law gives 3e-9 * 110^2 kg*m^2 and 0.004 * 110 N*m
    const std::string b = text_between(run.out, HEADER_B, FINAL_MARKER);
    EXPECT_NE(
        b.find("\n      パワー PW=110.00[W] →慣性IM=  3.630e-05[kg･m^2] 最大トルクτm= 0.440[Nm]"),
        std::string::npos)
        << b;
}

// the cylindrical robot's trapezoid breaks at 0.1 tf = 0.2 s on both motors; its rotor
// inertia of 3.63e-5 shows with a single significant digit in "%8.5f"
TEST(Reports, CylindricalTrapezoidShowsBreakTimesAndCoarseInertia) {
    const ConsoleRun run = run_robosim("n a p n");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string b = text_between(run.out, HEADER_B, FINAL_MARKER);
    EXPECT_NE(b.find("\n              →  折点時間  1,2 (t11,t12)  =( 0.200  0.200)[s]"),
              std::string::npos)
        << b;
    EXPECT_NE(
        b.find("\n      パワーPW=110.000 → 慣性 IM= 0.00004[kg･m^2] 最大トルクτm= 0.440[Nm])"),
        std::string::npos)
        << b;
}

// a robot type without a robot (only a data file can give one now) prints the headers and the
// final line ends only
TEST(Reports, UnknownRobotPrintsOnlyHeaders) {
    const std::string path =
        ::testing::TempDir() + "robosim_unknown_robot_" + std::to_string(getpid()) + ".dat";
    std::FILE* f = std::fopen(path.c_str(), "w");
    ASSERT_NE(f, nullptr);
    std::fputs("x 1.0 g 4 4 4 4 V q 0.3 0.2 0.4 0.1\n", f);
    std::fclose(f);
    const ConsoleRun run = run_robosim("y\n" + path + "\nn");
    std::remove(path.c_str());
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    EXPECT_NE(run.out.find(std::string(HEADER_A) + "\n" + ARM_Q), std::string::npos);
    EXPECT_NE(run.out.find(std::string(HEADER_B) + "\n" + FINAL_MARKER), std::string::npos);
}
