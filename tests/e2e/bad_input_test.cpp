// Bad input of every kind, given to both programs: the console program (a data file read at
// start-up, then the dialogs answered) and robosim-batch. Every case says what must happen:
// the message, the exit status, and that the run goes on (or stops) as the program defines.
#include "tests/e2e/batch_run.h"
#include "tests/e2e/console_run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <vector>

// the default SCARA sine experiment, token by token
static const std::vector<std::string> SCARA_SINE = {
    "b", "0.4", "0.4", "1.0", "110", "110", "60",   "0.6", "60",  "0.6", "g",  "4",
    "4", "4",   "4",   "V",   "c",   "4",   "-0.1", "0.3", "0.6", "0.2", "2.0"};

// a cylindrical trapezoid experiment, token by token
static const std::vector<std::string> CYL_TRAP = {
    "a", "0.5", "1.0", "110", "110", "100",  "0.6",  "100",  "0.6",  "h",  "4",
    "4", "4",   "4",   "v",   "p",   "0.15", "0.26", "-0.3", "0.52", "2.0"};

static std::string join(const std::vector<std::string>& tokens, size_t count) {
    std::string text;
    for (size_t i = 0; i < count && i < tokens.size(); ++i) {
        text += tokens[i] + (i % 4 == 3 ? "\n" : " ");
    }
    return text;
}

// the tokens with token i replaced
static std::string with(std::vector<std::string> tokens, size_t i, const std::string& value) {
    tokens[i] = value;
    return join(tokens, tokens.size());
}

// a data file of its own for each run, removed at the end of the test
class BadInputTest : public ::testing::Test {
  protected:
    std::string write_file(const std::string& content) {
        char path[] = "/tmp/robosim-bad-XXXXXX";
        const int fd = mkstemp(path);
        EXPECT_EQ(write(fd, content.data(), content.size()), (ssize_t)content.size());
        close(fd);
        files_.push_back(path);
        return path;
    }

    void TearDown() override {
        for (const std::string& f : files_) {
            unlink(f.c_str());
        }
    }

    // the console program reads the file at start-up and answers 'n' to every dialog
    static ConsoleRun run_console_with_file(const std::string& path) {
        std::string script = "y\n" + path + "\n";
        for (int i = 0; i < 40; ++i) {
            script += "n\n";
        }
        return run_robosim(script);
    }

  private:
    std::vector<std::string> files_;
};

// What a broken file must give: the console program reports the item where reading stopped,
// keeps what it read and goes on through the dialogs to the window; the batch tool reports the
// same on standard error, writes no numbers and ends with status 1.
struct BrokenFile {
    const char* name;
    std::string content;
    const char* message;  // a part of the report
};

TEST_F(BadInputTest, BrokenFilesAreReportedAndTheConsoleProgramGoesOn) {
    const std::vector<BrokenFile> cases = {
        {"empty", "", "ファイルが途中で終わっています：(1)"},
        {"letter for a number", with(SCARA_SINE, 3, "x"), "数値ではない語 'x'"},
        {"letter for the path kind", with(SCARA_SINE, 17, "four"), "整数ではない語 'four'"},
        {"selector of several characters", with(SCARA_SINE, 10, "gh"),
         "１文字ではない選択記号 'gh'"},
        {"robot of several characters", with(CYL_TRAP, 0, "ab"), "１文字ではない選択記号 'ab'"},
        {"NUL byte in a number", with(SCARA_SINE, 1, std::string("0.4\0", 4)),
         "語 '0.4' の 4 バイト目に使えないバイト 0x00 があります：(1-1) アーム長 L1"},
        {"beyond 64 KB", join(SCARA_SINE, 23) + std::string(65536, ' '),
         "大きすぎます（上限 65536 バイト）"},
    };
    for (const BrokenFile& c : cases) {
        const std::string path = write_file(c.content);
        const ConsoleRun con = run_console_with_file(path);
        EXPECT_NE(con.out.find(c.message), std::string::npos) << c.name << "\n" << con.out;
        EXPECT_TRUE(con.reached_final) << c.name;  // the dialogs and the simulation went on

        const ProgramRun batch = run_batch_program({path});
        EXPECT_EQ(batch.status, 1) << c.name;
        EXPECT_TRUE(batch.out.empty()) << c.name;
        EXPECT_NE(batch.err.find(c.message), std::string::npos) << c.name << "\n" << batch.err;
    }
}

