// The real robosim at start-up: its questions, the key menu, a data file read at start-up,
// the end of its input, and the single-key read on a real terminal.
#include "tests/e2e/console_run.h"
#include "tests/support/dialog_texts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <pty.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <termios.h>

static const std::string TITLE_AND_FILE_QUESTION =
    "\n\nロボットの制御シミュレーション"
    "\n\nロボット諸元・軌道データをファイルから読み込み？  yes:y  no:n";
static const std::string ROBOT_QUESTION =
    "\nロボットの選択   a:円筒座標ロボット　b:SCARAロボット　type=";
static const std::string PATTERN_QUESTION =
    "\n運動パターンの選択   q:PTP(step指令)　p:PTP(台形速度指令)　c:CP運動  pattern=";
// the default kind's name brings its own newline, which breaks the prompt
static const std::string CP_QUESTION_DEFAULT =
    "\nCP 軌道を選択　旧cp=4 = sinecurve\n  cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=";
static const std::string KEY_MENU =
    "\n\n描画画面上でキーによる操作選択"
    "\n      'r'     : ロボット諸元・軌道データファイルから読み込み"
    "\n(1-1) 'a' 'b' : 円筒座標・SCARAロボットの選択\n"
    "\n(1-2) 'l'     : ロボットアーム長・ワーク質量の変更"
    "\n(1-3) 'm'     : モータパワー変更"
    "\n(1-4) 'u'     : 減速機の減速比・伝達効率変更"
    "\n(1-5) 'g' 'h' : 重力有り(垂直運動）・なし(水平運動)の選択"
    "\n(2-1) 'k'     : 制御系ゲイン変更（PD and PID)"
    "\n(2-2) 'v' 'V' : 速度FB・速度誤差FBの選択"
    "\n(3-1) 'q' 'p' 'c': PTP(step入力) or PTP(台形速度入力) or CP動作の選択"
    "\n(3-2) 1,2,3,4 : 'c'のとき(CP)軌道種類を選択"
    "\n(4) 描画の選択"
    "\n(4-1) 's'    ：運動継続"
    "\n(4-2) '0'    ：運動初期に戻す"
    "\n(4-3) 't' 'i'：トルク変化図・慣性変化図の選択"
    "\n(4-4) 'w' 'W'：ロボット図の縮小拡大"
    "\n(5)   ESC    ：終了                                描画画面へ";

static int count_of(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
        ++n;
    }
    return n;
}

//------------------------------------------------------------------ questions and menu

TEST(Startup, AsksItsQuestionsThenPrintsTheMenuAndTheShortReport) {
    const ConsoleRun run = run_robosim("n b c 4\n n");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string expected_start = TITLE_AND_FILE_QUESTION + ROBOT_QUESTION + PATTERN_QUESTION
                                       + CP_QUESTION_DEFAULT + KEY_MENU
                                       + "\n\n(b) SCARAロボットの線形制御"
                                         "\n\n現在設定している値";
    EXPECT_EQ(run.out.substr(0, expected_start.size()), expected_start);
    // the short report is followed by the whole chain, from the arm-length question
    EXPECT_NE(run.out.find("( 0.500  0.300)[m]\n" + ARM_Q), std::string::npos);
    EXPECT_EQ(count_of(run.out, ARM_Q), 1);
    EXPECT_NE(run.out.find(ARM_Q + "\n\n現在設定している値とそれらから導かれる諸量"),
              std::string::npos);
}

TEST(Startup, MotionOtherThanCpAsksNoPathKind) {
    const ConsoleRun run = run_robosim("n a q n");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string expected_start = TITLE_AND_FILE_QUESTION + ROBOT_QUESTION + PATTERN_QUESTION
                                       + KEY_MENU + "\n\n(a) 円筒座標ロボットの線形制御";
    EXPECT_EQ(run.out.substr(0, expected_start.size()), expected_start);
    EXPECT_EQ(run.out.find("CP 軌道を選択"), std::string::npos);
}

