// The robot data file reader: the file of the default SCARA sine experiment in any layout,
// what each kind of file changes and leaves alone, and broken files, with the item, the reason
// and the byte where each stops.
#include "settings/datafile.h"

#include "model/parameters.h"
#include "planning/experiment.h"
#include "settings/messages_ja.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace robosim;

// the default SCARA sine experiment, one group of tokens per line (sixteen lines)
static const char* const SCARA_SINE_LINES[] = {
    "b",   "0.4 0.4", "1.0", "110 110", "60 0.6",   "60 0.6", "g",   "4 4",
    "4 4", "V",       "c",   "4",       "-0.1 0.3", "0.6",    "0.2", "2.0",
};

// the lines joined by sep
static std::string join(const std::string& sep) {
    std::string text;
    for (const char* line : SCARA_SINE_LINES) {
        text += (text.empty() ? "" : sep) + std::string(line);
    }
    return text;
}

static ParameterSet defaults() {
    ParameterSet ps{};
    set_defaults(ps);
    return ps;
}

// the defaults with every field the default SCARA sine file writes set to something else
static ParameterSet defaults_then_scramble_scara_sine_fields() {
    ParameterSet ps = defaults();
    for (double* f : {&ps.settings.scara.L1,
                      &ps.settings.scara.L2,
                      &ps.settings.mw,
                      &ps.settings.scara.PW1,
                      &ps.settings.scara.PW2,
                      &ps.settings.scara.u1,
                      &ps.settings.scara.eta_fwd1,
                      &ps.settings.scara.u2,
                      &ps.settings.scara.eta_fwd2,
                      &ps.settings.omega_n1,
                      &ps.settings.alpha1,
                      &ps.settings.omega_n2,
                      &ps.settings.alpha2,
                      &ps.settings.sine.x0,
                      &ps.settings.sine.y0,
                      &ps.settings.sine.L,
                      &ps.settings.sine.A,
                      &ps.settings.sine.tf,
                      &ps.settings.sine.xf,
                      &ps.settings.sine.yf,
                      &ps.plan.x0,
                      &ps.plan.y0,
                      &ps.plan.xf,
                      &ps.plan.yf}) {
        *f = 99.0;
    }
    ps.settings.robot_type = 'a';
    ps.settings.gravity = 'h';
    ps.settings.fb_type = 'v';
    ps.settings.motion = 'q';
    ps.settings.cp = 1;
    return ps;
}

static bool same_bytes(const void* a, const void* b, size_t size) {
    return std::memcmp(a, b, size) == 0;
}

//------------------------------------------------------------------ the default experiment