TEST_F(BadInputTest, MissingFileIsNamedAndChangesNothing) {
    const std::string path = "/tmp/robosim-no-such-file.dat";
    const ConsoleRun con = run_console_with_file(path);
    EXPECT_NE(con.out.find("ファイル " + path + " を開けません（そのようなファイルやフォルダ"),
              std::string::npos)
        << con.out;
    EXPECT_TRUE(con.reached_final);
    const ProgramRun batch = run_batch_program({path});
    EXPECT_EQ(batch.status, 1);
    EXPECT_TRUE(batch.out.empty());
    EXPECT_NE(batch.err.find(path), std::string::npos);
}

// what is not a regular file is refused at once by both programs: never read without end,
// never waited on
TEST_F(BadInputTest, DevicesFifosAndFoldersAreRefusedAtOnce) {
    const std::string fifo = write_file("");
    unlink(fifo.c_str());
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // nobody ever writes to it
    const std::pair<std::string, std::string> cases[] = {
        {"/dev/zero", "デバイス"}, {fifo, "FIFO"}, {"/tmp", "フォルダ"}};
    for (const auto& [path, kind] : cases) {
        const std::string message = "ファイル " + path + " は通常のファイルではありません（" + kind
                                    + "）。設定は変わりません";
        const ConsoleRun con = run_console_with_file(path);
        EXPECT_NE(con.out.find(message), std::string::npos) << con.out;
        EXPECT_TRUE(con.reached_final) << path;
        const ProgramRun batch = run_batch_program({path});
        EXPECT_EQ(batch.status, 1) << path;
        EXPECT_NE(batch.err.find(message), std::string::npos) << batch.err;
    }
}

TEST_F(BadInputTest, FileEndingAfterAnyTokenIsReportedAtThatItem) {
    for (const auto* tokens : {&SCARA_SINE, &CYL_TRAP}) {
        for (size_t n = 1; n < tokens->size(); ++n) {
            const std::string path = write_file(join(*tokens, n));
            const ProgramRun batch = run_batch_program({path});
            EXPECT_EQ(batch.status, 1) << n << " tokens";
            EXPECT_TRUE(batch.out.empty());
            EXPECT_NE(batch.err.find("ファイルが途中で終わっています"), std::string::npos)
                << n << " tokens\n"
                << batch.err;
        }
    }
    // the console program keeps what it read: a file that stops after the work mass of 2.5 kg
    // shows that mass in the report and the window follows
    std::vector<std::string> heavy = CYL_TRAP;
    heavy[2] = "2.5";
    const ConsoleRun con = run_console_with_file(write_file(join(heavy, 3)));
    EXPECT_NE(con.out.find("(1-2) ワーク質量=2.500[kg]"), std::string::npos) << con.out;
    EXPECT_TRUE(con.reached_final);
}

