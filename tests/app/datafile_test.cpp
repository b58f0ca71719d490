// The robot data file reader: the file of the default SCARA sine experiment in any layout,
// what each kind of file changes and leaves alone, and broken files.
#include "app/datafile.h"

#include "app/session.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "tests/platform/console_script.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

// the default SCARA sine experiment, one group of tokens per line (sixteen lines)
static const char* const SCARA_SINE_LINES[] = {
    "b",   "0.4 0.4", "1.0", "110 110", "60 0.6",   "60 0.6", "g",   "4 4",
    "4 4", "V",       "c",   "4",       "-0.1 0.3", "0.6",    "0.2", "2.0",
};

class ReadRobotData : public ConsoleScriptTest {
  protected:
    // writes text to a file of the given name in the test's temporary directory
    std::string write_file(const std::string& name, const std::string& text) {
        const std::string path = ::testing::TempDir() + name;
        std::ofstream(path, std::ios::binary) << text;
        written_.push_back(path);
        return path;
    }

    void TearDown() override {
        for (const std::string& path : written_) {
            std::remove(path.c_str());
        }
        ConsoleScriptTest::TearDown();
    }

    // the lines joined by sep
    static std::string join(const char* const* lines, size_t count, const std::string& sep) {
        std::string text;
        for (size_t i = 0; i < count; ++i) {
            text += (i > 0 ? sep : "") + std::string(lines[i]);
        }
        return text;
    }

  private:
    std::vector<std::string> written_;
};

// the defaults with every field the default SCARA sine file writes set to something else
static void defaults_then_scramble_scara_sine_fields(ParameterSet& params) {
    set_defaults(params);
    for (double* f : {&params.settings.scara.L1,
                      &params.settings.scara.L2,
                      &params.settings.mw,
                      &params.settings.scara.PW1,
                      &params.settings.scara.PW2,
                      &params.settings.scara.u1,
                      &params.settings.scara.eta_fwd1,
                      &params.settings.scara.u2,
                      &params.settings.scara.eta_fwd2,
                      &params.settings.omega_n1,
                      &params.settings.alpha1,
                      &params.settings.omega_n2,
                      &params.settings.alpha2,
                      &params.settings.sine.x0,
                      &params.settings.sine.y0,
                      &params.settings.sine.L,
                      &params.settings.sine.A,
                      &params.settings.sine.tf,
                      &params.settings.sine.xf,
                      &params.settings.sine.yf,
                      &params.plan.x0,
                      &params.plan.y0,
                      &params.plan.xf,
                      &params.plan.yf}) {
        *f = 99.0;
    }
    params.settings.robot_type = 'a';
    params.settings.gravity = 'h';
    params.settings.fb_type = 'v';
    params.settings.motion = 'q';
    params.settings.cp = 1;
}

static bool same_bytes(const void* a, const void* b, size_t size) {
    return std::memcmp(a, b, size) == 0;
}

//------------------------------------------------------------------ the default experiment

