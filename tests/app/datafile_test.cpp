// The robot data file reader: the file of the default SCARA sine experiment in any layout,
// what each kind of file changes and leaves alone, and broken files.
#include "app/datafile.h"

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
static void defaults_then_scramble_scara_sine_fields() {
    set_defaults(params);
    for (double* f : {&params.scara.L1,
                      &params.scara.L2,
                      &params.mw,
                      &params.scara.PW1,
                      &params.scara.PW2,
                      &params.scara.u1,
                      &params.scara.eta_fwd1,
                      &params.scara.u2,
                      &params.scara.eta_fwd2,
                      &params.omega_n1,
                      &params.alpha1,
                      &params.omega_n2,
                      &params.alpha2,
                      &params.sine.x0,
                      &params.sine.y0,
                      &params.sine.L,
                      &params.sine.A,
                      &params.sine.tf,
                      &params.sine.xf,
                      &params.sine.yf,
                      &params.x0,
                      &params.y0,
                      &params.xf,
                      &params.yf}) {
        *f = 99.0;
    }
    params.robot_type = 'a';
    params.gravity = 'h';
    params.fb_type = 'v';
    params.motion = 'q';
    params.cp = 1;
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
    defaults_then_scramble_scara_sine_fields();
    ASSERT_TRUE(read_robot_data(one.c_str()));
    const ParameterSet from_one = params;
    const std::string echo_one = console_capture.text;
    for (const std::string& other : {sixteen, marked}) {
        defaults_then_scramble_scara_sine_fields();
        console_capture.text.clear();
        ASSERT_TRUE(read_robot_data(other.c_str())) << other;
        EXPECT_TRUE(same_bytes(&params, &from_one, sizeof params));
        EXPECT_EQ(console_capture.text, echo_one);
    }

    EXPECT_NE(echo_one.find("\n(1-1) アーム長=(0.400, 0.280)[m] J2--Pw間距離=0.400[m]"),
              std::string::npos)
        << echo_one;
    EXPECT_EQ(params.robot_type, 'b');
    EXPECT_DOUBLE_EQ(params.scara.L1, 0.4);
    EXPECT_DOUBLE_EQ(params.scara.L2, 0.4 - params.wc);
    EXPECT_DOUBLE_EQ(params.mw, 1.0);
    EXPECT_DOUBLE_EQ(params.scara.PW2, 110.0);
    EXPECT_DOUBLE_EQ(params.scara.u2, 60.0);
    EXPECT_DOUBLE_EQ(params.scara.eta_fwd2, 0.6);
    EXPECT_DOUBLE_EQ(params.omega_n1, 2.0 * PI * 4.0);
    EXPECT_DOUBLE_EQ(params.omega_n2, 2.0 * PI * 4.0);
    EXPECT_DOUBLE_EQ(params.alpha2, 4.0);
    EXPECT_DOUBLE_EQ(params.sine.L, 0.6);
    EXPECT_DOUBLE_EQ(params.sine.A, 0.2);
    EXPECT_DOUBLE_EQ(params.sine.tf, 2.0);
    EXPECT_EQ(params.gravity, 'g');
    EXPECT_EQ(params.fb_type, 'V');
    EXPECT_EQ(params.motion, 'c');
    EXPECT_EQ(params.cp, 4);
    EXPECT_DOUBLE_EQ(params.sine.xf, 0.5);
    EXPECT_DOUBLE_EQ(params.sine.yf, 0.3);
    EXPECT_DOUBLE_EQ(params.x0, -0.1);
    EXPECT_DOUBLE_EQ(params.y0, 0.3);
    EXPECT_DOUBLE_EQ(params.xf, 0.5);
    EXPECT_DOUBLE_EQ(params.yf, 0.3);
}

TEST_F(ReadRobotData, CircleStartsAndEndsAtItsRightMostPoint) {
    const std::string path = write_file(
        "circle.dat", "a 0.5 1.0 110 110 100 0.6 100 0.6 h 4 4 4 4 v c 2 0.2 0.0 0.5 2.5");
    ASSERT_TRUE(read_robot_data(path.c_str()));
    EXPECT_DOUBLE_EQ(params.circle.x0, 0.7);
    EXPECT_DOUBLE_EQ(params.circle.y0, 0.0);
    EXPECT_DOUBLE_EQ(params.circle.xf, 0.7);
    EXPECT_DOUBLE_EQ(params.circle.yf, 0.0);
    EXPECT_DOUBLE_EQ(params.x0, 0.7);
    EXPECT_DOUBLE_EQ(params.yf, 0.0);
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
    ASSERT_TRUE(read_robot_data(path.c_str()));
    EXPECT_TRUE(same_bytes(&params.scara, &before.scara, sizeof params.scara));
    EXPECT_TRUE(same_bytes(&params.step, &before.step, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&params.line, &before.line, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&params.circle, &before.circle, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&params.ucurve, &before.ucurve, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&params.sine, &before.sine, sizeof(PatternRecord)));
    EXPECT_EQ(params.zeta1, before.zeta1);  // the file holds no damping ratios
    EXPECT_DOUBLE_EQ(params.cyl.L, 0.6);
    EXPECT_DOUBLE_EQ(params.cyl.PW2, 130.0);
    EXPECT_DOUBLE_EQ(params.cyl.eta_fwd2, 0.55);
    EXPECT_DOUBLE_EQ(params.alpha2, 1.0);
    EXPECT_DOUBLE_EQ(params.trap.tf, 1.5);
    EXPECT_DOUBLE_EQ(params.trap.yf, 0.4);
}