// A value no physical robot can have refuses the whole file, named by its item: the batch tool
// ends with status 1 and writes nothing, the console program keeps every setting it had (the
// defaults here: the report shows the default work mass) and goes on.
TEST_F(BadInputTest, ImpossibleValuesRefuseTheFileAndKeepEverySetting) {
    const std::vector<std::tuple<const char*, std::string, const char*>> cases = {
        {"overflowing time", with(SCARA_SINE, 22, "1e999"), "(3-3) 運動時間 tf = 1e999"},
        {"overflowing mass", with(CYL_TRAP, 2, "-1e400"), "(1-2) ワーク質量 mw"},
        {"zero arm", with(SCARA_SINE, 1, "0"), "(1-1) アーム長 L1 = 0 "},
        {"negative arm", with(CYL_TRAP, 1, "-0.5"), "(1-1) アーム長 L = -0.5"},
        {"link 2 shorter than wc", with(SCARA_SINE, 2, "0.1"), "wc=0.12[m] より大きい数"},
        {"negative mass", with(SCARA_SINE, 3, "-1"), "(1-2) ワーク質量 mw = -1 "},
        {"zero ratio", with(SCARA_SINE, 6, "0"), "(1-4) 減速比 u1 = 0 "},
        {"negative ratio", with(CYL_TRAP, 7, "-100"), "(1-4) 減速比 u2 = -100"},
        {"zero efficiency", with(CYL_TRAP, 6, "0"), "(1-4) 順伝達効率 η1 = 0 "},
        {"efficiency above 1", with(SCARA_SINE, 9, "1.2"), "0 より大きく 1 以下の数"},
        {"zero power", with(SCARA_SINE, 4, "0"), "(1-3) モータパワー PW1 = 0 "},
        {"zero time", with(CYL_TRAP, 20, "0"), "(3-2) 位置決め時間 tf = 0 "},
        {"negative time", with(SCARA_SINE, 22, "-2"), "(3-3) 運動時間 tf = -2 "},
        {"zero wavelength", with(SCARA_SINE, 20, "0"), "(3-3) 波長 L = 0 "},
        {"not a number", with(SCARA_SINE, 11, "nan"), "(2-1) fn1 = nan"},
        {"2 pi fn beyond a double", with(CYL_TRAP, 12, "-3e307"), "(2-1) fn2 = -3e307"},
        {"mass below a double", with(CYL_TRAP, 2, "1e-400"), "mw = 1e-400 は倍精度の数の範囲外"},
    };
    for (const auto& [name, content, item] : cases) {
        const std::string path = write_file(content);
        const ProgramRun batch = run_batch_program({path});
        EXPECT_EQ(batch.status, 1) << name << "\n" << batch.err;
        EXPECT_NE(batch.err.find(item), std::string::npos) << name << "\n" << batch.err;
        EXPECT_NE(batch.err.find("このファイルは読み込みません。設定は変わりません"),
                  std::string::npos)
            << name;
        EXPECT_EQ(batch.out, "") << name;
        const ConsoleRun con = run_console_with_file(path);
        EXPECT_TRUE(con.reached_final) << name << "\n" << con.err;
        EXPECT_NE(con.out.find("ワークの質量m= 1.000[kg]"), std::string::npos) << name;
    }
}

// Values a physical robot can have, or a control setting, flow on even where they make the
// run fail: both programs run to their end without a crash, a trap or a hang.
TEST_F(BadInputTest, PossibleButHardValuesFlowOnWithoutACrash) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"zero mass", with(CYL_TRAP, 2, "0")},
        {"zero frequency", with(CYL_TRAP, 10, "0")},
        {"negative frequency", with(SCARA_SINE, 11, "-4")},
        {"work mass 1e30", with(SCARA_SINE, 3, "1e30")},
        {"start at the origin, SCARA",
         join({"b", "0.4", "0.4", "1", "110", "110", "60", "0.6", "60",  "0.6", "g",
               "4", "4",   "4",   "4", "V",   "q",   "0",  "0",   "0.3", "0.3"},
              21)},
        {"start at the origin, cylindrical", with(CYL_TRAP, 16, "0") + " "},
    };
    for (const auto& [name, content] : cases) {
        const std::string path = write_file(content);
        const ProgramRun batch = run_batch_program({path});
        // numbers that turned to NaN or infinity are written all the same, and told by status 3,
        // or by status 4 where a point out of the SCARA robot's reach is their cause
        const bool diverged = batch.out.find("nan") != std::string::npos
                              || batch.out.find("inf") != std::string::npos;
        const bool unreachable =
            batch.err.find("out of the SCARA robot's reach") != std::string::npos;
        EXPECT_EQ(batch.status, unreachable ? 4 : diverged ? 3 : 0) << name << "\n" << batch.err;
        EXPECT_EQ(split(batch.out, '\n').size(), 202u) << name;  // every sample is written
        const ConsoleRun con = run_console_with_file(path);
        EXPECT_TRUE(con.reached_final) << name << "\n" << con.err;
        EXPECT_FALSE(con.timed_out) << name;
    }
}