// only the order of the tokens counts: one line and sixteen lines read alike
TEST(ReadRobotDataText, DefaultScaraSineReadsAlikeOnOneLineAndSixteen) {
    const ParameterSet start = defaults_then_scramble_scara_sine_fields();
    const DataFileRead one = read_robot_data_text(join(" "), start, false);
    ASSERT_EQ(one.error.problem, DataFileProblem::none);
    const std::string echo_one = data_file_text_ja(one, "one.dat");
    // as an editor saves UTF-8 with a byte-order mark
    for (const std::string& other : {join("\n") + "\n", "\xEF\xBB\xBF" + join("\n") + "\n"}) {
        const DataFileRead r = read_robot_data_text(other, start, false);
        ASSERT_EQ(r.error.problem, DataFileProblem::none) << other;
        EXPECT_TRUE(same_bytes(&r.ps, &one.ps, sizeof r.ps));
        EXPECT_EQ(data_file_text_ja(r, "one.dat"), echo_one);
    }

    EXPECT_NE(echo_one.find("\n(1-1) アーム長=(0.400, 0.280)[m] J2--Pw間距離=0.400[m]"),
              std::string::npos)
        << echo_one;
    const Settings& s = one.ps.settings;
    EXPECT_EQ(s.robot_type, 'b');
    EXPECT_DOUBLE_EQ(s.scara.L1, 0.4);
    EXPECT_DOUBLE_EQ(s.scara.L2, 0.4 - s.wc);
    EXPECT_DOUBLE_EQ(s.mw, 1.0);
    EXPECT_DOUBLE_EQ(s.scara.PW2, 110.0);
    EXPECT_DOUBLE_EQ(s.scara.u2, 60.0);
    EXPECT_DOUBLE_EQ(s.scara.eta_fwd2, 0.6);
    EXPECT_DOUBLE_EQ(s.omega_n1, 2.0 * PI * 4.0);
    EXPECT_DOUBLE_EQ(s.omega_n2, 2.0 * PI * 4.0);
    EXPECT_DOUBLE_EQ(s.alpha2, 4.0);
    EXPECT_DOUBLE_EQ(s.sine.L, 0.6);
    EXPECT_DOUBLE_EQ(s.sine.A, 0.2);
    EXPECT_DOUBLE_EQ(s.sine.tf, 2.0);
    EXPECT_EQ(s.gravity, 'g');
    EXPECT_EQ(s.fb_type, 'V');
    EXPECT_EQ(s.motion, 'c');
    EXPECT_EQ(s.cp, 4);
    EXPECT_DOUBLE_EQ(s.sine.xf, 0.5);
    EXPECT_DOUBLE_EQ(s.sine.yf, 0.3);
    EXPECT_DOUBLE_EQ(one.ps.plan.x0, -0.1);
    EXPECT_DOUBLE_EQ(one.ps.plan.y0, 0.3);
    EXPECT_DOUBLE_EQ(one.ps.plan.xf, 0.5);
    EXPECT_DOUBLE_EQ(one.ps.plan.yf, 0.3);
}

TEST(ReadRobotDataText, CircleStartsAndEndsAtItsRightMostPoint) {
    const DataFileRead r = read_robot_data_text(
        "a 0.5 1.0 110 110 100 0.6 100 0.6 h 4 4 4 4 v c 2 0.2 0.0 0.5 2.5", defaults(), false);
    ASSERT_EQ(r.error.problem, DataFileProblem::none);
    EXPECT_DOUBLE_EQ(r.ps.settings.circle.x0, 0.7);
    EXPECT_DOUBLE_EQ(r.ps.settings.circle.y0, 0.0);
    EXPECT_DOUBLE_EQ(r.ps.settings.circle.xf, 0.7);
    EXPECT_DOUBLE_EQ(r.ps.settings.circle.yf, 0.0);
    EXPECT_DOUBLE_EQ(r.ps.plan.x0, 0.7);
    EXPECT_DOUBLE_EQ(r.ps.plan.yf, 0.0);
    // both feedback kinds echo, 'v' as well as 'V'
    const std::string echo = data_file_text_ja(r, "circle.dat");
    EXPECT_NE(echo.find("\n(1-5) 重力考慮しない（水平運動）\n(2-1)"), std::string::npos);
    EXPECT_NE(echo.find("\n(2-2) 速度FB\n(3-1) 運動パターン =CPP運動"), std::string::npos);
}