// only the order of the tokens counts: one line and sixteen lines read alike
TEST_F(ReadRobotData, DefaultScaraSineReadsAlikeOnOneLineAndSixteen) {
    const std::string one = write_file("one_line.dat", join(SCARA_SINE_LINES, 16, " "));
    const std::string sixteen = write_file("lines.dat", join(SCARA_SINE_LINES, 16, "\n") + "\n");
    // as an editor saves UTF-8 with a byte-order mark
    const std::string marked =
        write_file("marked.dat", "\xEF\xBB\xBF" + join(SCARA_SINE_LINES, 16, "\n") + "\n");
    defaults_then_scramble_scara_sine_fields(params);
    ASSERT_TRUE(read_robot_data(params, one.c_str()));
    const ParameterSet from_one = params;
    const std::string echo_one = console_capture.text;
    for (const std::string& other : {sixteen, marked}) {
        defaults_then_scramble_scara_sine_fields(params);
        console_capture.text.clear();
        ASSERT_TRUE(read_robot_data(params, other.c_str())) << other;
        EXPECT_TRUE(same_bytes(&params, &from_one, sizeof params));
        EXPECT_EQ(console_capture.text, echo_one);
    }

    EXPECT_NE(echo_one.find("\n(1-1) アーム長=(0.400, 0.280)[m] J2--Pw間距離=0.400[m]"),
              std::string::npos)
        << echo_one;
    EXPECT_EQ(params.settings.robot_type, 'b');
    EXPECT_DOUBLE_EQ(params.settings.scara.L1, 0.4);
    EXPECT_DOUBLE_EQ(params.settings.scara.L2, 0.4 - params.settings.wc);
    EXPECT_DOUBLE_EQ(params.settings.mw, 1.0);
    EXPECT_DOUBLE_EQ(params.settings.scara.PW2, 110.0);
    EXPECT_DOUBLE_EQ(params.settings.scara.u2, 60.0);
    EXPECT_DOUBLE_EQ(params.settings.scara.eta_fwd2, 0.6);
    EXPECT_DOUBLE_EQ(params.settings.omega_n1, 2.0 * PI * 4.0);
    EXPECT_DOUBLE_EQ(params.settings.omega_n2, 2.0 * PI * 4.0);
    EXPECT_DOUBLE_EQ(params.settings.alpha2, 4.0);
    EXPECT_DOUBLE_EQ(params.settings.sine.L, 0.6);
    EXPECT_DOUBLE_EQ(params.settings.sine.A, 0.2);
    EXPECT_DOUBLE_EQ(params.settings.sine.tf, 2.0);
    EXPECT_EQ(params.settings.gravity, 'g');
    EXPECT_EQ(params.settings.fb_type, 'V');
    EXPECT_EQ(params.settings.motion, 'c');
    EXPECT_EQ(params.settings.cp, 4);
    EXPECT_DOUBLE_EQ(params.settings.sine.xf, 0.5);
    EXPECT_DOUBLE_EQ(params.settings.sine.yf, 0.3);
    EXPECT_DOUBLE_EQ(params.plan.x0, -0.1);
    EXPECT_DOUBLE_EQ(params.plan.y0, 0.3);
    EXPECT_DOUBLE_EQ(params.plan.xf, 0.5);
    EXPECT_DOUBLE_EQ(params.plan.yf, 0.3);
}

TEST_F(ReadRobotData, CircleStartsAndEndsAtItsRightMostPoint) {
    const std::string path = write_file(
        "circle.dat", "a 0.5 1.0 110 110 100 0.6 100 0.6 h 4 4 4 4 v c 2 0.2 0.0 0.5 2.5");
    ASSERT_TRUE(read_robot_data(params, path.c_str()));
    EXPECT_DOUBLE_EQ(params.settings.circle.x0, 0.7);
    EXPECT_DOUBLE_EQ(params.settings.circle.y0, 0.0);
    EXPECT_DOUBLE_EQ(params.settings.circle.xf, 0.7);
    EXPECT_DOUBLE_EQ(params.settings.circle.yf, 0.0);
    EXPECT_DOUBLE_EQ(params.plan.x0, 0.7);
    EXPECT_DOUBLE_EQ(params.plan.yf, 0.0);
    // both feedback kinds echo, 'v' as well as 'V'
    EXPECT_NE(console_capture.text.find("\n(1-5) 重力考慮しない（水平運動）\n(2-1)"),
              std::string::npos);
    EXPECT_NE(console_capture.text.find("\n(2-2) 速度FB\n(3-1) 運動パターン =CPP運動"),
              std::string::npos);
}

