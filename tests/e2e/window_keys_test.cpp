// The real program's window under key presses: the animation, the zoom, the lower graph, the
// re-simulation keys, a round trip through the console dialogs, and ESC.
#include "tests/e2e/window_harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace {

using WindowKeys = WindowRun;

const char* const SCARA_SINE = "nbc4\nn";  // no data file, SCARA, CP, sine path, no changes

// curve ink of the joint displacement graph: the blue commanded angles
int joint_curve_ink(const Picture& p) {
    return p.count(0.41, 0.51, 0.899, 0.9, is_blue);
}

// occurrences of text in s
size_t occurrences(const std::string& s, const std::string& text) {
    size_t n = 0;
    for (size_t at = s.find(text); at != std::string::npos; at = s.find(text, at + 1)) {
        ++n;
    }
    return n;
}

// each 's' adds a sample to the curves until sample 200; further presses change nothing
TEST_F(WindowKeys, StepGrowsTheCurvesAndStopsAtTheLastSample) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    const int at_start = joint_curve_ink(grab());
    keys("s", 20);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const int at_20 = joint_curve_ink(grab());
    keys("s", 60);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const int at_80 = joint_curve_ink(grab());
    EXPECT_LT(at_start, at_20);
    EXPECT_LT(at_20, at_80);

    keys("s", 119);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture at_199 = grab();
    keys("s");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture at_200 = grab();
    keys("s", 10);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture after = grab();
    EXPECT_NE(at_199.rgb, at_200.rgb);
    EXPECT_EQ(at_200.rgb, after.rgb);

    // the whole frame at sample 200 is the reference picture of the README, up to the few
    // pixels another build of the rasteriser may place differently (as in the view tests)
    const Picture reference =
        load_png(std::string(ROBOSIM_SOURCE_DIR) + "/docs/images/scara_sine_200.png");
    ASSERT_EQ(reference.width, at_200.width);
    ASSERT_EQ(reference.height, at_200.height);
    int differing = 0;
    for (size_t i = 0; i + 2 < at_200.rgb.size(); i += 3) {
        bool differs = false;
        for (size_t c = 0; c < 3; ++c) {
            differs = differs || std::abs(at_200.rgb[i + c] - reference.rgb[i + c]) > 64;
        }
        differing += differs ? 1 : 0;
    }
    EXPECT_LE(differing, 200);

    // '0' goes back to the start
    keys("0");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    EXPECT_EQ(joint_curve_ink(grab()), at_start);
}

// 'w' shrinks the robot view about the window centre (the base moves from (-0.5, -0.5) to
// (-0.45, -0.45)), 'W' enlarges it back; the graphs stay where they are
TEST_F(WindowKeys, ZoomKeysScaleTheRobotViewAboutTheCentre) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    const Picture before = grab();
    EXPECT_TRUE(is_red(before.at(-0.5, -0.5)));
    keys("w");
    const Picture shrunk = grab_when([](const Picture& p) { return is_red(p.at(-0.45, -0.45)); });
    EXPECT_TRUE(is_red(shrunk.at(-0.45, -0.45)));
    EXPECT_FALSE(is_red(shrunk.at(-0.5, -0.5)));
    EXPECT_EQ(shrunk.count(0.36, -1.0, 0.999, 0.999, is_red),
              before.count(0.36, -1.0, 0.999, 0.999, is_red));
    keys("W");
    const Picture back = grab_when([](const Picture& p) { return is_red(p.at(-0.5, -0.5)); });
    EXPECT_EQ(back.rgb, before.rgb);
}

// 'i' shows the inertia graph, 't' the torque graph again
TEST_F(WindowKeys, TorqueAndInertiaKeysSwitchTheLowerGraph) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    EXPECT_TRUE(is_torque_graph(grab()));
    keys("i");
    EXPECT_TRUE(eventually([&] { return is_inertia_graph(grab()); }));
    keys("t");
    EXPECT_TRUE(eventually([&] { return is_torque_graph(grab()); }));
}