// a kind outside 1 .. 4, or a word that is not a number, is asked for again
TEST(Startup, CpOutsideItsRangeIsAskedAgain) {
    const ConsoleRun run = run_robosim("n b c 7\nx\n2\nn");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    EXPECT_EQ(count_of(run.out, CP_QUESTION_DEFAULT), 3);
    EXPECT_NE(run.out.find("\n(3) CP円運動　    終点時間 tf   ="), std::string::npos);
}

//------------------------------------------------------------------ data file at start-up

TEST(Startup, FileAnswerReadsTheExperimentAndSkipsTheChoices) {
    const std::string path = ROBOSIM_SOURCE_DIR "/examples/scara_sine.dat";
    const ConsoleRun run = run_robosim("y " + path + "\nn");
    ASSERT_TRUE(run.reached_final) << run.out << run.err;
    const std::string expected_start =
        TITLE_AND_FILE_QUESTION + "\nファイル 'robot21.dat, robot22.dat, ...'から読み込み"
        + "\nファイル名入力　" + "\n読み込んだファイル名 = " + path
        + "\n(1) ロボットタイプ = b : SCARAロボット"
          "\n(1-1) アーム長=(0.400, 0.280)[m] J2--Pw間距離=0.400[m]"
          "\n(1-2) ワーク質量=1.000[kg] "
          "\n(1-3) モータパワー1,2=(110.00 110.00)[Watt] "
          "\n(1-4) 減速比と順伝達効率 u1=60.00 η1= 0.60"
          "\n                         u2=60.00 η2= 0.60"
          "\n(1-5) 重力考慮する（垂直運動）"
          "\n(2-1) 第１制御系の固有振動数・第２時定数の逆数 fn= 4.00[Hz] α1= 4.00[1/s]"
          "\n      第２制御系の固有振動数・第２時定数の逆数 fn= 4.00[Hz] α2= 4.00[1/s]"
          "\n(2-2) 速度誤差FB"
          "\n(3-1) 運動パターン =CPP運動"
          "\n(3-2) 正弦波軌道"
          "\n(3-3) 始点 P0=(-0.100  0.300)[m] 運動時間 tf= 2.00[s]"
          "\n      正弦波の波長 L= 0.600[m]  振幅= 0.200[m]"
        + KEY_MENU;
    EXPECT_EQ(run.out.substr(0, expected_start.size()), expected_start);
    EXPECT_EQ(run.out.find(ROBOT_QUESTION), std::string::npos);
    EXPECT_NE(run.out.find("\n(3-2) 目標位置 (xf,yf)=( 0.500  0.300)[m] 終端時間 tf= 2.000[s]"),
              std::string::npos);
}

// a data file named on the command line is read as if 'y' and its name had been answered;
// --help tells the usage and every window key, and a wrong argument gets the usage and status 2
TEST(Startup, CommandLineNamesTheDataFileOrAsksForHelp) {
    const std::string path = ROBOSIM_SOURCE_DIR "/examples/cyl_circle.dat";
    const ConsoleRun named = run_robosim("n", 30000, {}, {path});
    ASSERT_TRUE(named.reached_final) << named.out << named.err;
    EXPECT_EQ(named.out, run_robosim("y " + path + "\nn").out);

    const ConsoleRun help = run_robosim("", 30000, {"DISPLAY=:no-such-display"}, {"--help"});
    EXPECT_EQ(help.exit_status, 0) << help.err;
    for (const char* key : {"usage: robosim", "ESC", "  x ", "  o ", "  r "}) {
        EXPECT_NE(help.out.find(key), std::string::npos) << key << help.out;
    }
    for (const char* wrong : {"--bogus", "two.dat"}) {
        const ConsoleRun run = run_robosim("", 30000, {}, {path, wrong});
        EXPECT_EQ(run.exit_status, 2) << wrong;
        EXPECT_NE(run.err.find("usage: robosim"), std::string::npos) << run.err;
    }
}

//------------------------------------------------------------------ end of input

