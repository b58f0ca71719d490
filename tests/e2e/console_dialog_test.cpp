// The real robosim's dialog chain at start-up: the y/z/n answers, every parameter dialog and
// what it stores, seen through the prompts and the report after the final derivation.
#include "tests/e2e/console_run.h"
#include "tests/support/dialog_texts.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// the text of a run from the first chain question on
static std::string chain_of(const ConsoleRun& run) {
    const size_t at = run.out.find(ARM_Q);
    return at == std::string::npos ? "" : run.out.substr(at);
}

static std::string report_b_of(const ConsoleRun& run) {
    return text_between(run.out, HEADER_B, FINAL_MARKER);
}

//------------------------------------------------------------------ answers to the questions

// 'z' skips one dialog, an upper-case 'N' runs it like 'y', 'n' skips all that follow
TEST(Dialogs, AnswersZSkipUpperNRunsAndNStops) {
    const ConsoleRun run = run_robosim("n b c 4\n z N 2.0\n n");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string chain = chain_of(run);
    const std::string expected = ARM_Q + WORK_Q
                                 + "\n(1-2) ワーク質量(旧= 1.00[kg])を入力　mw[kg]="
                                   "\n  →  ワーク質量，慣性モーメント=( 2.0000[kg], ";
    EXPECT_EQ(chain.substr(0, expected.size()), expected) << chain;
    const size_t motor_q = chain.find(MOTOR_Q);
    ASSERT_NE(motor_q, std::string::npos) << chain;
    EXPECT_EQ(chain.compare(motor_q + MOTOR_Q.size(), HEADER_B.size(), HEADER_B), 0) << chain;
    EXPECT_NE(report_b_of(run).find("ワークの質量m= 2.000[kg]"), std::string::npos);
}

//------------------------------------------------------------------ the whole chain

// SCARA: every dialog answered 'y'; the arm dialog takes joint 2 to the work and stores it
// less wc, the gains are typed in Hz and stored as 2*pi*fn (shown again in Hz), both damping
// ratios are 1, and the sine's end lies one wavelength right of its start
TEST(Dialogs, WholeChainStoresWhatIsTyped) {
    const ConsoleRun run = run_robosim("n b q\n"
                                       "y 0.35 0.45\n"
                                       "y 1.5\n"
                                       "y 120 100\n"
                                       "y 50 0.7\n70 0.65\n"
                                       "y 3 2\n5 1\n"
                                       "v\n"
                                       "y c 4\n"
                                       "y -0.1 0.25 0.6 0.1 2.5\n");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string chain = chain_of(run);
    for (const std::string& prompt : {
             ARM_Q
                 + "\n(1-1) ロボットアーム長変更"
                   "\n  アーム長(旧L1,L2= 0.40  0.40[m])を入力  L1 L2[m]=",
             WORK_Q + "\n(1-2) ワーク質量(旧= 1.00[kg])を入力　mw[kg]=",
             MOTOR_Q + "\n(1-3) モータパワー変更（旧PW1=110.00 PW2=110.00[W])  PW1 PW2=",
             GEAR_Q
                 + "\n(1-4) 第１関節減速比・効率変更（旧u1=60.00 η1= 0.60)  u1 η1="
                   "\n      第２関節減速比・効率変更（旧u2=60.00 η2= 0.60)  u2 η2=",
             GAIN_Q
                 + "\n(2-1) PID(PD)フィードバックゲイン変更"
                   "\n   ロボット動力学を線形化した系の積分・比例・速度ゲインを設定"
                   "\n   制御系の減衰比ζ1,ζ2=1.0とする"
                   "\n   制御系の固有振動数ωnともう１つの時定数の逆数αを変更"
                   "\n   （PD制御ならばα=0とする）"
                   "\n   回転関節制御系 旧fn1= 4.000[Hz], α1= 4.000[1/s]  fn1 α1="
                   "   直動関節制御系 旧fn2= 4.000[Hz], α2= 4.000[1/s]  fn2 α2=",
             FEEDBACK_Q + MOTION_Q + "\n(3) 運動パターン 旧PTP(step入力指令)"
                 + "\n  PTP(step入力) : q    PTP(台形速度入力)：p　CP：c  "
                 + "\n  CP 軌道を選択　旧cp=4 = sinecurve\n"
                   "  cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp="
                 + "\n(3-3-4) 正弦波軌道 y=A*sin(2π(x-x0)/L)+y0"
                   "\n     旧始点 P0=(-0.100  0.300)"
                   "\n       波長 L= 0.600[m]  振幅A= 0.200[m]  位置決め時間tf= 2.00[s]"
                   "\n     変更する？   yes:y   no:n   "
                   "\n   入力 始点・波長・振幅・時間　x0 y0 L A tf="
                 + HEADER_B,
         }) {
        EXPECT_NE(chain.find(prompt), std::string::npos) << "missing:\n" << prompt;
    }
    const std::string b = report_b_of(run);
    for (const char* line : {
             "第１アーム長 l= 0.350[m]",
             "第２アーム長 l= 0.330[m]",
             "ワークの質量m= 1.500[kg]",
             "パワー PW=120.00[W]",
             "パワー PW=100.00[W]",
             "減速比,順効率=(u,η1) =( 50.00  0.700)",
             "減速比,順効率=(u,η1) =( 70.00  0.650)",
             "第１関節制御系の特性 (ωn,ζ,α)=(  3.000[Hz]   1.000   2.000[1/s])",
             "第２関節制御系の特性 (ωn,ζ,α)=(  5.000[Hz]   1.000   1.000[1/s])",
             "\n(2-2) 位置誤差FB＋積分FB＋速度FB",
             "波長・振幅(L,A)=( 0.600, 0.100)[m]",
             "\n(3-1) 初期位置 (x0,y0)=(-0.100  0.250)[m]",
             "\n(3-2) 目標位置 (xf,yf)=( 0.500  0.250)[m] 終端時間 tf= 2.500[s]",
         }) {
        EXPECT_NE(b.find(line), std::string::npos) << "missing: " << line << "\nin:" << b;
    }
}