// 'h' switches gravity off and 'g' on again, each re-simulating at once without the dialogs:
// the console shows the calculating note but no menu, and the frame is back at sample 0
TEST_F(WindowKeys, GravityKeysResimulateWithoutTheDialogs) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    const std::string menu = "描画画面上でキーによる操作選択";
    const Picture first = grab();
    const int at_start = joint_curve_ink(first);
    EXPECT_EQ(first.count(-0.54, 0.84, -0.45, 0.88, is_text), 0);  // "vertical motion"
    keys("s", 30);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    ASSERT_GT(joint_curve_ink(grab()), at_start);
    const std::string before = output();

    keys("h");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture p = grab();
    EXPECT_EQ(joint_curve_ink(p), at_start);
    // the status line changes from "vertical motion" to "horizontal motion", whose text
    // reaches past x = -0.54, where the shorter one ends
    EXPECT_GT(p.count(-0.54, 0.84, -0.45, 0.88, is_text), 0);
    const std::string after = output().substr(before.size());
    EXPECT_NE(after.find("只今計算中"), std::string::npos) << after;
    EXPECT_EQ(occurrences(output(), menu), 1u);

    keys("s", 30);
    keys("g");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture q = grab();
    EXPECT_EQ(joint_curve_ink(q), at_start);
    EXPECT_EQ(q.count(-0.54, 0.84, -0.45, 0.88, is_text), 0);  // "vertical motion" again
    EXPECT_EQ(occurrences(output(), "只今計算中"), 3u);        // start-up, 'h' and 'g'
    EXPECT_EQ(occurrences(output(), menu), 1u);
}

// 'k' goes back to the console at the gain dialog; answering "n" there runs the final stage
// and the window takes over again, at sample 0
TEST_F(WindowKeys, GainKeyGoesThroughTheConsoleAndBack) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    const std::string to_window = "\n\n描画画面へ";  // the final stage, not the menu line
    ASSERT_EQ(occurrences(output(), to_window), 1u);
    keys("s", 10);
    keys("k");
    ASSERT_TRUE(eventually([&] {
        return output().find("(2-1) 制御ゲイン変更？") != std::string::npos;
    })) << output();
    ASSERT_NO_FATAL_FAILURE(answer("n"));
    EXPECT_TRUE(eventually([&] { return occurrences(output(), to_window) == 2; })) << output();
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    EXPECT_EQ(joint_curve_ink(grab()), joint_curve_ink(grab()));
    keys("Escape");
    EXPECT_EQ(wait_exit(10000), 0);
}

