// The console dialogs entered by the window's keys: where each key starts the chain, what the
// dialogs store, and what the final stage leaves behind.
#include "app/dialogs.h"

#include "app/report.h"
#include "app/session.h"
#include "app/startup.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "platform/console.h"
#include "platform/console_io.h"
#include "sim/history.h"
#include "tests/platform/console_script.h"
#include "tests/support/console_capture.h"
#include "tests/support/dialog_texts.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>

using namespace robosim;

//------------------------------------------------------------------ names of path kinds

TEST(CpName, NeverReadsOutsideItsTable) {
    EXPECT_STREQ(cp_name(2), "circle\n");
    EXPECT_STREQ(cp_name(4), "sinecurve\n");
    for (const int cp : {-1, 5, 1000, -2147483647}) {
        EXPECT_STREQ(cp_name(cp), "cp\n") << cp;
    }
}

//------------------------------------------------------------------ first dialog by key

struct EntryCase {
    char key;              // last_key
    int motion;            // motion as the key handler leaves it
    const char* script;    // the answers
    std::string expected;  // what follows the robot heading
};

class ConsoleDialogsEntry : public ConsoleScriptTest,
                            public ::testing::WithParamInterface<EntryCase> {};

TEST_P(ConsoleDialogsEntry, StartsAtTheDialogTheKeyNames) {
    const EntryCase& c = GetParam();
    params.settings.motion = c.motion;
    params.settings.fb_type = 'V';
    last_key = c.key;
    feed(c.script);
    console_dialogs(session);
    const size_t heading = console_capture.text.find(SCARA_HEADING);
    ASSERT_NE(heading, std::string::npos) << console_capture.text;
    const std::string after = console_capture.text.substr(heading + SCARA_HEADING.size());
    EXPECT_EQ(after.substr(0, c.expected.size()), c.expected) << after;
}

static std::string entry_name(const ::testing::TestParamInfo<EntryCase>& entry) {
    return std::string("Key_") + entry.param.key;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ConsoleDialogsEntry,
    ::testing::Values(
        // the whole chain after the short report
        EntryCase{'a', 'c', "n", "\n\n現在設定している値\n(1-1) ロボットタイプ   SCARAロボット"},
        EntryCase{'l', 'c', "n", ARM_Q},
        // the chain runs on from the motor through gears, gains, feedback and motion
        EntryCase{'m', 'q', "z z z V n", MOTOR_Q + GEAR_Q + GAIN_Q + "\n(2-2) 旧速度誤差FB"},
        EntryCase{'u', 'c', "n", GEAR_Q + HEADER_B}, EntryCase{'k', 'c', "n", GAIN_Q + HEADER_B},
        // the motion dialog at once, without the question whether to change the motion
        EntryCase{'p', 'p', "n", "\n(3) PTP(台形速度入力）"},
        EntryCase{'q', 'q', "n", "\n(3-1) PTP(step入力指令）"},
        EntryCase{'c', 'c', "1\nn", "\n  CP 軌道を選択　旧cp=4 = sinecurve\n"}),
    entry_name);

//------------------------------------------------------------------ what the dialogs store

using ConsoleDialogs = ConsoleScriptTest;

// the gains are typed in Hz, stored as 2*pi*fn and shown again in Hz; both damping ratios
// become 1.0 whatever they were
TEST_F(ConsoleDialogs, GainDialogStoresAngularFrequencyAndCriticalDamping) {
    params.settings.omega_n1 = 2.0 * PI * 3.0;
    params.settings.zeta1 = 0.5;
    params.settings.zeta2 = 0.7;
    last_key = 'k';
    feed("y 4 1.5\n6 0\nV n");
    console_dialogs(session);
    EXPECT_NE(console_capture.text.find("旧fn1= 3.000[Hz], α1= 4.000[1/s]"), std::string::npos);
    EXPECT_DOUBLE_EQ(params.settings.omega_n1, 2.0 * PI * 4.0);
    EXPECT_NEAR(params.settings.omega_n1, 25.133, 0.0005);  // printed to 3 decimals: half a unit
    EXPECT_DOUBLE_EQ(params.settings.omega_n2, 2.0 * PI * 6.0);
    EXPECT_DOUBLE_EQ(params.settings.alpha1, 1.5);
    EXPECT_DOUBLE_EQ(params.settings.alpha2, 0.0);
    EXPECT_EQ(params.settings.zeta1, 1.0);
    EXPECT_EQ(params.settings.zeta2, 1.0);
}