// a file changes only what it holds: the other robot and the other patterns keep theirs
TEST_F(ReadRobotData, OtherRobotAndOtherPatternsStayUnchanged) {
    const ParameterSet before = params;
    const std::string path = write_file(
        "trap.dat", "a 0.6 2.0 120 130 90 0.5 80 0.55 g 3 2 5 1 V p 0.2 0.1 -0.2 0.4 1.5 extra");
    ASSERT_TRUE(read_robot_data(params, path.c_str()));
    EXPECT_TRUE(
        same_bytes(&params.settings.scara, &before.settings.scara, sizeof params.settings.scara));
    EXPECT_TRUE(same_bytes(&params.model.scara, &before.model.scara, sizeof params.model.scara));
    EXPECT_TRUE(same_bytes(&params.plan.scara, &before.plan.scara, sizeof params.plan.scara));
    EXPECT_TRUE(same_bytes(&params.settings.step, &before.settings.step, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&params.settings.line, &before.settings.line, sizeof(PatternRecord)));
    EXPECT_TRUE(
        same_bytes(&params.settings.circle, &before.settings.circle, sizeof(PatternRecord)));
    EXPECT_TRUE(
        same_bytes(&params.settings.ucurve, &before.settings.ucurve, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&params.settings.sine, &before.settings.sine, sizeof(PatternRecord)));
    EXPECT_EQ(params.settings.zeta1, before.settings.zeta1);  // the file holds no damping ratios
    EXPECT_DOUBLE_EQ(params.settings.cyl.L, 0.6);
    EXPECT_DOUBLE_EQ(params.settings.cyl.PW2, 130.0);
    EXPECT_DOUBLE_EQ(params.settings.cyl.eta_fwd2, 0.55);
    EXPECT_DOUBLE_EQ(params.settings.alpha2, 1.0);
    EXPECT_DOUBLE_EQ(params.settings.trap.tf, 1.5);
    EXPECT_DOUBLE_EQ(params.settings.trap.yf, 0.4);
}

//------------------------------------------------------------------ broken files

// every broken file is reported with the item where reading stopped; what was read before
// is kept and the rest is left as it was
TEST_F(ReadRobotData, MissingFileChangesNothing) {
    const ParameterSet before = params;
    EXPECT_FALSE(read_robot_data(params, (::testing::TempDir() + "no_such_robot.dat").c_str()));
    EXPECT_TRUE(same_bytes(&params, &before, sizeof params));
    EXPECT_NE(console_capture.text.find("を開けません"), std::string::npos);
}

// a name the settings cannot be written to is told in the console's words, as a file read is
TEST_F(ReadRobotData, WriteFailureIsToldInJapanese) {
    for (const std::string& name : {::testing::TempDir(), ::testing::TempDir() + "no/x.dat"}) {
        feed(name + "\n");
        write_robot_file(params);
    }
    EXPECT_NE(console_capture.text.find("（フォルダ）。書き出せません"), std::string::npos);
    EXPECT_NE(console_capture.text.find("（そのようなファイルやフォルダはありません）"),
              std::string::npos);
}

TEST_F(ReadRobotData, FileEndingEarlyKeepsWhatWasRead) {
    const std::string path = write_file("short.dat", "b 0.3 0.5\n2.0\n150");
    EXPECT_FALSE(read_robot_data(params, path.c_str()));
    EXPECT_DOUBLE_EQ(params.settings.scara.L1, 0.3);
    EXPECT_DOUBLE_EQ(params.settings.scara.L2, 0.5 - params.settings.wc);
    EXPECT_DOUBLE_EQ(params.settings.mw, 2.0);
    EXPECT_DOUBLE_EQ(params.settings.scara.PW1, 150.0);
    EXPECT_DOUBLE_EQ(params.settings.scara.PW2, 110.0);  // the default: never reached
    EXPECT_NE(console_capture.text.find("途中で終わっています：(1-3) モータパワー PW2"),
              std::string::npos)
        << console_capture.text;
}