// cylindrical robot: its own arm and gear prompts (the second gear prompt continues the
// line the typed answer ended)
TEST(Dialogs, CylindricalArmAndGearDialogs) {
    const ConsoleRun run = run_robosim("n a q\ny 0.6\nz z y 80 0.5\n90 0.55\nz V n");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string chain = chain_of(run);
    EXPECT_NE(chain.find(ARM_Q
                         + "\n(1-1) ロボットアーム長変更\n  アーム長(旧= 0.50[m])を入力  L[m]  ="
                         + WORK_Q + MOTOR_Q + GEAR_Q
                         + "\n(1-4) 回転関節減速比・効率変更（旧u1=100.00 η1= 0.60)  u1 η1="
                           "      直動関節減速比・効率変更（旧u2=100.00 η2= 0.60)  u2 η2="
                         + GAIN_Q + FEEDBACK_Q + MOTION_Q + HEADER_B),
              std::string::npos)
        << chain;
    const std::string b = report_b_of(run);
    EXPECT_NE(b.find("\n      アーム長 l =  0.600[m]"), std::string::npos) << b;
    EXPECT_NE(b.find("\n      減速比，順効率(u,η1)=(80.000  0.500)"), std::string::npos) << b;
    EXPECT_NE(b.find("\n      減速比，順効率(u,η1)=(90.000  0.550)"), std::string::npos) << b;
}

//------------------------------------------------------------------ motion dialogs

struct MotionCase {
    const char* name;      // test name
    const char* script;    // start-up and chain answers
    const char* dialog;    // the dialog's text from its title to the input prompt
    const char* expected;  // lines of the report after the final derivation
};

class MotionDialogs : public ::testing::TestWithParam<MotionCase> {};

static std::string motion_case_name(const ::testing::TestParamInfo<MotionCase>& case_info) {
    return case_info.param.name;
}