// joint 2 to the work is typed; the link length stored is that less wc (0.12 m)
TEST_F(ConsoleDialogs, ScaraArmDialogSubtractsTheWorkDistance) {
    last_key = 'l';
    feed("y 0.4 0.4\nn");
    console_dialogs(session);
    EXPECT_DOUBLE_EQ(params.settings.scara.L1, 0.4);
    EXPECT_NEAR(params.settings.scara.L2, 0.28, 1e-15);  // 0.4 - 0.12 in doubles: rounding only
    console_capture.text.clear();
    feed("y 0.5 0.5\nn");
    console_dialogs(session);
    EXPECT_NE(console_capture.text.find("(旧L1,L2= 0.40  0.40[m])"), std::string::npos);
}

// the circle's start and end are reset to (Ox + rr, Oy) even when nothing new is typed
TEST_F(ConsoleDialogs, CircleAnsweredNoStillResetsItsEnds) {
    params.settings.motion = 'c';
    params.settings.cp = 2;
    params.settings.circle.x0 = 9.0;
    params.settings.circle.yf = 9.0;
    last_key = 'c';
    feed("2\nn");
    console_dialogs(session);
    EXPECT_DOUBLE_EQ(params.settings.circle.x0,
                     params.settings.circle.Ox + params.settings.circle.rr);
    EXPECT_DOUBLE_EQ(params.settings.circle.xf,
                     params.settings.circle.Ox + params.settings.circle.rr);
    EXPECT_DOUBLE_EQ(params.settings.circle.yf, params.settings.circle.Oy);
    EXPECT_DOUBLE_EQ(params.plan.x0, 0.7);
    EXPECT_DOUBLE_EQ(params.plan.yf, 0.0);
}

// a kind outside 1 .. 4 has no path: the window key c asks for it again, as start-up does
TEST_F(ConsoleDialogs, PathKindOutsideItsRangeIsAskedAgain) {
    params.settings.motion = 'c';
    last_key = 'c';
    feed("9\nx\n2\nn");
    console_dialogs(session);
    EXPECT_EQ(params.settings.cp, 2);
    EXPECT_NE(console_capture.text.find("(3-3-2) 円軌道"), std::string::npos);
    const std::string again = "\n  cp は 1, 2, 3, 4 のどれかを入力してください\n  CP 軌道を選択";
    const size_t first = console_capture.text.find(again);
    ASSERT_NE(first, std::string::npos) << console_capture.text;
    EXPECT_NE(console_capture.text.find(again, first + 1), std::string::npos);
}

//------------------------------------------------------------------ the final stage

TEST_F(ConsoleDialogs, FinalStageSimulatesAndResetsTheView) {
    history_scara = HistorySet{};
    view_state = ViewState{57, 3.0, 2.0};
    params.settings.motion = 'q';
    last_key = 'u';
    feed("n");
    console_dialogs(session);
    EXPECT_EQ(view_state.anim_index, 0);
    EXPECT_EQ(view_state.robot_scale, 1.0);
    EXPECT_EQ(view_state.view_error_gain, 10.0);
    // the run starts at the planned start: sample 0 holds the start motor angles
    EXPECT_EQ(history_scara.theta[0][0], params.plan.scara.theta0[0]);
    EXPECT_NE(history_scara.theta[params.settings.n_sample][0], 0.0);
    EXPECT_TRUE(console_capture.text.ends_with("\n\n描画画面へ       "));
}

// a robot type without a robot gets no heading, no robot prompts and no simulation
TEST_F(ConsoleDialogs, UnknownRobotRunsNoSimulation) {
    history_scara = HistorySet{};
    history_cyl = HistorySet{};
    params.settings.robot_type = 'x';
    params.settings.motion = 'q';
    last_key = 'x';
    feed("y y 1.5\ny y z V n");
    console_dialogs(session);
    // no robot prompts: the questions follow each other; the shared work is still asked
    EXPECT_NE(console_capture.text.find(ARM_Q + "\n(1-1) ロボットアーム長変更\n(1-2) ワーク変更？"),
              std::string::npos);
    EXPECT_NE(console_capture.text.find(MOTOR_Q + GEAR_Q + GAIN_Q), std::string::npos);
    EXPECT_EQ(console_capture.text.find("の線形制御"), std::string::npos);
    const HistorySet empty = {};
    EXPECT_EQ(std::memcmp(&history_scara, &empty, sizeof empty), 0);
    EXPECT_EQ(std::memcmp(&history_cyl, &empty, sizeof empty), 0);
    EXPECT_DOUBLE_EQ(params.settings.mw, 1.5);
}