// a file changes only what it holds: the other robot and the other patterns keep theirs
TEST(ReadRobotDataText, OtherRobotAndOtherPatternsStayUnchanged) {
    const ParameterSet before = defaults();
    const DataFileRead r = read_robot_data_text(
        "a 0.6 2.0 120 130 90 0.5 80 0.55 g 3 2 5 1 V p 0.2 0.1 -0.2 0.4 1.5 extra", before, false);
    ASSERT_EQ(r.error.problem, DataFileProblem::none);
    const ParameterSet& ps = r.ps;
    EXPECT_TRUE(same_bytes(&ps.settings.scara, &before.settings.scara, sizeof ps.settings.scara));
    EXPECT_TRUE(same_bytes(&ps.model.scara, &before.model.scara, sizeof ps.model.scara));
    EXPECT_TRUE(same_bytes(&ps.plan.scara, &before.plan.scara, sizeof ps.plan.scara));
    EXPECT_TRUE(same_bytes(&ps.settings.step, &before.settings.step, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&ps.settings.line, &before.settings.line, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&ps.settings.circle, &before.settings.circle, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&ps.settings.ucurve, &before.settings.ucurve, sizeof(PatternRecord)));
    EXPECT_TRUE(same_bytes(&ps.settings.sine, &before.settings.sine, sizeof(PatternRecord)));
    EXPECT_EQ(ps.settings.zeta1, before.settings.zeta1);  // the file holds no damping ratios
    EXPECT_DOUBLE_EQ(ps.settings.cyl.L, 0.6);
    EXPECT_DOUBLE_EQ(ps.settings.cyl.PW2, 130.0);
    EXPECT_DOUBLE_EQ(ps.settings.cyl.eta_fwd2, 0.55);
    EXPECT_DOUBLE_EQ(ps.settings.alpha2, 1.0);
    EXPECT_DOUBLE_EQ(ps.settings.trap.tf, 1.5);
    EXPECT_DOUBLE_EQ(ps.settings.trap.yf, 0.4);
}

// a selector outside its list selects no branch: no robot data, no motion data
TEST(ReadRobotDataText, UnknownSelectorsReadNoDependentGroups) {
    const ParameterSet before = defaults();
    const DataFileRead r = read_robot_data_text("x 2.5 g 4 4 4 4 V z 1 2 3", before, false);
    ASSERT_EQ(r.error.problem, DataFileProblem::none);
    const ParameterSet& ps = r.ps;
    EXPECT_EQ(ps.settings.robot_type, 'x');
    EXPECT_DOUBLE_EQ(ps.settings.mw, 2.5);  // the work mass follows the type at once
    EXPECT_EQ(ps.settings.motion, 'z');
    EXPECT_TRUE(same_bytes(&ps.settings.cyl, &before.settings.cyl, sizeof ps.settings.cyl));
    EXPECT_TRUE(same_bytes(&ps.model.cyl, &before.model.cyl, sizeof ps.model.cyl));
    EXPECT_TRUE(same_bytes(&ps.plan.cyl, &before.plan.cyl, sizeof ps.plan.cyl));
    EXPECT_TRUE(same_bytes(&ps.settings.step, &before.settings.step, sizeof ps.settings.step));
}

//------------------------------------------------------------------ broken files

// every broken file is reported with the item where reading stopped; what was read before
// is kept and the rest is left as it was
TEST(ReadRobotDataFile, MissingFileChangesNothing) {
    const ParameterSet before = defaults();
    const std::string path = ::testing::TempDir() + "no_such_robot.dat";
    const DataFileRead r = read_robot_data_file(path.c_str(), before, false);
    EXPECT_EQ(r.error.problem, DataFileProblem::cannot_open);
    EXPECT_TRUE(same_bytes(&r.ps, &before, sizeof before));
    EXPECT_NE(data_file_text_ja(r, path).find("を開けません"), std::string::npos);
}

TEST(ReadRobotDataText, FileEndingEarlyKeepsWhatWasRead) {
    const DataFileRead r = read_robot_data_text("b 0.3 0.5\n2.0\n150", defaults(), false);
    EXPECT_EQ(r.error.problem, DataFileProblem::ended_early);
    const Settings& s = r.ps.settings;
    EXPECT_DOUBLE_EQ(s.scara.L1, 0.3);
    EXPECT_DOUBLE_EQ(s.scara.L2, 0.5 - s.wc);
    EXPECT_DOUBLE_EQ(s.mw, 2.0);
    EXPECT_DOUBLE_EQ(s.scara.PW1, 150.0);
    EXPECT_DOUBLE_EQ(s.scara.PW2, 110.0);  // the default: never reached
    const std::string text = data_file_text_ja(r, "short.dat");
    EXPECT_NE(text.find("途中で終わっています：(1-3) モータパワー PW2"), std::string::npos) << text;
}