TEST_P(MotionDialogs, ShowOldValuesAndStoreNewOnes) {
    const MotionCase& c = GetParam();
    const ConsoleRun run = run_robosim(c.script);
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    EXPECT_NE(run.out.find(c.dialog), std::string::npos) << run.out;
    EXPECT_NE(report_b_of(run).find(c.expected), std::string::npos) << report_b_of(run);
}

// the chain up to the motion question skipped with 'z' and the feedback kept 'V'
#define SKIP_TO_MOTION "z z z z z V "

INSTANTIATE_TEST_SUITE_P(
    All, MotionDialogs,
    ::testing::Values(
        MotionCase{"ScaraStep", "n b q " SKIP_TO_MOTION "y q y 0.3 0.2 -0.2 0.5\n",
                   "\n(3-1) PTP(step入力指令）"
                   "\n    旧始点 (x0,y0)=( 0.150  0.260)[m]"
                   "\n\t    終点 (xf,yf)=(-0.300  0.520)[m]"
                   "\n    変更する？　yes:y   no:n   "
                   "\n      入力　x0 y0 xf yf=",
                   "\n(3-1) 初期位置 (x0,y0)=( 0.300  0.200)[m]"},
        MotionCase{"CylTrapezoid", "n a q " SKIP_TO_MOTION "y p y 0.2 0.1 -0.2 0.4 1.5\n",
                   "\n(3) PTP(台形速度入力）"
                   "\n    旧始点 (x0,y0)=( 0.150  0.260)"
                   "\n\t    終点 (xf,yf)=(-0.300  0.520)[m]  位置決め時間 tf= 2.00[s]"
                   "\n    変更する？   yes:y   no:n   "
                   "\n  入力　x0 y0 xf yf tf=",
                   "\n              →  折点時間  1,2 (t11,t12)  =( 0.150  0.150)[s]"},
        MotionCase{"CylLine", "n a c 1\n" SKIP_TO_MOTION "y c 1\ny 0.4 -0.2 0.4 0.2 1.2\n",
                   "\n(3-3-1) 直線軌道"
                   "\n    旧  始点 (x0,y0)=( 0.300  0.000)[m]"
                   "\n \t    終点 (xf,yf)=( 0.300  0.600)[m]  位置決め時間 tf= 1.50[s]"
                   "\n    軌道変更する？  yes:y   no:n   "
                   "\n  入力  x0 y0 xf yf tf=",
                   "\n(3-2) ロボット終端位置    (xf,yf) =( 0.400  0.200)[m]"},
        // the circle starts and ends at its right-most point (Ox + r, Oy)
        MotionCase{"CylCircle", "n a c 2\n" SKIP_TO_MOTION "y c 2\ny 0.1 0.1 0.4 3\n",
                   "\n(3-3-2) 円軌道  右端から反時計回りに１周"
                   "\n    旧円の中心O=( 0.200  0.000)[m]   半径r= 0.500[m]"
                   "\n      位置決め時間 tf=2.500[s]"
                   "\n    変更する？　　yes:y   no:n   "
                   "\n    Ox Oy r tf=",
                   "\n(3-1) ロボット初期位置    (x0,y0) =( 0.500  0.100)[m]"},
        MotionCase{"ScaraUcurve",
                   "n b c 3\n" SKIP_TO_MOTION "y c 3\ny 0.1 0.1 0.5 0.1 2\n0.1 0.4 0.5 0.4\n",
                   "\n(3-3-3) 逆Ｕ字軌道 垂直上昇－半円－垂直下降軌道"
                   "\n     旧  始点  P0( 0.200  0.000)[m]"
                   "\n         終点  Pf( 0.600  0.000)[m] 位置決め時間 tf= 2.500[s]"
                   "\n     旧中間点1 P1( 0.200  0.300)"
                   "\n\t   中間点2 P2( 0.600  0.300)"
                   "\n     変更する？   yes:y   no:n   "
                   "\n     始点・終点・時間 x0 y0 xf yf tf="
                   "\n     中間点1,2        x1 y1 x2 y2   =",
                   "\n(3-2) 目標位置 (xf,yf)=( 0.500  0.100)[m] 終端時間 tf= 2.000[s]"},
        // 'n' to the change question: no pattern is asked, the report follows
        MotionCase{"NoChange", "n b q " SKIP_TO_MOTION "n",
                   "\n(3) 運動変更？：y  変更しない：n   "
                   "\n\n現在設定している値とそれらから導かれる諸量",
                   "\n(3) PTPステップ入力"}),
    motion_case_name);