// a closed input can answer nothing: a message and a non-zero status, never a hang
TEST(Startup, EndOfInputEndsWithAMessageAndFailureStatus) {
    for (const std::string script : {"", "n b", "n b c ", "n b c 4\n y 0.5"}) {
        const ConsoleRun run = run_robosim(script);
        EXPECT_FALSE(run.timed_out) << "script: " << script;
        EXPECT_FALSE(run.reached_final) << "script: " << script;
        EXPECT_TRUE(run.exited) << "script: " << script;
        EXPECT_NE(run.exit_status, 0) << "script: " << script;
        EXPECT_NE(run.err.find("end of input"), std::string::npos) << "script: " << script;
    }
}

//------------------------------------------------------------------ Shift-JIS terminal

// a Shift-JIS locale gets the text in CP932 (bytes from the iconv program), not UTF-8. The
// locale is compiled into a temporary directory; without localedef and its sources the test
// has nothing to run against and is skipped.
TEST(Startup, ShiftJisLocaleGetsCp932Text) {
    const std::string dir = ::testing::TempDir() + "robosim-locale";
    const std::string make_locale = "mkdir -p " + dir + " && localedef -c -f SHIFT_JIS -i ja_JP "
                                    + dir + "/ja_JP.SJIS >/dev/null 2>&1; test -e " + dir
                                    + "/ja_JP.SJIS/LC_CTYPE";
    if (std::system(make_locale.c_str()) != 0) {
        GTEST_SKIP() << "no Shift-JIS locale can be made here (localedef, package locales)";
    }
    const ConsoleRun run = run_robosim("n", 10000, {"LOCPATH=" + dir, "LC_ALL=ja_JP.SJIS"});
    std::system(("rm -rf " + dir).c_str());
    const std::string title_cp932 = "\n\n\x83\x8d\x83\x7b\x83\x62\x83\x67\x82\xcc\x90\xa7"
                                    "\x8c\xe4\x83\x56\x83\x7e\x83\x85\x83\x8c\x81\x5b"
                                    "\x83\x56\x83\x87\x83\x93\n\n";
    EXPECT_EQ(run.out.substr(0, title_cp932.size()), title_cp932);
    EXPECT_EQ(run.out.find("\xe3\x83\xad"), std::string::npos);  // no UTF-8 ro left
    EXPECT_NE(run.out.find("type="), std::string::npos);         // ASCII stays ASCII
}

//------------------------------------------------------------------ real terminal

// reads from the pty master until part appears or the time is up
static bool read_until(int master, const std::string& part, std::string* seen) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (seen->find(part) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd fd = {master, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char chunk[4096];
        const ssize_t n = read(master, chunk, sizeof chunk);
        if (n <= 0) {
            return false;
        }
        seen->append(chunk, static_cast<size_t>(n));
    }
    return true;
}

// waits until the terminal's line mode is as wanted (the program switches it on its own time;
// a loaded machine may keep it from running for seconds)
static bool wait_for_canonical(int slave, bool wanted) {
    for (int i = 0; i < 4000; ++i) {
        termios t = {};
        if (tcgetattr(slave, &t) == 0 && ((t.c_lflag & ICANON) != 0) == wanted) {
            return true;
        }
        usleep(5000);
    }
    return false;
}

static bool terminal_is_cooked(int slave) {
    termios t = {};
    return tcgetattr(slave, &t) == 0 && (t.c_lflag & ICANON) != 0 && (t.c_lflag & ECHO) != 0;
}

// the terminal's whole settings, as stty -g shows them
static std::string terminal_settings(int slave) {
    termios t;
    std::memset(&t, 0, sizeof t);  // no stray padding bytes in the comparison
    tcgetattr(slave, &t);
    return std::string(reinterpret_cast<const char*>(&t), sizeof t);
}

struct PtyProgram {
    pid_t pid;            // robosim
    int master;           // our side of the terminal
    int slave;            // kept open here to look at the terminal's modes
    std::string initial;  // the terminal's settings before robosim started
};

