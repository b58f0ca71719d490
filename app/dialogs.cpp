// The console menu and the chain of parameter dialogs. Every dialog shows the old values
// before it asks; an entered value replaces the stored one at once. Frequencies are typed and
// shown in Hz and stored as angular frequencies (rad/s). Whatever the path through the chain,
// it ends in the final stage, which re-derives, reports, simulates and resets the view, so
// that the window always shows results that match the settings.
#include "app/dialogs.h"

#include "app/datafile.h"
#include "app/experiment.h"
#include "app/report.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/cp_path.h"
#include "planning/experiment.h"
#include "planning/kinematics.h"
#include "planning/trapezoid.h"
#include "platform/console.h"
#include "platform/console_io.h"
#include "sim/simulate.h"
#include "view/view_state.h"

char last_key = {};

//------------------------------------------------------------------ helpers

const char* cp_name(int cp) {
    if (cp < 0 || cp >= CP_NAME_COUNT) {
        return cp_names[0];  // outside the table: the neutral name, never a read past it
    }
    return cp_names[cp];
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

// makes a pattern the current motion: start, end and (with_tf) its time
static void make_current(const PatternRecord& rec, bool with_tf) {
    params.plan.x0 = rec.x0;
    params.plan.y0 = rec.y0;
    params.plan.xf = rec.xf;
    params.plan.yf = rec.yf;
    if (with_tf) {
        params.plan.tf = rec.tf;
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

static void print_robot_heading() {
    if (params.settings.robot_type == 'a') {
        console_print("\n\n(a) 円筒座標ロボットの線形制御");
    } else if (params.settings.robot_type == 'b') {
        console_print("\n\n(b) SCARAロボットの線形制御");
    }
}

//------------------------------------------------------------------ (1) mechanics

// reads and writes: cyl.L / scara.L1, scara.L2 (the user types joint 2 to the work, L2 + wc)
static void dialog_arm() {
    console_print("\n(1-1) ロボットアーム長変更");
    if (params.settings.robot_type == 'a') {
        console_print("\n  アーム長(旧=%5.2f[m])を入力  L[m]  =", params.settings.cyl.L);
        console_read_doubles({&params.settings.cyl.L});
    } else if (params.settings.robot_type == 'b') {
        double L2w =
            params.settings.scara.L2 + params.settings.wc;  // joint 2 to the work position (m)
        console_print(
            "\n  アーム長(旧L1,L2=%5.2f %5.2f[m])を入力  L1 L2[m]=", params.settings.scara.L1, L2w);
        console_read_doubles({&params.settings.scara.L1, &L2w});
        params.settings.scara.L2 = L2w - params.settings.wc;
    }
}

// reads and writes: mw; writes the work block (work_a, work_b, IGw)
static void dialog_work() {
    console_print("\n(1-2) ワーク質量(旧=%5.2f[kg])を入力　mw[kg]=", params.settings.mw);
    console_read_doubles({&params.settings.mw});
    derive_work(params.model, params.settings.mw);
    console_print("\n  →  ワーク質量，慣性モーメント=(%7.4f[kg], %7.4f[kg･m^2])",
                  params.settings.mw, params.model.IGw);
}

// reads and writes: PW1, PW2 of the current robot
static void dialog_motor() {
    if (params.settings.robot_type != 'a' && params.settings.robot_type != 'b') {
        return;  // no robot, no motors
    }
    RobotSettings& rs = robot_of(params.settings, params.settings.robot_type);
    console_print("\n(1-3) モータパワー変更（旧PW1=%5.2f PW2=%5.2f[W])  PW1 PW2=", rs.PW1, rs.PW2);
    console_read_doubles({&rs.PW1, &rs.PW2});
}

// reads and writes: u1, eta_fwd1, u2, eta_fwd2 of the current robot
static void dialog_gear() {
    if (params.settings.robot_type == 'a') {
        RobotSettings& rs = params.settings.cyl;
        console_print("\n(1-4) 回転関節減速比・効率変更（旧u1=%5.2f η1=%5.2f)  u1 η1=", rs.u1,
                      rs.eta_fwd1);
        console_read_doubles({&rs.u1, &rs.eta_fwd1});
        console_print("      直動関節減速比・効率変更（旧u2=%5.2f η2=%5.2f)  u2 η2=", rs.u2,
                      rs.eta_fwd2);
        console_read_doubles({&rs.u2, &rs.eta_fwd2});
    } else if (params.settings.robot_type == 'b') {
        RobotSettings& rs = params.settings.scara;
        console_print("\n(1-4) 第１関節減速比・効率変更（旧u1=%5.2f η1=%5.2f)  u1 η1=", rs.u1,
                      rs.eta_fwd1);
        console_read_doubles({&rs.u1, &rs.eta_fwd1});
        console_print("\n      第２関節減速比・効率変更（旧u2=%5.2f η2=%5.2f)  u2 η2=", rs.u2,
                      rs.eta_fwd2);
        console_read_doubles({&rs.u2, &rs.eta_fwd2});
    }
}

//------------------------------------------------------------------ (2) control

// reads and writes: omega_n1, omega_n2, alpha1, alpha2 (shared by both robots); writes
// zeta1 = zeta2 = 1.0
static void dialog_gains() {
    console_print("\n(2-1) PID(PD)フィードバックゲイン変更");
    console_print("\n   ロボット動力学を線形化した系の積分・比例・速度ゲインを設定");
    console_print("\n   制御系の減衰比ζ1,ζ2=1.0とする");
    console_print(
        "\n   制御系の固有振動数ωnともう１つの時定数の逆数αを変更\n   （PD制御ならばα=0とする）");
    double fn1_hz = params.settings.omega_n1 / (2.0 * PI);  // kept when the answer is not a number
    console_print("\n   回転関節制御系 旧fn1=%6.3f[Hz], α1=%6.3f[1/s]  fn1 α1=", fn1_hz,
                  params.settings.alpha1);
    console_read_doubles({&fn1_hz, &params.settings.alpha1});
    double fn2_hz = params.settings.omega_n2 / (2.0 * PI);
    console_print("   直動関節制御系 旧fn2=%6.3f[Hz], α2=%6.3f[1/s]  fn2 α2=", fn2_hz,
                  params.settings.alpha2);
    console_read_doubles({&fn2_hz, &params.settings.alpha2});
    params.settings.omega_n1 = 2.0 * PI * fn1_hz;
    params.settings.omega_n2 = 2.0 * PI * fn2_hz;
    params.settings.zeta2 = 1.0;
    params.settings.zeta1 = params.settings.zeta2;
}

// reads and writes: fb_type (the key as typed)
static void dialog_feedback() {
    if (params.settings.fb_type == 'v') {
        console_print("\n(2-2) 旧速度FB");
    } else if (params.settings.fb_type == 'V') {
        console_print("\n(2-2) 旧速度誤差FB");
    }
    console_print("\n    速度FB : v　  速度誤差FB : V     どちらかを入力   ");
    params.settings.fb_type = console_read_key();
}

//------------------------------------------------------------------ (3) motion

// the question whether to change the motion, and the new pattern key; false on 'n'.
// reads and writes: motion (the key as typed)
static bool dialog_motion_choice() {
    console_print("\n(3) 運動変更？：y  変更しない：n   ");
    if (console_read_key() == 'n') {
        return false;
    }
    console_print("\n(3) 運動パターン 旧");
    if (params.settings.motion == 'q') {
        console_print("PTP(step入力指令)");
    } else if (params.settings.motion == 'p') {
        console_print("PTP(台形速度入力指令)");
    } else if (params.settings.motion == 'c') {
        console_print("CP(台形速度入力指令)");
    }
    console_print("\n  PTP(step入力) : q    PTP(台形速度入力)：p　CP：c  ");
    params.settings.motion = console_read_key();
    return true;
}

// reads and writes: step; writes x0 y0 xf yf and the current robot's phi/theta ends
static void dialog_step() {
    PatternRecord& p = params.settings.step;
    console_print("\n(3-1) PTP(step入力指令）");
    console_print("\n    旧始点 (x0,y0)=(%6.3f %6.3f)[m]", p.x0, p.y0);
    console_print("\n\t    終点 (xf,yf)=(%6.3f %6.3f)[m]", p.xf, p.yf);
    console_print("\n    変更する？　yes:y   no:n   ");
    if (console_read_key() == 'y') {
        console_print("\n      入力　x0 y0 xf yf=");
        console_read_doubles({&p.x0, &p.y0, &p.xf, &p.yf});
    }
    make_current(p, false);
    tell_unreachable(params,
                     convert_motion_ends(params.settings, params.plan, params.settings.robot_type),
                     true, &told_unreachable);
}

// reads and writes: trap; writes the current motion, its ends and the motor trapezoids
static void dialog_trapezoid() {
    PatternRecord& p = params.settings.trap;
    console_print("\n(3) PTP(台形速度入力）");
    console_print("\n    旧始点 (x0,y0)=(%6.3f %6.3f)", p.x0, p.y0);
    console_print("\n\t    終点 (xf,yf)=(%6.3f %6.3f)[m]  位置決め時間 tf=%5.2f[s]", p.xf, p.yf,
                  p.tf);
    console_print("\n    変更する？   yes:y   no:n   ");
    if (console_read_key() == 'y') {
        console_print("\n  入力　x0 y0 xf yf tf=");
        console_read_doubles({&p.x0, &p.y0, &p.xf, &p.yf, &p.tf});
    }
    make_current(p, true);
    tell_unreachable(params,
                     convert_motion_ends(params.settings, params.plan, params.settings.robot_type),
                     true, &told_unreachable);
    plan_ptp_motors(params.plan, params.settings.robot_type);
}

static void dialog_line() {
    PatternRecord& p = params.settings.line;
    console_print("\n(3-3-1) 直線軌道");
    console_print("\n    旧  始点 (x0,y0)=(%6.3f %6.3f)[m]", p.x0, p.y0);
    console_print("\n \t    終点 (xf,yf)=(%6.3f %6.3f)[m]  位置決め時間 tf=%5.2f[s]", p.xf, p.yf,
                  p.tf);
    console_print("\n    軌道変更する？  yes:y   no:n   ");
    if (console_read_key() == 'y') {
        console_print("\n  入力  x0 y0 xf yf tf=");
        console_read_doubles({&p.x0, &p.y0, &p.xf, &p.yf, &p.tf});
    }
}

// the circle starts and ends at its right-most point, new values or not
static void dialog_circle() {
    PatternRecord& p = params.settings.circle;
    console_print("\n(3-3-2) 円軌道  右端から反時計回りに１周");
    console_print("\n    旧円の中心O=(%6.3f %6.3f)[m]   半径r=%6.3f[m]", p.Ox, p.Oy, p.rr);
    console_print("\n      位置決め時間 tf=%5.3f[s]", p.tf);
    console_print("\n    変更する？　　yes:y   no:n   ");
    if (console_read_key() == 'y') {
        console_print("\n    Ox Oy r tf=");
        console_read_doubles({&p.Ox, &p.Oy, &p.rr, &p.tf});
    }
    p.x0 = p.Ox + p.rr;
    p.y0 = p.Oy;
    p.xf = p.x0;
    p.yf = p.y0;
}

static void dialog_ucurve() {
    PatternRecord& p = params.settings.ucurve;
    console_print("\n(3-3-3) 逆Ｕ字軌道 垂直上昇－半円－垂直下降軌道");
    console_print("\n     旧  始点  P0(%6.3f %6.3f)[m]", p.x0, p.y0);
    console_print("\n         終点  Pf(%6.3f %6.3f)[m] 位置決め時間 tf=%6.3f[s]", p.xf, p.yf, p.tf);
    console_print("\n     旧中間点1 P1(%6.3f %6.3f)", p.x1, p.y1);
    console_print("\n\t   中間点2 P2(%6.3f %6.3f)", p.x2, p.y2);
    console_print("\n     変更する？   yes:y   no:n   ");
    if (console_read_key() == 'y') {
        console_print("\n     始点・終点・時間 x0 y0 xf yf tf=");
        console_read_doubles({&p.x0, &p.y0, &p.xf, &p.yf, &p.tf});
        console_print("\n     中間点1,2        x1 y1 x2 y2   =");
        console_read_doubles({&p.x1, &p.y1, &p.x2, &p.y2});
    }
}

// the sine path ends one wavelength to the right of its start
static void dialog_sine() {
    PatternRecord& p = params.settings.sine;
    console_print("\n(3-3-4) 正弦波軌道 y=A*sin(2π(x-x0)/L)+y0");
    console_print("\n     旧始点 P0=(%6.3f %6.3f)", p.x0, p.y0);
    console_print("\n       波長 L=%6.3f[m]  振幅A=%6.3f[m]  位置決め時間tf=%5.2f[s]", p.L, p.A,
                  p.tf);
    console_print("\n     変更する？   yes:y   no:n   ");
    if (console_read_key() == 'y') {
        console_print("\n   入力 始点・波長・振幅・時間　x0 y0 L A tf=");
        console_read_doubles({&p.x0, &p.y0, &p.L, &p.A, &p.tf});
    }
    p.xf = p.x0 + p.L;
    p.yf = p.y0;
}

// reads and writes: cp and the record of the chosen path; writes the current motion, its ends
// and the CP plan. A kind outside 1 .. 4 has no path dialog.
static void dialog_cp() {
    console_print("\n  CP 軌道を選択　旧cp=%d = %s  cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=",
                  params.settings.cp, cp_name(params.settings.cp));
    console_read_int(&params.settings.cp);
    const PatternRecord* rec = nullptr;
    switch (params.settings.cp) {
        case 1:
            dialog_line();
            rec = &params.settings.line;
            break;
        case 2:
            dialog_circle();
            rec = &params.settings.circle;
            break;
        case 3:
            dialog_ucurve();
            rec = &params.settings.ucurve;
            break;
        case 4:
            dialog_sine();
            rec = &params.settings.sine;
            break;
        default:
            break;  // other kinds have no path: straight to the final stage
    }
    if (rec == nullptr) {
        return;
    }
    make_current(*rec, true);
    tell_unreachable(params,
                     convert_motion_ends(params.settings, params.plan, params.settings.robot_type),
                     true, &told_unreachable);
    plan_cp_path(params.settings, params.plan, params.settings.robot_type, params.settings.cp);
}

// the dialog of the current motion; every motion key but 'p' and 'c' means the step command
static void dialog_motion() {
    if (params.settings.motion == 'p') {
        dialog_trapezoid();
    } else if (params.settings.motion == 'c') {
        dialog_cp();
    } else {
        dialog_step();
    }
}

//------------------------------------------------------------------ chain

// the dialogs that open with a y/z/n question, in chain order
struct QuestionDialog {
    const char* question;  // the y/z/n question
    void (*run)();         // the dialog itself
};

// clang-format off
static const QuestionDialog QUESTION_DIALOGS[] = {
    {"\n(1-1) アーム長変更する？：y  アーム長は変更しない：z  以下全て変更しない : n  ", dialog_arm},
    {"\n(1-2) ワーク変更？：y  ワークは変更しない：z  以下全て変更しない : n  ", dialog_work},
    {"\n(1-3) モータ変更？：y  モータは変更しない：z  以下全て変更しない : n     ", dialog_motor},
    {"\n(1-4) 減速機変更？：y  減速機は変更しない：z  以下全て変更しない : n   ", dialog_gear},
    {"\n(2-1) 制御ゲイン変更？：y  変更しない：z  以下全て変更しない : n  ", dialog_gains},
};
// clang-format on
constexpr int QUESTION_DIALOG_COUNT = sizeof QUESTION_DIALOGS / sizeof QUESTION_DIALOGS[0];

// where the chain starts
enum class ChainStart {
    arm,     // (1-1) arm length: the whole chain
    motor,   // (1-3) motor power
    gear,    // (1-4) reduction gears
    gains,   // (2-1) control gains
    motion,  // (3) the dialog of the current motion, without the question of its change
};

// runs the dialogs from start to the end of the chain, or until an answer 'n'
static void run_chain(ChainStart start) {
    if (start != ChainStart::motion) {
        int first = 0;  // index into QUESTION_DIALOGS
        if (start == ChainStart::motor) {
            first = 2;
        } else if (start == ChainStart::gear) {
            first = 3;
        } else if (start == ChainStart::gains) {
            first = 4;
        }
        for (int i = first; i < QUESTION_DIALOG_COUNT; ++i) {
            const ChainAnswer answer = ask_chain_question(QUESTION_DIALOGS[i].question);
            if (answer == ChainAnswer::stop) {
                return;
            }
            if (answer == ChainAnswer::run) {
                QUESTION_DIALOGS[i].run();
            }
        }
        dialog_feedback();
        if (!dialog_motion_choice()) {
            return;
        }
    }
    dialog_motion();
}

// re-derives and re-plans, reports, simulates the current robot and resets the view.
// reads: the parameter set; writes: derived and planning fields, the current robot's history
// set, view_state
static void final_stage() {
    tell_unreachable(params, update_derived(params), true, &told_unreachable);
    print_settings_derived();
    const bool long_run =
        params.settings.motion == 'c' && params.settings.cp == 4;  // the sine path takes longest
    if (long_run) {
        console_print("\n\n　　　只今計算中．．．．．．．");
    }
    if (params.settings.robot_type == 'a' || params.settings.robot_type == 'b') {
        tell_unreachable(params, run_current_experiment(), false, &told_unreachable);
    }
    told_unreachable = {};  // the run is done: the next one tells its points again
    if (long_run) {
        console_print("　　   　計算終了");
    }
    console_print("\n\n描画画面へ       ");
    view_state = initial_view_state();
}

void console_dialogs() {
    print_key_menu();
    print_robot_heading();
    switch (last_key) {
        case 'l':
            run_chain(ChainStart::arm);
            break;
        case 'm':
            run_chain(ChainStart::motor);
            break;
        case 'u':
            run_chain(ChainStart::gear);
            break;
        case 'k':
            run_chain(ChainStart::gains);
            break;
        case 'q':
        case 'p':
        case 'c':
            run_chain(ChainStart::motion);
            break;
        case 'r':
            read_robot_file(params);
            break;
        default:
            // '0' at start-up, 'a', 'b' and every other key: show the values, then everything
            print_settings();
            run_chain(ChainStart::arm);
            break;
    }
    final_stage();
}