//------------------------------------------------------------------ answers that are refused

// A wrong answer, the selectors' and the numbers' alike, is refused with a message and asked
// again; nothing of it is stored, and the answer that follows is taken. Numbers are refused
// when they are no numbers or no physical robot can have them; settings given before stay.
struct RefusedAnswer {
    const char* name;
    const char* script;
    const char* message;  // said once the wrong answer is in
    const char* stored;   // the report shows the answer given after it
};

class RefusedAnswers : public ::testing::TestWithParam<RefusedAnswer> {};

TEST_P(RefusedAnswers, AreAskedAgainAndTheNextAnswerIsTaken) {
    const RefusedAnswer& c = GetParam();
    const ConsoleRun run = run_robosim(c.script);
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    EXPECT_NE(run.out.find(c.message), std::string::npos) << run.out;
    EXPECT_NE(report_b_of(run).find(c.stored), std::string::npos) << report_b_of(run);
    // the rest of a refused line answers nothing: "0.9" would have run the work dialog
    if (std::string(c.script).find("abc 0.9") != std::string::npos) {
        EXPECT_EQ(run.out.find("ワーク質量(旧="), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, RefusedAnswers,
    ::testing::Values(
        RefusedAnswer{"robot", "n x\nb q n", "type は a, b のどちらかを入力してください",
                      "ロボットタイプ        SCARAロボット"},
        RefusedAnswer{"pattern", "n b z q n", "pattern は q, p, c のどれかを入力してください",
                      "(3) PTPステップ入力"},
        RefusedAnswer{"feedback", "n b q z z z z z x v n", "v, V のどちらかを入力してください",
                      "(2-2) 位置誤差FB＋積分FB＋速度FB"},
        RefusedAnswer{"motion", "n b q z z z z z V y x p n", "q, p, c のどれかを入力してください",
                      "(3) PTP台形速度入力"},
        RefusedAnswer{"letters", "n b q\ny abc 0.9\n0.3 0.5\nz z z z V n",
                      "数値を 2 個，空白で区切って入力してください", "第２アーム長 l= 0.380[m]"},
        RefusedAnswer{"half a number pair", "n b q\ny 0.3 x\n0.35 0.5\nz z z z V n", "数値を 2 個",
                      "第１アーム長 l= 0.350[m]"},
        RefusedAnswer{"negative mass after an arm", "n b q\ny 0.3 0.5\ny -1\n2\nn",
                      "mw は0 以上の数を入力してください", "第１アーム長 l= 0.300[m]"},
        RefusedAnswer{"efficiency", "n a q\nz z z y 100 1.5\n100 0.5\n100 0.6\nz V n",
                      "η1 は0 より大きく 1 以下の数を入力してください", "(u,η1)=(100.000  0.500)"},
        RefusedAnswer{"zero time",
                      "n b q\nz z z z z V y p y 0.3 0.2 0.4 0.1 0\n0.3 0.2 0.4 0.1 1.5\n",
                      "tf は0 より大きい数を入力してください", "1.500[s]"},
        RefusedAnswer{
            "frequency whose 2 pi fn overflows", "n b q\nz z z z y 1e308 4\n3 4\n4 4\nV n",
            "fn1 は絶対値が 2.86e+307 以下の数を入力してください", "(ωn,ζ,α)=(  3.000[Hz]"}),
    [](const ::testing::TestParamInfo<RefusedAnswer>& param) {
        std::string name;
        for (const char* p = param.param.name; *p != '\0'; ++p) {
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        }
        return name;
    });