static PtyProgram start_on_terminal() {
    PtyProgram p = {-1, -1, -1, ""};
    if (openpty(&p.master, &p.slave, nullptr, nullptr, nullptr) != 0) {
        return p;
    }
    p.initial = terminal_settings(p.slave);
    p.pid = fork();
    if (p.pid == 0) {
        close(p.master);
        setsid();
        ioctl(p.slave, TIOCSCTTY, 0);
        dup2(p.slave, 0);
        dup2(p.slave, 1);
        dup2(p.slave, 2);
        close(p.slave);
        for (int sig = 1; sig < SIGRTMIN; ++sig) {
            signal(sig, SIG_DFL);  // the test runner may have ignored some
        }
        const rlimit no_core = {0, 0};
        setrlimit(RLIMIT_CORE, &no_core);  // the signals that dump core need not
        setenv("LC_ALL", "C", 1);
        execl(ROBOSIM_BIN, ROBOSIM_BIN, static_cast<char*>(nullptr));
        _exit(127);
    }
    return p;
}

// a key answers at once, without Enter and without echo, and keys typed ahead answer the next
// questions; numbers are typed as echoed lines; the terminal is left as it was found
TEST(StartupTerminal, SingleKeyAnswersWithoutEnterAndTheTerminalIsRestored) {
    PtyProgram p = start_on_terminal();
    ASSERT_GT(p.pid, 0);
    ASSERT_TRUE(terminal_is_cooked(p.slave));
    std::string seen;
    ASSERT_TRUE(read_until(p.master, "yes:y  no:n", &seen)) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, false)) << "no raw mode during the key read";
    ASSERT_EQ(write(p.master, "\x1b[B", 3), 3);  // an arrow key, one key press: not 'y'
    ASSERT_TRUE(read_until(p.master, "type=", &seen)) << seen;
    // the key is not echoed: the next question follows the first at once (\n becomes \r\n)
    EXPECT_NE(seen.find("yes:y  no:n\r\nロボットの選択"), std::string::npos) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, false));
    // Ctrl-Z cannot stop the leader of the terminal's session (no shell could continue it): it
    // says so, and the key read goes on
    ASSERT_EQ(write(p.master, "\x1a", 1), 1);
    ASSERT_TRUE(read_until(p.master, "停止しません）", &seen)) << seen;
    ASSERT_EQ(write(p.master, "bc", 2), 2);  // typed ahead: robot b, then motion c
    // the whole question: "cp=" is in it twice, and a terminal may deliver it in pieces
    ASSERT_TRUE(read_until(p.master, "をキー  cp=", &seen)) << seen;
    seen.clear();
    // the path kind is a typed line: the terminal is back in line mode and echoes it
    ASSERT_TRUE(wait_for_canonical(p.slave, true));
    ASSERT_EQ(write(p.master, "2\n", 2), 2);
    ASSERT_TRUE(read_until(p.master, "以下全て変更しない : n  ", &seen)) << seen;
    EXPECT_EQ(seen.substr(0, 3), "2\r\n");
    ASSERT_TRUE(wait_for_canonical(p.slave, false));
    ASSERT_EQ(write(p.master, "n", 1), 1);
    EXPECT_TRUE(read_until(p.master, "描画画面へ       ", &seen)) << seen;
    bool exited = false;
    end_child(p.pid, std::chrono::milliseconds(300), &exited);
    EXPECT_TRUE(terminal_is_cooked(p.slave));
    close(p.master);
    close(p.slave);
}