static std::string read_file(const char* path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// 'o' asks for a file name and writes the settings there: the data file robosim-batch writes
// for the same experiment, which reads back to the same run
TEST_F(WindowKeys, OutputKeyWritesTheSettingsAsADataFile) {
    char path[] = "/tmp/robosim-settings-XXXXXX";
    close(mkstemp(path));
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("o");
    ASSERT_TRUE(eventually([&] { return output().find("ファイル名入力") != std::string::npos; }))
        << output();
    ASSERT_NO_FATAL_FAILURE(answer(std::string(path) + "\n"));
    EXPECT_TRUE(eventually([&] {
        return output().find(std::string("書き出したファイル名 = ") + path) != std::string::npos;
    })) << output();
    char batch_copy[] = "/tmp/robosim-settings-batch-XXXXXX";
    close(mkstemp(batch_copy));
    run_command({ROBOSIM_BATCH_BIN, "--write-data", batch_copy}, display);
    EXPECT_EQ(read_file(path), read_file(batch_copy));
    EXPECT_NE(read_file(path).find("b\n0.4 0.4\n"), std::string::npos) << read_file(path);
    unlink(path);
    unlink(batch_copy);
    keys("Escape");
    EXPECT_EQ(wait_exit(10000), 0);
}

// 'o' takes its whole line as the file name; an empty line writes nothing; under a file size
// limit (ulimit -f 0) it says why. None leaves a temporary file, and the program goes on.
TEST_F(WindowKeys, OutputKeyNameEmptyLineAndSizeLimit) {
    char dir[] = "/tmp/robosim-o-XXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    const std::string name = std::string(dir) + "/my file.dat";
    for (const auto& [limit, line, said] :
         std::vector<std::tuple<rlim_t, std::string, std::string>>{
             {RLIM_INFINITY, "  " + name + " \n", "書き出したファイル名 = " + name},
             {RLIM_INFINITY, "\n\n", "書き出しを取りやめました"},
             {0, name + "\n", name + " に書き出せません（ファイルが大きすぎます）"}}) {
        file_size_limit = limit;
        ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
        keys("o");
        ASSERT_NO_FATAL_FAILURE(answer(line));  // waits in the pipe for the prompt
        EXPECT_TRUE(eventually([&, &said = said] {
            return output().find(said) != std::string::npos;
        })) << output();
        keys("Escape");
        EXPECT_EQ(wait_exit(10000), 0) << output();
        EXPECT_EQ(unlink(name.c_str()) == 0, said.rfind("書き出した", 0) == 0) << said;
        EXPECT_EQ(rmdir(dir), 0) << said;  // nothing else is left in the folder
        ASSERT_EQ(mkdir(dir, 0700), 0);
        close(stdin_fd);
        stdin_fd = -1;
    }
    rmdir(dir);
}

// 'a' chooses the cylindrical robot and goes through the whole chain of dialogs; answering
// "n" to the first question simulates it, and the window shows robot (a)
TEST_F(WindowKeys, RobotKeyGoesThroughTheDialogsToTheOtherRobot) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    // the robot label: "(b) SCARA robot" ends left of x = -0.55, robot (a)'s label runs on
    const auto long_label = [](const Picture& p) {
        return p.count(-0.55, 0.89, -0.4, 0.93, is_text) > 0;
    };
    EXPECT_FALSE(long_label(grab()));
    keys("a");
    ASSERT_TRUE(eventually([&] {
        return output().find("(1-1) アーム長変更する？") != std::string::npos;
    })) << output();
    ASSERT_NO_FATAL_FAILURE(answer("n"));
    ASSERT_TRUE(eventually([&] { return occurrences(output(), "\n\n描画画面へ") == 2; }))
        << output();
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    EXPECT_TRUE(long_label(grab()));
    EXPECT_NE(output().find("(a) 円筒座標ロボットの線形制御"), std::string::npos);
}

// keys typed into the window while a console dialog waits are dropped: an ESC among them does
// not end the program, and keys after the dialog are handled
TEST_F(WindowKeys, KeysTypedDuringADialogAreDropped) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("k");
    ASSERT_TRUE(eventually([&] { return output().find("ゲイン変更？") != std::string::npos; }));
    keys("Escape");
    ASSERT_NO_FATAL_FAILURE(answer("n"));
    // sent again until it shows: a key that comes before the dialog has ended is dropped too
    EXPECT_TRUE(eventually([&] {
        keys("i");
        return is_inertia_graph(grab());
    })) << output();
}

// a window destroyed by another client ends the program, with status 0 as a desktop's close,
// also while the run plays and the timer draws into it
TEST_F(WindowKeys, DestroyedWindowEndsTheProgram) {
    for (const bool playing : {false, true}) {
        ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
        const Picture first = grab();
        keys(playing ? "space" : "0");
        ASSERT_TRUE(eventually([&] { return !playing || grab().rgb != first.rgb; }));
        run_command({"xdotool", "windowclose", window}, display);
        EXPECT_EQ(wait_exit(10000), 0) << "playing " << playing << "\n" << output();
        close(stdin_fd);
        stdin_fd = -1;
    }
}

// ESC ends the program with status 0 at any time, also in the middle of the animation
TEST_F(WindowKeys, EscapeEndsWithStatusZero) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("s", 5);
    keys("Escape");
    EXPECT_EQ(wait_exit(10000), 0);
}

}  // namespace