//------------------------------------------------------------------ broken files

// every broken file is reported with the item where reading stopped; what was read before
// is kept and the rest is left as it was
TEST_F(ReadRobotData, MissingFileChangesNothing) {
    const ParameterSet before = params;
    EXPECT_FALSE(read_robot_data((::testing::TempDir() + "no_such_robot.dat").c_str()));
    EXPECT_TRUE(same_bytes(&params, &before, sizeof params));
    EXPECT_NE(console_capture.text.find("を開けません"), std::string::npos);
}

TEST_F(ReadRobotData, FileEndingEarlyKeepsWhatWasRead) {
    const std::string path = write_file("short.dat", "b 0.3 0.5\n2.0\n150");
    EXPECT_FALSE(read_robot_data(path.c_str()));
    EXPECT_DOUBLE_EQ(params.scara.L1, 0.3);
    EXPECT_DOUBLE_EQ(params.scara.L2, 0.5 - params.wc);
    EXPECT_DOUBLE_EQ(params.mw, 2.0);
    EXPECT_DOUBLE_EQ(params.scara.PW1, 150.0);
    EXPECT_DOUBLE_EQ(params.scara.PW2, 110.0);  // the default: never reached
    EXPECT_NE(console_capture.text.find("途中で終わっています：(1-3) モータパワー PW2"),
              std::string::npos)
        << console_capture.text;
}

TEST_F(ReadRobotData, LetterWhereANumberIsDueStopsThere) {
    const std::string path = write_file("letter.dat", "a 0.6 x 110 110 100 0.6 100 0.6 g");
    const double mw_before = params.mw;
    EXPECT_FALSE(read_robot_data(path.c_str()));
    EXPECT_EQ(params.robot_type, 'a');
    EXPECT_DOUBLE_EQ(params.cyl.L, 0.6);
    EXPECT_EQ(params.mw, mw_before);
    EXPECT_NE(console_capture.text.find("数値ではない語 'x' があります：(1-2) ワーク質量 mw"),
              std::string::npos)
        << console_capture.text;
    // a frequency read before the stop is stored in rad/s, never left in Hz
    const std::string late = write_file("late.dat", "a 0.6 1 110 110 100 0.6 100 0.6 g 5 O");
    EXPECT_FALSE(read_robot_data(late.c_str()));
    EXPECT_DOUBLE_EQ(params.omega_n1, 2.0 * PI * 5.0);
}

TEST_F(ReadRobotData, SelectorOfMoreThanOneCharacterStopsThere) {
    const std::string path = write_file("word.dat", "b 0.4 0.4 1.0 110 110 60 0.6 60 0.6 gh 4 4");
    params.gravity = 'h';
    EXPECT_FALSE(read_robot_data(path.c_str()));
    EXPECT_EQ(params.gravity, 'h');
    EXPECT_NE(console_capture.text.find("１文字ではない選択記号 'gh' があります：(1-5) 重力 g/h"),
              std::string::npos)
        << console_capture.text;
}

// the name is asked on the console and has no length limit
TEST_F(ReadRobotData, FileNameOfTwoHundredCharacters) {
    const std::string name = std::string(196, 'r') + ".dat";
    const std::string path = write_file(name, join(SCARA_SINE_LINES, 16, " "));
    params.sine.A = 0.0;
    feed(path + "\n");
    read_robot_file();
    EXPECT_NE(console_capture.text.find("\n読み込んだファイル名 = " + path + "\n(1)"),
              std::string::npos);
    EXPECT_DOUBLE_EQ(params.sine.A, 0.2);

    // the same length of a name that does not exist: reported, no crash
    feed(::testing::TempDir() + std::string(200, 'x') + "\n");
    read_robot_file();
    EXPECT_NE(console_capture.text.find(std::string(200, 'x') + " を開けません"),
              std::string::npos);
}

// a selector outside its list selects no branch: no robot data, no motion data
TEST_F(ReadRobotData, UnknownSelectorsReadNoDependentGroups) {
    const std::string path = write_file("odd.dat", "x 2.5 g 4 4 4 4 V z 1 2 3");
    const ParameterSet before = params;
    EXPECT_TRUE(read_robot_data(path.c_str()));
    EXPECT_EQ(params.robot_type, 'x');
    EXPECT_DOUBLE_EQ(params.mw, 2.5);  // the work mass follows the type at once
    EXPECT_EQ(params.motion, 'z');
    EXPECT_TRUE(same_bytes(&params.cyl, &before.cyl, sizeof params.cyl));
    EXPECT_TRUE(same_bytes(&params.step, &before.step, sizeof params.step));
}