TEST(ReadRobotDataText, LetterWhereANumberIsDueStopsThere) {
    const ParameterSet before = defaults();
    const DataFileRead r = read_robot_data_text("a 0.6 x 110 110 100 0.6 100 0.6 g", before, false);
    EXPECT_EQ(r.ps.settings.robot_type, 'a');
    EXPECT_DOUBLE_EQ(r.ps.settings.cyl.L, 0.6);
    EXPECT_EQ(r.ps.settings.mw, before.settings.mw);
    const std::string text = data_file_text_ja(r, "letter.dat");
    EXPECT_NE(text.find("数値ではない語 'x' があります：(1-2) ワーク質量 mw"), std::string::npos)
        << text;
    // a frequency read before the stop is stored in rad/s, never left in Hz
    const DataFileRead late =
        read_robot_data_text("a 0.6 1 110 110 100 0.6 100 0.6 g 5 O", before, false);
    EXPECT_EQ(late.error.problem, DataFileProblem::not_a_number);
    EXPECT_DOUBLE_EQ(late.ps.settings.omega_n1, 2.0 * PI * 5.0);
}

TEST(ReadRobotDataText, SelectorOfMoreThanOneCharacterStopsThere) {
    ParameterSet before = defaults();
    before.settings.gravity = 'h';
    const DataFileRead r =
        read_robot_data_text("b 0.4 0.4 1.0 110 110 60 0.6 60 0.6 gh 4 4", before, false);
    EXPECT_EQ(r.ps.settings.gravity, 'h');
    const std::string text = data_file_text_ja(r, "word.dat");
    EXPECT_NE(text.find("１文字ではない選択記号 'gh' があります：(1-5) 重力 g/h"),
              std::string::npos)
        << text;
}

// where and why a file stops, as a value: the item, the reason and the file's byte (a
// byte-order mark counts, being in the file)
struct StopCase {
    const char* text;
    bool refuse_off_list;
    DataFileProblem problem;
    const char* item;  // the setting of the item
    size_t position;
};

class DataFileStop : public ::testing::TestWithParam<StopCase> {};

TEST_P(DataFileStop, NamesItemReasonAndByte) {
    const StopCase& c = GetParam();
    const DataFileRead r = read_robot_data_text(c.text, defaults(), c.refuse_off_list);
    EXPECT_EQ(r.error.problem, c.problem);
    ASSERT_NE(r.error.item, nullptr);
    EXPECT_STREQ(r.error.item->setting, c.item);
    EXPECT_EQ(r.error.position, c.position);
}

INSTANTIATE_TEST_SUITE_P(
    BrokenFiles, DataFileStop,
    ::testing::Values(
        StopCase{"b 0.4 0.4 1.0 110", false, DataFileProblem::ended_early, "scara.PW2", 17},
        StopCase{"\xEF\xBB\xBF"
                 "a 0.6 -2",
                 false, DataFileProblem::not_allowed, "mw", 9},
        StopCase{"a 0.6 1\x01", false, DataFileProblem::control_byte, "mw", 7},
        StopCase{"a  1e999", false, DataFileProblem::beyond_double, "cyl.L", 3},
        StopCase{"b 0.4 0.4 1 1 1 1 1 1 1 gh", false, DataFileProblem::not_one_character, "gravity",
                 24},
        StopCase{"a 1 1 1 1 1 1 1 1 h 4 4 4 4 v c 07", true, DataFileProblem::off_list, "cp", 32},
        StopCase{"a 1 1 1 1 1 1 1 1 h 4 4 4 4 v c 1.5", false, DataFileProblem::not_an_integer,
                 "cp", 32},
        StopCase{"x", true, DataFileProblem::off_list, "robot_type", 0}));