TEST_F(ReadRobotData, LetterWhereANumberIsDueStopsThere) {
    const std::string path = write_file("letter.dat", "a 0.6 x 110 110 100 0.6 100 0.6 g");
    const double mw_before = params.settings.mw;
    EXPECT_FALSE(read_robot_data(params, path.c_str()));
    EXPECT_EQ(params.settings.robot_type, 'a');
    EXPECT_DOUBLE_EQ(params.settings.cyl.L, 0.6);
    EXPECT_EQ(params.settings.mw, mw_before);
    EXPECT_NE(console_capture.text.find("数値ではない語 'x' があります：(1-2) ワーク質量 mw"),
              std::string::npos)
        << console_capture.text;
    // a frequency read before the stop is stored in rad/s, never left in Hz
    const std::string late = write_file("late.dat", "a 0.6 1 110 110 100 0.6 100 0.6 g 5 O");
    EXPECT_FALSE(read_robot_data(params, late.c_str()));
    EXPECT_DOUBLE_EQ(params.settings.omega_n1, 2.0 * PI * 5.0);
}

TEST_F(ReadRobotData, SelectorOfMoreThanOneCharacterStopsThere) {
    const std::string path = write_file("word.dat", "b 0.4 0.4 1.0 110 110 60 0.6 60 0.6 gh 4 4");
    params.settings.gravity = 'h';
    EXPECT_FALSE(read_robot_data(params, path.c_str()));
    EXPECT_EQ(params.settings.gravity, 'h');
    EXPECT_NE(console_capture.text.find("１文字ではない選択記号 'gh' があります：(1-5) 重力 g/h"),
              std::string::npos)
        << console_capture.text;
}

// a value no robot can have is named with its item, and the file is not applied at all
TEST_F(ReadRobotData, ImpossibleValueLeavesEverySettingAsItWas) {
    const std::string path = write_file("heavy.dat", "a 0.7 -2 150 150 100 0.6 100 0.6 h");
    params.settings.robot_type = 'b';
    const ParameterSet before = params;
    bool refused = false;
    EXPECT_FALSE(read_robot_data(params, path.c_str(), &refused));
    EXPECT_TRUE(refused);
    EXPECT_TRUE(same_bytes(&params, &before, sizeof params));
    EXPECT_NE(console_capture.text.find("(1-2) ワーク質量 mw = -2 は使えない値です（0 以上の数"),
              std::string::npos)
        << console_capture.text;
}

// the name is asked on the console and has no length limit
TEST_F(ReadRobotData, FileNameOfTwoHundredCharacters) {
    const std::string name = std::string(196, 'r') + ".dat";
    const std::string path = write_file(name, join(SCARA_SINE_LINES, 16, " "));
    params.settings.sine.A = 0.0;
    feed(path + "\n");
    read_robot_file(params);
    EXPECT_NE(console_capture.text.find("\n読み込んだファイル名 = " + path + "\n(1)"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(params.settings.sine.A, 0.2);

    // the same length of a name that does not exist: reported, no crash
    feed(::testing::TempDir() + std::string(200, 'x') + "\n");
    read_robot_file(params);
    EXPECT_NE(console_capture.text.find(std::string(200, 'x') + " を開けません"),
              std::string::npos);
}

// a selector outside its list selects no branch: no robot data, no motion data
TEST_F(ReadRobotData, UnknownSelectorsReadNoDependentGroups) {
    const std::string path = write_file("odd.dat", "x 2.5 g 4 4 4 4 V z 1 2 3");
    const ParameterSet before = params;
    EXPECT_TRUE(read_robot_data(params, path.c_str()));
    EXPECT_EQ(params.settings.robot_type, 'x');
    EXPECT_DOUBLE_EQ(params.settings.mw, 2.5);  // the work mass follows the type at once
    EXPECT_EQ(params.settings.motion, 'z');
    EXPECT_TRUE(same_bytes(&params.settings.cyl, &before.settings.cyl, sizeof params.settings.cyl));
    EXPECT_TRUE(same_bytes(&params.model.cyl, &before.model.cyl, sizeof params.model.cyl));
    EXPECT_TRUE(same_bytes(&params.plan.cyl, &before.plan.cyl, sizeof params.plan.cyl));
    EXPECT_TRUE(
        same_bytes(&params.settings.step, &before.settings.step, sizeof params.settings.step));
}