// Space plays the run at its simulated pace with no other key: the curves reach the last
// sample (the picture End shows) 4 s after the key, not sooner, and Space again stops them;
// BackSpace steps one sample back and End jumps to the last
TEST_F(WindowKeys, SpacePlaysAtTheSimulatedPaceAndBackSpaceAndEndMoveThePose) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("End");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture at_end = grab();
    keys("BackSpace");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture at_199 = grab();
    EXPECT_NE(at_199.rgb, at_end.rgb);
    keys("End");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    EXPECT_EQ(grab().rgb, at_end.rgb);
    keys("0");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const int at_start = joint_curve_ink(grab());

    const auto pressed = std::chrono::steady_clock::now();
    keys("space");
    ASSERT_TRUE(eventually([&] { return grab().rgb == at_end.rgb; }, 15000)) << "never at the end";
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
    std::printf("the run played in %.2f s\n", took);
    EXPECT_GE(took, 3.9);
    EXPECT_LE(took, 6.0);

    // from the start again, then paused half way: the picture stays as it is
    keys("space");
    ASSERT_TRUE(eventually([&] { return joint_curve_ink(grab()) > at_start + 50; }));
    keys("space");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture paused = grab();
    usleep(500000);  // half a second of the timer's pace: 25 samples, had it gone on
    EXPECT_EQ(grab().rgb, paused.rgb);
    EXPECT_NE(paused.rgb, at_end.rgb);

    // a key that simulates again while the run plays goes on playing the new run to its end
    keys("h");
    keys("End");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture end_without_gravity = grab();
    keys("0");
    keys("space");
    keys("h");
    EXPECT_TRUE(eventually([&] { return grab().rgb == end_without_gravity.rgb; }, 15000));
}

// a click on the torque graph's time axis at 1 s (pixel 610, 360) shows sample 50, the picture
// of 50 's', and stops playback, as does a drag that ends there
TEST_F(WindowKeys, ClickOrDragOnAGraphShowsTheSampleAtItsTime) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("s", 50);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture at_50 = grab();
    const auto drag = [&](const char* from_x, const char* to_x) {  // along y = 360; keys follow
        run_command({"xdotool", "mousemove", "--window", window, from_x, "360", "mousedown", "1",
                     "mousemove", "--window", window, to_x, "360", "mouseup", "1"},
                    display);
        ASSERT_NO_FATAL_FAILURE(settle_keys());
    };
    keys("0");
    keys("space");
    drag("610", "610");
    EXPECT_EQ(grab().rgb, at_50.rgb);
    keys("0");
    drag("700", "610");
    EXPECT_EQ(grab().rgb, at_50.rgb);
}

// '2' plays at 1/4 of the simulated pace: the whole run takes 16 s, and the readout says so
TEST_F(WindowKeys, SlowMotionKeyPlaysTheRunAtAQuarterOfItsPace) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("End");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const int readout_ink = grab().count(0.35, -0.99, 0.999, -0.955, is_text);
    keys("2");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture at_end = grab();
    EXPECT_GT(at_end.count(0.35, -0.99, 0.999, -0.955, is_text), readout_ink + 20);  // "x1/4"
    keys("0");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const auto pressed = std::chrono::steady_clock::now();
    keys("space");
    ASSERT_TRUE(eventually([&] { return grab().rgb == at_end.rgb; }, 40000)) << "never at the end";
    const double took =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
    EXPECT_NEAR(took, 18.75, 3.25);  // 16 s, and a busy machine's frames
}

// the console dialogs end with a new run at its first sample: the window shows it at once,
// with no key pressed and no expose event
TEST_F(WindowKeys, WindowShowsTheNewRunWhenTheDialogsReturn) {
    ASSERT_NO_FATAL_FAILURE(start_window(SCARA_SINE));
    keys("End");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture before = grab();
    keys("q");  // the step command's dialog: keep its points
    ASSERT_TRUE(
        eventually([&] { return output().find("(3-1) PTP(step入力指令）") != std::string::npos; }));
    ASSERT_NO_FATAL_FAILURE(answer("n"));
    EXPECT_TRUE(eventually([&] { return grab().rgb != before.rgb; })) << output();
}