// A selector or path kind outside its list: the console program names it in one line and reads
// on as the file format defines it (no branch is chosen); the batch tool refuses the file.
TEST_F(BadInputTest, SelectorsOutsideTheirListAreNamedAndRefuseTheFileInTheBatchTool) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {with(SCARA_SINE, 10, "G"), "(1-5) 重力 g/h = G は選択肢（g, h）"},
        {with(CYL_TRAP, 9, "x"), "(1-5) 重力 g/h = x は選択肢（g, h）"},
        {with(SCARA_SINE, 15, "Q"), "(2-2) 速度FB v/V = Q は選択肢（v, V）"},
        {with(CYL_TRAP, 15, "z"), "(3-1) 運動パターン q/p/c = z は選択肢（q, p, c）"},
        {with(SCARA_SINE, 17, "0"), "(3-2) CP軌道 cp = 0 は選択肢（1, 2, 3, 4）"},
        {with(SCARA_SINE, 17, "5"), "(3-2) CP軌道 cp = 5 は選択肢（1, 2, 3, 4）"},
        {with(SCARA_SINE, 0, "c"), "(1) ロボットタイプ a/b = c は選択肢（a, b）"},
    };
    for (const auto& [content, item] : cases) {
        const std::string path = write_file(content);
        const ProgramRun batch = run_batch_program({path});
        EXPECT_EQ(batch.status, 1) << item << "\n" << batch.err;
        EXPECT_NE(batch.err.find(std::string(item)), std::string::npos) << batch.err;
        EXPECT_EQ(batch.out, "") << item;
        const ConsoleRun con = run_console_with_file(path);
        EXPECT_TRUE(con.reached_final) << item;
        EXPECT_NE(con.out.find(item + "のどれでもありません\n"), std::string::npos) << con.out;
    }
}

TEST_F(BadInputTest, ScaraGoalOutOfReachIsToldAndTheRunGoesOn) {
    const std::string path =
        write_file(join({"b", "0.4", "0.4", "1", "110", "110", "60",  "0.6", "60",  "0.6", "g",
                         "4", "4",   "4",   "4", "V",   "p",   "0.3", "0.2", "0.9", "0.3", "2"},
                        22));
    const ConsoleRun con = run_console_with_file(path);
    EXPECT_NE(con.out.find("\n!!! 逆運動学の解なし．始めからやり直し．"), std::string::npos);
    EXPECT_NE(con.out.find("位置(x,y)=( 0.900  0.300)"), std::string::npos) << con.out;
    EXPECT_TRUE(con.reached_final);
    const ProgramRun batch = run_batch_program({path});
    EXPECT_EQ(batch.status, 4);
    EXPECT_NE(batch.err.find("!!! 逆運動学の解なし"), std::string::npos);
    EXPECT_EQ(batch.out.find("!!!"), std::string::npos);
}

TEST_F(BadInputTest, PathKindOutOfRangeAtStartUpIsAskedAgain) {
    for (const char* wrong : {"0", "5", "-1", "x"}) {
        std::string script = std::string("n\nb\nc\n") + wrong + "\n3\n";
        for (int i = 0; i < 40; ++i) {
            script += "n\n";
        }
        const ConsoleRun con = run_robosim(script);
        // the question comes twice, and the answer 3 is taken: the report shows the U-curve
        size_t first = con.out.find("cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=");
        ASSERT_NE(first, std::string::npos) << wrong;
        EXPECT_NE(con.out.find("cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=", first + 1),
                  std::string::npos)
            << wrong;
        EXPECT_NE(con.out.find("(3) CPＵ字運動"), std::string::npos) << wrong;
        EXPECT_TRUE(con.reached_final) << wrong;
    }
}

TEST_F(BadInputTest, InputEndingInTheMiddleOfADialogStopsAtOnce) {
    // start-up answered, then the answers end while the dialogs still ask
    for (const char* script : {"n\nb\nc\n4\n", "n\na\n", "y\n", "n\nb\nc\n4\ny\n0.5"}) {
        const ConsoleRun con = run_robosim(script);
        EXPECT_TRUE(con.exited) << script;
        EXPECT_EQ(con.exit_status, 1) << script;
        EXPECT_FALSE(con.timed_out) << script;
        EXPECT_NE(con.err.find("end of input"), std::string::npos) << script;
        EXPECT_FALSE(con.reached_final) << script;
    }
}
