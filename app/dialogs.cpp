// The console menu and the chain of parameter dialogs. Every dialog shows the old values
// before it asks; an entered value replaces the stored one at once. Frequencies are typed and
// shown in Hz and stored as angular frequencies (rad/s). Whatever the path through the chain,
// it ends in the final stage, which re-derives, reports, simulates and resets the view, so
// that the window always shows results that match the settings.
#include "app/dialogs.h"

#include "app/datafile.h"
#include "app/report.h"
#include "app/session.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/cp_path.h"
#include "planning/experiment.h"
#include "planning/kinematics.h"
#include "planning/trapezoid.h"
#include "platform/console.h"
#include "platform/console_io.h"
#include "settings/messages_ja.h"
#include "settings/setting_fields.h"
#include "sim/simulate.h"
#include "view/view_state.h"

#include <cassert>
#include <cstring>
#include <iterator>

namespace robosim {

//------------------------------------------------------------------ helpers

const char* cp_name(int cp) {
    if (cp < 0 || cp >= CP_NAME_COUNT) {
        return cp_names[0];  // outside the table: the neutral name, never a read past it
    }
    return cp_names[cp];
}

int ask_key(const char* prompt, const char* allowed, const char* message) {
    for (;;) {
        console_print("%s", prompt);
        const int key = console_read_key();
        if (key != 0 && std::strchr(allowed, key) != nullptr) {
            return key;
        }
        console_print("%s", message);
    }
}

int ask_cp_kind(int cp_old, bool at_startup) {
    for (;;) {
        if (at_startup) {
            console_print(
                "\nCP 軌道を選択　旧cp=%d = %s  cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=",
                cp_old, cp_name(cp_old));
        } else {
            console_print(
                "\n  CP 軌道を選択　旧cp=%d = %s  cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=",
                cp_old, cp_name(cp_old));
        }
        int cp = 0;
        if (console_read_int(&cp) == 1 && cp >= 1 && cp <= 4) {
            return cp;
        }
        console_print("\n  %s", selector_refusal_text_ja("cp").c_str());
    }
}

// one value a dialog asks for
struct Asked {
    const char* name;     // as the prompt names it, for the message of a refusal
    double* field;        // where it goes
    const char* setting;  // the setting it is, named whole: its rule is the table's
};

// Prints the prompt and reads the values until each is a number its rule allows in the settings
// s, then stores them all: a refused answer changes nothing and is asked for again. The prompt
// is a callable that prints the question with the old values.
template <class Prompt>
static void ask_values(const Settings& s, Prompt prompt, std::initializer_list<Asked> asked) {
    constexpr size_t MAX_ASKED = 9;  // the most values one prompt asks for
    assert(asked.size() <= MAX_ASKED);
    for (;;) {
        prompt();
        double values[MAX_ASKED] = {};
        double* fields[MAX_ASKED] = {};
        for (size_t i = 0; i < asked.size(); ++i) {
            values[i] = *asked.begin()[i].field;
            fields[i] = &values[i];
        }
        if (console_read_doubles(fields, asked.size()) != static_cast<int>(asked.size())) {
            console_print("\n  数値を %zu 個，空白で区切って入力してください", asked.size());
            continue;
        }
        const Asked* wrong = nullptr;
        for (size_t i = 0; i < asked.size() && wrong == nullptr; ++i) {
            if (!value_allowed(setting_rule(asked.begin()[i].setting), values[i], s)) {
                wrong = &asked.begin()[i];
            }
        }
        if (wrong != nullptr) {
            console_print("\n  %s",
                          refusal_text_ja(wrong->name, setting_rule(wrong->setting), s).c_str());
            continue;
        }
        for (size_t i = 0; i < asked.size(); ++i) {
            *asked.begin()[i].field = values[i];
        }
        return;
    }
}

// the answer to the question that opens the dialogs of steps (1-1) to (2-1)
enum class ChainAnswer {
    run,   // any key but 'z' and 'n' (upper case included) runs the dialog
    skip,  // 'z': on to the next question
    stop,  // 'n': none of the following dialogs, straight to the final stage
};

static ChainAnswer ask_chain_question(const char* question) {
    console_print("%s", question);
    const int key = console_read_key();
    if (key == 'z') {
        return ChainAnswer::skip;
    }
    if (key == 'n') {
        return ChainAnswer::stop;
    }
    return ChainAnswer::run;
}

// makes a pattern the current motion of plan: start, end and (with_tf) its time
static void make_current(const PatternRecord& rec, bool with_tf, Plan& plan) {
    plan.x0 = rec.x0;
    plan.y0 = rec.y0;
    plan.xf = rec.xf;
    plan.yf = rec.yf;
    if (with_tf) {
        plan.tf = rec.tf;
    }
}

//------------------------------------------------------------------ key menu

static void print_key_menu() {
    console_print("\n\n描画画面上でキーによる操作選択");
    console_print("\n      'r'     : ロボット諸元・軌道データファイルから読み込み");
    console_print("\n(1-1) 'a' 'b' : 円筒座標・SCARAロボットの選択\n");
    console_print("\n(1-2) 'l'     : ロボットアーム長・ワーク質量の変更");
    console_print("\n(1-3) 'm'     : モータパワー変更");
    console_print("\n(1-4) 'u'     : 減速機の減速比・伝達効率変更");
    console_print("\n(1-5) 'g' 'h' : 重力有り(垂直運動）・なし(水平運動)の選択");
    console_print("\n(2-1) 'k'     : 制御系ゲイン変更（PD and PID)");
    console_print("\n(2-2) 'v' 'V' : 速度FB・速度誤差FBの選択");
    console_print("\n(3-1) 'q' 'p' 'c': PTP(step入力) or PTP(台形速度入力) or CP動作の選択");
    console_print("\n(3-2) 1,2,3,4 : 'c'のとき(CP)軌道種類を選択");
    console_print("\n(4) 描画の選択");
    console_print("\n(4-1) 's'    ：運動継続");
    console_print("\n(4-2) '0'    ：運動初期に戻す");
    console_print("\n(4-3) 't' 'i'：トルク変化図・慣性変化図の選択");
    console_print("\n(4-4) 'w' 'W'：ロボット図の縮小拡大");
    console_print("\n(5)   ESC    ：終了                                描画画面へ");
}

static void print_robot_heading(int robot_type) {
    if (robot_type == 'a') {
        console_print("\n\n(a) 円筒座標ロボットの線形制御");
    } else if (robot_type == 'b') {
        console_print("\n\n(b) SCARAロボットの線形制御");
    }
}

//------------------------------------------------------------------ (1) mechanics

// reads and writes: cyl.L / scara.L1, scara.L2 (the user types joint 2 to the work, L2 + wc)
static void dialog_arm(ParameterSet& ps) {
    console_print("\n(1-1) ロボットアーム長変更");
    if (ps.settings.robot_type == 'a') {
        ask_values(
            ps.settings,
            [&ps] { console_print("\n  アーム長(旧=%5.2f[m])を入力  L[m]  =", ps.settings.cyl.L); },
            {{"L", &ps.settings.cyl.L, "cyl.L"}});
    } else if (ps.settings.robot_type == 'b') {
        double L2w = scara_L2w(ps.settings);  // joint 2 to the work position (m)
        ask_values(ps.settings,
                   [&ps, L2w] {
                       console_print("\n  アーム長(旧L1,L2=%5.2f %5.2f[m])を入力  L1 L2[m]=",
                                     ps.settings.scara.L1, L2w);
                   },
                   {{"L1", &ps.settings.scara.L1, "scara.L1"}, {"L2", &L2w, "scara.L2w"}});
        ps.settings.scara.L2 = scara_L2_of(L2w, ps.settings.wc);
    }
}

// reads and writes: mw; writes the work block (work_a, work_b, IGw)
static void dialog_work(ParameterSet& ps) {
    ask_values(
        ps.settings,
        [&ps] { console_print("\n(1-2) ワーク質量(旧=%5.2f[kg])を入力　mw[kg]=", ps.settings.mw); },
        {{"mw", &ps.settings.mw, "mw"}});
    derive_work(ps.model, ps.settings.mw);
    console_print("\n  →  ワーク質量，慣性モーメント=(%7.4f[kg], %7.4f[kg･m^2])", ps.settings.mw,
                  ps.model.IGw);
}

// reads and writes: PW1, PW2 of the current robot
static void dialog_motor(ParameterSet& ps) {
    if (ps.settings.robot_type != 'a' && ps.settings.robot_type != 'b') {
        return;  // no robot, no motors
    }
    RobotSettings& rs = robot_of(ps.settings, ps.settings.robot_type);
    ask_values(ps.settings,
               [&rs] {
                   console_print("\n(1-3) モータパワー変更（旧PW1=%5.2f PW2=%5.2f[W])  PW1 PW2=",
                                 rs.PW1, rs.PW2);
               },
               {{"PW1", &rs.PW1, "PW1"}, {"PW2", &rs.PW2, "PW2"}});
}

// the ratio and forward efficiency of gear 1 or 2 of the current robot, each prompt showing
// the old ones
static void ask_gear(const Settings& s, RobotSettings& rs, int gear) {
    double& u = gear == 1 ? rs.u1 : rs.u2;
    double& eta = gear == 1 ? rs.eta_fwd1 : rs.eta_fwd2;
    const bool cyl = s.robot_type == 'a';
    const auto prompt = [gear, cyl, &u, &eta] {
        if (cyl && gear == 1) {
            console_print("\n(1-4) 回転関節減速比・効率変更（旧u1=%5.2f η1=%5.2f)  u1 η1=", u, eta);
        } else if (cyl) {
            console_print("      直動関節減速比・効率変更（旧u2=%5.2f η2=%5.2f)  u2 η2=", u, eta);
        } else if (gear == 1) {
            console_print("\n(1-4) 第１関節減速比・効率変更（旧u1=%5.2f η1=%5.2f)  u1 η1=", u, eta);
        } else {
            console_print("\n      第２関節減速比・効率変更（旧u2=%5.2f η2=%5.2f)  u2 η2=", u, eta);
        }
    };
    ask_values(s, prompt,
               {{gear == 1 ? "u1" : "u2", &u, gear == 1 ? "u1" : "u2"},
                {gear == 1 ? "η1" : "η2", &eta, gear == 1 ? "eta_fwd1" : "eta_fwd2"}});
}

// reads and writes: u1, eta_fwd1, u2, eta_fwd2 of the current robot
static void dialog_gear(ParameterSet& ps) {
    if (ps.settings.robot_type == 'a') {
        RobotSettings& rs = ps.settings.cyl;
        ask_gear(ps.settings, rs, 1);
        ask_gear(ps.settings, rs, 2);
    } else if (ps.settings.robot_type == 'b') {
        RobotSettings& rs = ps.settings.scara;
        ask_gear(ps.settings, rs, 1);
        ask_gear(ps.settings, rs, 2);
    }
}

//------------------------------------------------------------------ (2) control

// reads and writes: omega_n1, omega_n2, alpha1, alpha2 (shared by both robots); writes
// zeta1 = zeta2 = 1.0
static void dialog_gains(ParameterSet& ps) {
    console_print("\n(2-1) PID(PD)フィードバックゲイン変更");
    console_print("\n   ロボット動力学を線形化した系の積分・比例・速度ゲインを設定");
    console_print("\n   制御系の減衰比ζ1,ζ2=1.0とする");
    console_print(
        "\n   制御系の固有振動数ωnともう１つの時定数の逆数αを変更\n   （PD制御ならばα=0とする）");
    double fn1_hz = hz_of_omega(ps.settings.omega_n1);  // kept when the answer is not a number
    ask_values(ps.settings,
               [&ps, fn1_hz] {
                   console_print("\n   回転関節制御系 旧fn1=%6.3f[Hz], α1=%6.3f[1/s]  fn1 α1=",
                                 fn1_hz, ps.settings.alpha1);
               },
               {{"fn1", &fn1_hz, "fn1"}, {"α1", &ps.settings.alpha1, "alpha1"}});
    double fn2_hz = hz_of_omega(ps.settings.omega_n2);
    ask_values(ps.settings,
               [&ps, fn2_hz] {
                   console_print("   直動関節制御系 旧fn2=%6.3f[Hz], α2=%6.3f[1/s]  fn2 α2=",
                                 fn2_hz, ps.settings.alpha2);
               },
               {{"fn2", &fn2_hz, "fn2"}, {"α2", &ps.settings.alpha2, "alpha2"}});
    ps.settings.omega_n1 = omega_of_hz(fn1_hz);
    ps.settings.omega_n2 = omega_of_hz(fn2_hz);
    ps.settings.zeta2 = 1.0;
    ps.settings.zeta1 = ps.settings.zeta2;
}

// reads and writes: fb_type ('v' or 'V', asked again until it is one)
static void dialog_feedback(ParameterSet& ps) {
    if (ps.settings.fb_type == 'v') {
        console_print("\n(2-2) 旧速度FB");
    } else if (ps.settings.fb_type == 'V') {
        console_print("\n(2-2) 旧速度誤差FB");
    }
    ps.settings.fb_type = ask_key("\n    速度FB : v　  速度誤差FB : V     どちらかを入力   ", "vV",
                                  ("\n  " + selector_refusal_text_ja("fb_type")).c_str());
}

//------------------------------------------------------------------ (3) motion

// the question whether to change the motion, and the new pattern key; false on 'n'.
// reads and writes: motion ('q', 'p' or 'c', asked again until it is one)
static bool dialog_motion_choice(ParameterSet& ps) {
    console_print("\n(3) 運動変更？：y  変更しない：n   ");
    if (console_read_key() == 'n') {
        return false;
    }
    console_print("\n(3) 運動パターン 旧");
    if (ps.settings.motion == 'q') {
        console_print("PTP(step入力指令)");
    } else if (ps.settings.motion == 'p') {
        console_print("PTP(台形速度入力指令)");
    } else if (ps.settings.motion == 'c') {
        console_print("CP(台形速度入力指令)");
    }
    ps.settings.motion = ask_key("\n  PTP(step入力) : q    PTP(台形速度入力)：p　CP：c  ", "qpc",
                                 ("\n  " + selector_refusal_text_ja("motion")).c_str());
    return true;
}

// reads and writes: step; writes x0 y0 xf yf and the current robot's phi/theta ends
static void dialog_step(ParameterSet& ps, ReachReport& told) {
    PatternRecord& p = ps.settings.step;
    console_print("\n(3-1) PTP(step入力指令）");
    console_print("\n    旧始点 (x0,y0)=(%6.3f %6.3f)[m]", p.x0, p.y0);
    console_print("\n\t    終点 (xf,yf)=(%6.3f %6.3f)[m]", p.xf, p.yf);
    console_print("\n    変更する？　yes:y   no:n   ");
    if (console_read_key() == 'y') {
        ask_values(
            ps.settings, [] { console_print("\n      入力　x0 y0 xf yf="); },
            {{"x0", &p.x0, "x0"}, {"y0", &p.y0, "y0"}, {"xf", &p.xf, "xf"}, {"yf", &p.yf, "yf"}});
    }
    make_current(p, false, ps.plan);
    tell_unreachable(ps, convert_motion_ends(ps.settings, ps.plan, ps.settings.robot_type), true,
                     &told);
}

// start, end and motion time of a pattern
static void ask_ends_and_time(const Settings& s, PatternRecord& p, const char* prompt) {
    ask_values(s, [prompt] { console_print("%s", prompt); },
               {{"x0", &p.x0, "x0"},
                {"y0", &p.y0, "y0"},
                {"xf", &p.xf, "xf"},
                {"yf", &p.yf, "yf"},
                {"tf", &p.tf, "tf"}});
}

// reads and writes: trap; writes the current motion, its ends and the motor trapezoids
static void dialog_trapezoid(ParameterSet& ps, ReachReport& told) {
    PatternRecord& p = ps.settings.trap;
    console_print("\n(3) PTP(台形速度入力）");
    console_print("\n    旧始点 (x0,y0)=(%6.3f %6.3f)", p.x0, p.y0);
    console_print("\n\t    終点 (xf,yf)=(%6.3f %6.3f)[m]  位置決め時間 tf=%5.2f[s]", p.xf, p.yf,
                  p.tf);
    console_print("\n    変更する？   yes:y   no:n   ");
    if (console_read_key() == 'y') {
        ask_ends_and_time(ps.settings, p, "\n  入力　x0 y0 xf yf tf=");
    }
    make_current(p, true, ps.plan);
    tell_unreachable(ps, convert_motion_ends(ps.settings, ps.plan, ps.settings.robot_type), true,
                     &told);
    plan_ptp_motors(ps.plan, ps.settings.robot_type);
}

static void dialog_line(ParameterSet& ps) {
    PatternRecord& p = ps.settings.line;
    console_print("\n(3-3-1) 直線軌道");
    console_print("\n    旧  始点 (x0,y0)=(%6.3f %6.3f)[m]", p.x0, p.y0);
    console_print("\n \t    終点 (xf,yf)=(%6.3f %6.3f)[m]  位置決め時間 tf=%5.2f[s]", p.xf, p.yf,
                  p.tf);
    console_print("\n    軌道変更する？  yes:y   no:n   ");
    if (console_read_key() == 'y') {
        ask_ends_and_time(ps.settings, p, "\n  入力  x0 y0 xf yf tf=");
    }
}

// the circle starts and ends at its right-most point, new values or not
static void dialog_circle(ParameterSet& ps) {
    PatternRecord& p = ps.settings.circle;
    console_print("\n(3-3-2) 円軌道  右端から反時計回りに１周");
    console_print("\n    旧円の中心O=(%6.3f %6.3f)[m]   半径r=%6.3f[m]", p.Ox, p.Oy, p.rr);
    console_print("\n      位置決め時間 tf=%5.3f[s]", p.tf);
    console_print("\n    変更する？　　yes:y   no:n   ");
    if (console_read_key() == 'y') {
        ask_values(
            ps.settings, [] { console_print("\n    Ox Oy r tf="); },
            {{"Ox", &p.Ox, "Ox"}, {"Oy", &p.Oy, "Oy"}, {"r", &p.rr, "rr"}, {"tf", &p.tf, "tf"}});
    }
    derive_circle_ends(p);
}

static void dialog_ucurve(ParameterSet& ps) {
    PatternRecord& p = ps.settings.ucurve;
    console_print("\n(3-3-3) 逆Ｕ字軌道 垂直上昇－半円－垂直下降軌道");
    console_print("\n     旧  始点  P0(%6.3f %6.3f)[m]", p.x0, p.y0);
    console_print("\n         終点  Pf(%6.3f %6.3f)[m] 位置決め時間 tf=%6.3f[s]", p.xf, p.yf, p.tf);
    console_print("\n     旧中間点1 P1(%6.3f %6.3f)", p.x1, p.y1);
    console_print("\n\t   中間点2 P2(%6.3f %6.3f)", p.x2, p.y2);
    console_print("\n     変更する？   yes:y   no:n   ");
    if (console_read_key() == 'y') {
        ask_ends_and_time(ps.settings, p, "\n     始点・終点・時間 x0 y0 xf yf tf=");
        ask_values(
            ps.settings, [] { console_print("\n     中間点1,2        x1 y1 x2 y2   ="); },
            {{"x1", &p.x1, "x1"}, {"y1", &p.y1, "y1"}, {"x2", &p.x2, "x2"}, {"y2", &p.y2, "y2"}});
    }
}

// the sine path ends one wavelength to the right of its start
static void dialog_sine(ParameterSet& ps) {
    PatternRecord& p = ps.settings.sine;
    console_print("\n(3-3-4) 正弦波軌道 y=A*sin(2π(x-x0)/L)+y0");
    console_print("\n     旧始点 P0=(%6.3f %6.3f)", p.x0, p.y0);
    console_print("\n       波長 L=%6.3f[m]  振幅A=%6.3f[m]  位置決め時間tf=%5.2f[s]", p.L, p.A,
                  p.tf);
    console_print("\n     変更する？   yes:y   no:n   ");
    if (console_read_key() == 'y') {
        ask_values(ps.settings,
                   [] { console_print("\n   入力 始点・波長・振幅・時間　x0 y0 L A tf="); },
                   {{"x0", &p.x0, "x0"},
                    {"y0", &p.y0, "y0"},
                    {"L", &p.L, "sine.L"},
                    {"A", &p.A, "A"},
                    {"tf", &p.tf, "tf"}});
    }
    derive_sine_end(p);
}

// reads and writes: cp and the record of the chosen path; writes the current motion, its ends
// and the CP plan. A kind outside 1 .. 4 has no path, so it is asked for again.
static void dialog_cp(ParameterSet& ps, ReachReport& told) {
    ps.settings.cp = ask_cp_kind(ps.settings.cp, false);
    const PatternRecord* rec = nullptr;
    switch (ps.settings.cp) {
        case 1:
            dialog_line(ps);
            rec = &ps.settings.line;
            break;
        case 2:
            dialog_circle(ps);
            rec = &ps.settings.circle;
            break;
        case 3:
            dialog_ucurve(ps);
            rec = &ps.settings.ucurve;
            break;
        case 4:
            dialog_sine(ps);
            rec = &ps.settings.sine;
            break;
        default:
            break;  // other kinds have no path: straight to the final stage
    }
    if (rec == nullptr) {
        return;
    }
    make_current(*rec, true, ps.plan);
    tell_unreachable(ps, convert_motion_ends(ps.settings, ps.plan, ps.settings.robot_type), true,
                     &told);
    plan_cp_path(ps.settings, ps.plan, ps.settings.robot_type, ps.settings.cp);
}

// the dialog of the current motion; every motion key but 'p' and 'c' means the step command
static void dialog_motion(ParameterSet& ps, ReachReport& told) {
    if (ps.settings.motion == 'p') {
        dialog_trapezoid(ps, told);
    } else if (ps.settings.motion == 'c') {
        dialog_cp(ps, told);
    } else {
        dialog_step(ps, told);
    }
}

//------------------------------------------------------------------ chain

// a dialog that opens with a y/z/n question
struct QuestionDialog {
    const char* question;           // the y/z/n question
    void (*run)(ParameterSet& ps);  // the dialog itself
};

// where the chain starts
enum class ChainStart {
    arm,     // (1-1) arm length: the whole chain
    motor,   // (1-3) motor power
    gear,    // (1-4) reduction gears
    gains,   // (2-1) control gains
    motion,  // (3) the dialog of the current motion, without the question of its change
};

// runs the dialogs from start to the end of the chain, or until an answer 'n'
static void run_chain(ChainStart start, ParameterSet& ps, ReachReport& told) {
    if (start != ChainStart::motion) {
        // the dialogs that open with a y/z/n question, in chain order
        // clang-format off
        const QuestionDialog dialogs[] = {
            {"\n(1-1) アーム長変更する？：y  アーム長は変更しない：z  以下全て変更しない : n  ", dialog_arm},
            {"\n(1-2) ワーク変更？：y  ワークは変更しない：z  以下全て変更しない : n  ", dialog_work},
            {"\n(1-3) モータ変更？：y  モータは変更しない：z  以下全て変更しない : n     ", dialog_motor},
            {"\n(1-4) 減速機変更？：y  減速機は変更しない：z  以下全て変更しない : n   ", dialog_gear},
            {"\n(2-1) 制御ゲイン変更？：y  変更しない：z  以下全て変更しない : n  ", dialog_gains},
        };
        // clang-format on
        int first = 0;  // index into dialogs
        if (start == ChainStart::motor) {
            first = 2;
        } else if (start == ChainStart::gear) {
            first = 3;
        } else if (start == ChainStart::gains) {
            first = 4;
        }
        for (int i = first; i < static_cast<int>(std::size(dialogs)); ++i) {
            const ChainAnswer answer = ask_chain_question(dialogs[i].question);
            if (answer == ChainAnswer::stop) {
                return;
            }
            if (answer == ChainAnswer::run) {
                dialogs[i].run(ps);
            }
        }
        dialog_feedback(ps);
        if (!dialog_motion_choice(ps)) {
            return;
        }
    }
    dialog_motion(ps, told);
}

void final_stage(Session& session) {
    ParameterSet& ps = session.experiment;
    tell_unreachable(ps, update_derived(ps), true, &session.told_unreachable);
    print_settings_derived(ps);
    const bool long_run =
        ps.settings.motion == 'c' && ps.settings.cp == 4;  // the sine path takes longest
    if (long_run) {
        console_print("\n\n　　　只今計算中．．．．．．．");
    }
    if (ps.settings.robot_type == 'a' || ps.settings.robot_type == 'b') {
        tell_unreachable(ps, run_current_experiment(session), false, &session.told_unreachable);
    }
    session.told_unreachable = {};  // the run is done: the next one tells its points again
    if (long_run) {
        console_print("　　   　計算終了");
    }
    console_print("\n\n描画画面へ       ");
    const ViewState before = session.view;
    session.view = initial_view_state();
    // the comparison, the torque scale and the pace chosen go on over new runs
    session.view.figures_shown = before.figures_shown;
    session.view.torque_own_range = before.torque_own_range;
    session.view.slowdown = before.slowdown;
}

void console_dialogs(Session& session) {
    ParameterSet& ps = session.experiment;
    print_key_menu();
    print_robot_heading(ps.settings.robot_type);
    switch (session.last_key) {
        case 'l':
            run_chain(ChainStart::arm, ps, session.told_unreachable);
            break;
        case 'm':
            run_chain(ChainStart::motor, ps, session.told_unreachable);
            break;
        case 'u':
            run_chain(ChainStart::gear, ps, session.told_unreachable);
            break;
        case 'k':
            run_chain(ChainStart::gains, ps, session.told_unreachable);
            break;
        case 'q':
        case 'p':
        case 'c':
            run_chain(ChainStart::motion, ps, session.told_unreachable);
            break;
        case 'r':
            if (std::string name = read_robot_file(ps); !name.empty()) {
                session.data_file_name = name;
                session.caption_base = ps.settings;
            }
            break;
        default:
            // '0' at start-up, 'a', 'b' and every other key: show the values, then everything
            print_settings(ps);
            run_chain(ChainStart::arm, ps, session.told_unreachable);
            break;
    }
    final_stage(session);
}

}  // namespace robosim