// On a terminal a number answer is its typed line: letters get a message and the question
// again, and what follows the values asked for is dropped with a notice, so that it never
// answers the next key question (here "1" would open the work dialog)
TEST(StartupTerminal, TypedAheadNumbersAreDroppedWithANotice) {
    PtyProgram p = start_on_terminal();
    ASSERT_GT(p.pid, 0);
    std::string seen;
    ASSERT_TRUE(read_until(p.master, "yes:y  no:n", &seen)) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, false));
    ASSERT_EQ(write(p.master, "naq", 3), 3);  // no file, robot a, the step command
    ASSERT_TRUE(read_until(p.master, "(1-1) アーム長変更する？", &seen)) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, false));
    ASSERT_EQ(write(p.master, "y", 1), 1);
    ASSERT_TRUE(read_until(p.master, "L[m]  =", &seen)) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, true));
    ASSERT_EQ(write(p.master, "abc\n", 4), 4);
    // the message, then the question again
    ASSERT_TRUE(
        read_until(p.master, "入力してください\r\n  アーム長(旧= 0.50[m])を入力  L[m]  =", &seen))
        << seen;
    EXPECT_NE(seen.find("数値を 1 個"), std::string::npos) << seen;
    seen.clear();
    ASSERT_TRUE(wait_for_canonical(p.slave, true));
    ASSERT_EQ(write(p.master, "0.6 1\n", 6), 6);
    ASSERT_TRUE(read_until(p.master, "(1-2) ワーク変更？", &seen)) << seen;
    EXPECT_NE(seen.find("（同じ行の残り「1」は使いません）"), std::string::npos) << seen;
    // the next question waits for its own key
    ASSERT_TRUE(wait_for_canonical(p.slave, false));
    EXPECT_EQ(seen.find("ワーク質量(旧="), std::string::npos) << seen;
    ASSERT_EQ(write(p.master, "n", 1), 1);
    ASSERT_TRUE(read_until(p.master, "描画画面へ       ", &seen)) << seen;
    EXPECT_NE(seen.find("アーム長 l =  0.600[m]"), std::string::npos) << seen;
    bool exited = false;
    end_child(p.pid, std::chrono::milliseconds(300), &exited);
    close(p.master);
    close(p.slave);
}

// Ctrl-D after a partial number hands it over, and a second one ends the input then and there
TEST(StartupTerminal, SecondCtrlDAfterAPartialLineEndsTheInput) {
    PtyProgram p = start_on_terminal();
    std::string seen;
    ASSERT_TRUE(read_until(p.master, "yes:y  no:n", &seen)) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, false));
    ASSERT_EQ(write(p.master, "naqy", 4), 4);  // no file, robot a, the step command, arm length
    ASSERT_TRUE(read_until(p.master, "L[m]  =", &seen)) << seen;
    ASSERT_TRUE(wait_for_canonical(p.slave, true));
    ASSERT_EQ(write(p.master, "0.6\x04\x04", 5), 5);
    bool exited = false;
    const int wstatus = end_child(p.pid, std::chrono::milliseconds(20000), &exited);
    EXPECT_TRUE(exited && WIFEXITED(wstatus) && WEXITSTATUS(wstatus) == 1) << seen;
    close(p.master);
    close(p.slave);
}

// every signal that ends the program, sent during a key read, leaves the terminal as it was
// found and ends the program as that signal does
TEST(StartupTerminal, SignalDuringAKeyReadRestoresTheTerminal) {
    for (const int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGPIPE,
                          SIGSEGV, SIGABRT, SIGBUS, SIGXCPU, SIGPROF, SIGIO, SIGRTMIN}) {
        PtyProgram p = start_on_terminal();
        ASSERT_GT(p.pid, 0);
        std::string seen;
        ASSERT_TRUE(read_until(p.master, "yes:y  no:n", &seen)) << seen;
        ASSERT_TRUE(wait_for_canonical(p.slave, false)) << "no raw mode during the key read";
        kill(p.pid, sig);
        int wstatus = 0;
        ASSERT_TRUE(wait_child(p.pid, &wstatus, std::chrono::milliseconds(30000)));
#if !defined(__SANITIZE_ADDRESS__)  // the sanitizers' SEGV and BUS handlers end it their way
        EXPECT_TRUE(WIFSIGNALED(wstatus) && WTERMSIG(wstatus) == sig) << "signal " << sig;
#endif
        EXPECT_EQ(terminal_settings(p.slave), p.initial) << "signal " << sig;
        close(p.master);
        close(p.slave);
    }
}