// 'r': the menu, the file, then the final stage with no question
TEST_F(ConsoleDialogs, KeyRReadsTheFileThenGoesStraightToTheFinalStage) {
    const std::string path = ::testing::TempDir() + "key_r.dat";
    std::ofstream(path) << "a 0.6 1.0 110 110 100 0.6 100 0.6 h 4 4 4 4 V q 0.3 0.1 0.2 0.4";
    last_key = 'r';
    feed(path + "\n");
    console_dialogs(session);
    std::remove(path.c_str());
    EXPECT_EQ(params.settings.robot_type, 'a');
    EXPECT_EQ(console_capture.text.find("？"), std::string::npos);  // no question asked
    EXPECT_NE(console_capture.text.find("\n(1-2) ロボット諸元\n      アーム長 l =  0.600[m]"),
              std::string::npos);
}

// every character of start-up, dialogs and data file echo exists in CP932 (their UTF-8
// holds no '?')
TEST_F(ConsoleDialogs, TextsConvertToCp932WithoutLoss) {
    // start-up with a path kind asked again, then every dialog of the chain answered 'y'
    feed("n b c 7\n4\ny 0.4 0.4\ny 1\ny 110 110\ny 60 0.6\n60 0.6\ny 4 4\n4 4\nv y c 3\n"
         "y 0.2 0 0.6 0 2.5\n0.2 0.3 0.6 0.3\n");
    run_startup(session);
    // the other motion dialogs, entered by their keys
    for (const char* script :
         {"2\ny 0.2 0 0.5 2.5\n", "1\ny 0.3 0 0.3 0.6 1.5\n", "4\ny -0.1 0.3 0.6 0.2 2\n"}) {
        params.settings.motion = last_key = 'c';
        feed(script);
        console_dialogs(session);
    }
    params.settings.motion = last_key = 'p';
    feed("y 0.1 0.2 0.3 0.4 2\n");
    console_dialogs(session);
    // the cylindrical robot's own prompts, and a data file read by the key 'r'
    params.settings.robot_type = 'a';
    last_key = 'l';
    feed("y 0.5\nz z y 100 0.6\n100 0.6\nz V n");
    console_dialogs(session);
    for (const char* file : {"cyl_step.dat", "scara_trap.dat", "cyl_line.dat", "scara_circle.dat",
                             "cyl_ucurve.dat", "scara_sine.dat"}) {
        last_key = 'r';
        feed(std::string(ROBOSIM_SOURCE_DIR) + "/examples/" + file + "\n");
        console_dialogs(session);
    }
    ASSERT_EQ(console_capture.text.find('?'), std::string::npos);
    EXPECT_EQ(utf8_to_cp932(console_capture.text).find('?'), std::string::npos);
}

// an unreachable point is told with its message; a conversion says it waits for a key and
// waits after each, a run never does; a point told for the coming run is not told again
TEST(Unreachable, IsToldWithItsMessageAndAKeyWaitOnlyForAConversion) {
    ParameterSet p = {};
    set_defaults(p);
    ReachReport report = {};
    add_unreachable(&report, 0.9, 0.1);
    const std::string message = "\n!!! 逆運動学の解なし．始めからやり直し．"
                                "\n    アーム長1,2=( 0.400  0.400) 位置(x,y)=( 0.900  0.100)";
    for (const bool wait : {true, false}) {
        install_console_capture();
        tell_unreachable(p, report, wait);
        EXPECT_EQ(console_capture.text, message + (wait ? "\n    何かキーを押すと続けます" : ""));
        EXPECT_EQ(console_capture.key_waits, wait ? 1 : 0);
    }
    ReachReport told = {};
    install_console_capture();
    tell_unreachable(p, report, false, &told);
    tell_unreachable(p, report, true, &told);
    EXPECT_EQ(console_capture.text, message);
    EXPECT_EQ(console_capture.key_waits, 0);
    console_hooks = {};
}
