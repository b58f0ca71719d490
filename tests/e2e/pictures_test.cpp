// The batch tool's pictures against the real window: a PNG is the window's frame after the
// same keys, pixel for pixel, and a GIF, played back frame by frame, shows the same frames at
// the pace of the simulated time.
#include "tests/e2e/batch_run.h"
#include "tests/e2e/window_harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <gif_lib.h>
#include <ostream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr double ZOOM_STEP = 0.9;  // what one 'w' multiplies the robot view scale by

std::string example(const char* name) {
    return std::string(ROBOSIM_SOURCE_DIR) + "/examples/" + name;
}

// a scratch file name for a picture of this test
std::string scratch(const std::string& ending) {
    char path[] = "/tmp/robosim_picture_XXXXXX";
    const int fd = mkstemp(path);
    close(fd);
    unlink(path);
    return std::string(path) + ending;
}

// pixels whose colour differs in the two pictures
int differing_pixels(const Picture& a, const Picture& b) {
    int n = 0;
    for (size_t i = 0; i + 2 < a.rgb.size() && i + 2 < b.rgb.size(); i += 3) {
        n += a.rgb[i] != b.rgb[i] || a.rgb[i + 1] != b.rgb[i + 1] || a.rgb[i + 2] != b.rgb[i + 2];
    }
    return n;
}

// exit status and standard error of robosim-batch on the given display
CommandResult run_batch_on(const std::vector<std::string>& words, const std::string& display) {
    std::vector<std::string> argv = {ROBOSIM_BATCH_BIN};
    argv.insert(argv.end(), words.begin(), words.end());
    return run_command(argv, display, 60000);
}

//------------------------------------------------------------------ PNG against the window

struct WindowCase {
    const char* name;
    const char* data_file;  // under examples/, or nullptr for the SCARA sine of the start-up
    int steps;              // 's' presses: the sample shown
    char graph;             // the lower graph, 't' or 'i'
    int zoom;               // 'w' presses if positive, 'W' presses if negative
    bool all_options;       // give --sample, --graph and --scale even where they are defaults
    bool fit = false;       // 'z' before the zoom keys, --fit
};

class PngAgainstWindow : public WindowRun, public ::testing::WithParamInterface<WindowCase> {};

void PrintTo(const WindowCase& wc, std::ostream* os) {
    *os << wc.name;
}

TEST_P(PngAgainstWindow, IsTheWindowsPictureAfterTheSameKeys) {
    const WindowCase& wc = GetParam();
    const std::string file = wc.data_file != nullptr ? example(wc.data_file) : "";
    ASSERT_NO_FATAL_FAILURE(start_window(file.empty() ? "nbc4\nn" : "y " + file + "\nn"));
    if (wc.steps > 0) {
        keys("s", wc.steps);
    }
    if (wc.fit) {
        keys("z");
    }
    if (wc.zoom != 0) {
        keys(wc.zoom > 0 ? "w" : "W", std::abs(wc.zoom));
    }
    // every key handled, then the lower graph asked for
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    keys(std::string(1, wc.graph));
    ASSERT_TRUE(eventually([&] {
        const Picture p = grab();
        return wc.graph == 'i' ? is_inertia_graph(p) : is_torque_graph(p);
    }));
    const Picture window_picture = grab();

    double scale = 1.0;
    for (int z = 0; z < std::abs(wc.zoom); ++z) {
        scale = wc.zoom > 0 ? scale * ZOOM_STEP : scale / ZOOM_STEP;
    }
    char scale_text[32];
    std::snprintf(scale_text, sizeof scale_text, "%.17g", scale);
    const std::string png = scratch(".png");
    std::vector<std::string> words;
    if (!file.empty()) {
        words.push_back(file);
    }
    words.insert(words.end(), {"--png", png});
    if (wc.all_options || wc.steps < 200) {
        words.insert(words.end(), {"--sample", std::to_string(wc.steps)});
    }
    if (wc.all_options || wc.graph != 't') {
        words.insert(words.end(), {"--graph", std::string(1, wc.graph)});
    }
    if (wc.all_options || wc.zoom != 0) {
        words.insert(words.end(), {"--scale", scale_text});
    }
    if (wc.fit) {
        words.emplace_back("--fit");
    }
    const CommandResult r = run_batch_on(words, display);
    ASSERT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.empty()) << r.out;  // pictures only: no CSV on standard output
    const Picture file_picture = load_png(png);
    unlink(png.c_str());

    ASSERT_EQ(file_picture.width, WINDOW_SIZE);
    ASSERT_EQ(file_picture.height, WINDOW_SIZE);
    ASSERT_EQ(window_picture.width, WINDOW_SIZE);
    EXPECT_EQ(differing_pixels(file_picture, window_picture), 0);
}

const WindowCase FITTED_CASE = {
    "ScaraStepFittedThenZoomedOut", "scara_step.dat", 9, 't', 1, false, true};

INSTANTIATE_TEST_SUITE_P(, PngAgainstWindow,
                         ::testing::Values(WindowCase{"ScaraSineMidRunInertiaZoomedOut", nullptr,
                                                      57, 'i', 2, false},
                                           WindowCase{"CylindricalTrapezoidLastSampleZoomedIn",
                                                      "cyl_trap.dat", 200, 't', -1, false},
                                           WindowCase{"ScaraStepFirstSampleDefaultsNamed",
                                                      "scara_step.dat", 0, 't', 0, true},
                                           FITTED_CASE),
                         [](const ::testing::TestParamInfo<WindowCase>& param_info) {
                             return std::string(param_info.param.name);
                         });

// at another size the window's frame is the batch tool's picture of that size, so that the layout
// checks of the pictures hold for the window
class WindowOfSize : public WindowRun, public ::testing::WithParamInterface<int> {};

TEST_P(WindowOfSize, IsThePictureOfThatSize) {
    window_size = GetParam();
    const std::string side = std::to_string(window_size);
    program_args = {"-geometry", side + "x" + side};
    ASSERT_NO_FATAL_FAILURE(start_window("nbc4\nn"));
    keys("s", 57);
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const std::string png = scratch(".png");
    ASSERT_EQ(run_batch_on({"--png", png, "--sample", "57", "--size", side}, display).status, 0);
    EXPECT_EQ(differing_pixels(load_png(png), grab()), 0);
    unlink(png.c_str());
}

INSTANTIATE_TEST_SUITE_P(, WindowOfSize, ::testing::Values(600, 1000));

//------------------------------------------------------------------ pinned runs

// A run pinned with 'P' stays under the run the 'k' dialog makes, with the legend naming fn1,
// and moves with it: the window is the batch tool's overlay of the same sweep, at the last
// sample and part way through.
TEST_F(WindowRun, PinnedRunIsTheSweepsOverlayAtEverySample) {
    ASSERT_NO_FATAL_FAILURE(start_window("nbc4\nn"));
    keys("P");
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const Picture pinned = grab();
    keys("k");
    ASSERT_TRUE(eventually([&] { return output().find("制御ゲイン変更？") != std::string::npos; }));
    ASSERT_NO_FATAL_FAILURE(answer("y"));
    ASSERT_TRUE(eventually([&] { return output().find("fn1 α1=") != std::string::npos; }));
    ASSERT_NO_FATAL_FAILURE(answer("2 4\n4 4\nVn"));
    // the new run shown: the keys typed during the dialogs have been dropped by then
    ASSERT_TRUE(eventually([&] { return grab().rgb != pinned.rgb; })) << output();
    for (const int sample : {200, 57}) {
        keys("0");
        keys("s", sample);
        ASSERT_NO_FATAL_FAILURE(settle_keys());
        const Picture window_picture = grab();
        const std::string png = scratch(".png");
        const CommandResult r = run_batch_on(
            {"--sweep", "fn1=2,4", "--png", png, "--sample", std::to_string(sample)}, display);
        ASSERT_EQ(r.status, 0);
        const Picture overlay = load_png(png);
        unlink(png.c_str());
        EXPECT_EQ(differing_pixels(overlay, window_picture), 0) << "sample " << sample;
    }
    keys("U");  // the pin dropped: the single run's picture again
    ASSERT_NO_FATAL_FAILURE(settle_keys());
    const std::string png = scratch(".png");
    ASSERT_EQ(run_batch_on({"--set", "fn1=2", "--png", png, "--sample", "57"}, display).status, 0);
    EXPECT_EQ(differing_pixels(load_png(png), grab()), 0);
    unlink(png.c_str());
}

//------------------------------------------------------------------ GIF

// an animation played back: each frame as a viewer shows it, and how long
struct PlayedGif {
    int width = 0, height = 0;  // logical screen   (px)
    bool loops = false;         // the repeat-for-ever extension is there
    std::vector<Picture> frames;
    std::vector<int> delays_cs;
};

// decodes the file and draws every frame over the one before, as its disposal asks
PlayedGif play_gif(const std::string& path) {
    PlayedGif played;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (gif == nullptr) {
        return played;
    }
    if (DGifSlurp(gif) != GIF_OK) {
        DGifCloseFile(gif, &error);
        return played;
    }
    played.width = gif->SWidth;
    played.height = gif->SHeight;
    Picture canvas;
    canvas.width = gif->SWidth;
    canvas.height = gif->SHeight;
    canvas.rgb.assign(static_cast<size_t>(3) * canvas.width * canvas.height, 0);
    for (int i = 0; i < gif->ImageCount; ++i) {
        const SavedImage& image = gif->SavedImages[i];
        for (int e = 0; e + 1 < image.ExtensionBlockCount; ++e) {
            const ExtensionBlock& b = image.ExtensionBlocks[e];
            const ExtensionBlock& next = image.ExtensionBlocks[e + 1];
            if (b.Function == APPLICATION_EXT_FUNC_CODE && b.ByteCount == 11
                && std::string(reinterpret_cast<const char*>(b.Bytes), 11) == "NETSCAPE2.0"
                && next.ByteCount == 3 && next.Bytes[0] == 1 && next.Bytes[1] == 0
                && next.Bytes[2] == 0) {
                played.loops = true;
            }
        }
        GraphicsControlBlock gcb = {};
        gcb.TransparentColor = NO_TRANSPARENT_COLOR;
        DGifSavedExtensionToGCB(gif, i, &gcb);
        played.delays_cs.push_back(gcb.DelayTime);
        const GifImageDesc& d = image.ImageDesc;
        const ColorMapObject* map = d.ColorMap != nullptr ? d.ColorMap : gif->SColorMap;
        for (int r = 0; r < d.Height; ++r) {
            for (int c = 0; c < d.Width; ++c) {
                const int index = image.RasterBits[r * d.Width + c];
                if (index == gcb.TransparentColor) {
                    continue;
                }
                const GifColorType colour = map->Colors[index];
                // the file's rows run from the top, a Picture's from the bottom
                const size_t row = static_cast<size_t>(canvas.height - 1 - (d.Top + r));
                unsigned char* px = &canvas.rgb[3 * (row * canvas.width + d.Left + c)];
                px[0] = colour.Red;
                px[1] = colour.Green;
                px[2] = colour.Blue;
            }
        }
        EXPECT_EQ(gcb.DisposalMode, DISPOSE_DO_NOT) << "frame " << i;
        played.frames.push_back(canvas);
    }
    DGifCloseFile(gif, &error);
    return played;
}

struct GifCase {
    const char* name;
    const char* data_file;  // under examples/, or nullptr for the default experiment
    int every;              // 0: not given, the default of 2
};

class GifAnimation : public PrivateDisplay, public ::testing::WithParamInterface<GifCase> {};

void PrintTo(const GifCase& gc, std::ostream* os) {
    *os << gc.name;
}

// 200 samples of 0.02 s: frames at 0, N, 2N, .. and always at 200, each shown until the next
// frame's simulated time (2 hundredths of a second per sample), the last one for N samples
TEST_P(GifAnimation, HoldsEveryNthFrameAtTheSimulatedPaceAndLoops) {
    const GifCase& gc = GetParam();
    const int every = gc.every > 0 ? gc.every : 2;
    std::vector<std::string> base;
    if (gc.data_file != nullptr) {
        base.push_back(example(gc.data_file));
    }
    const std::string gif = scratch(".gif");
    std::vector<std::string> words = base;
    words.insert(words.end(), {"--gif", gif});
    if (gc.every > 0) {
        words.insert(words.end(), {"--every", std::to_string(gc.every)});
    }
    const CommandResult r = run_batch_on(words, display);
    ASSERT_EQ(r.status, 0);
    struct stat st = {};
    ASSERT_EQ(stat(gif.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0044, 0044u) << "others cannot read the animation";
    const PlayedGif played = play_gif(gif);
    unlink(gif.c_str());

    std::vector<int> samples;
    for (int k = 0; k < 200; k += every) {
        samples.push_back(k);
    }
    samples.push_back(200);
    EXPECT_EQ(played.width, WINDOW_SIZE);
    EXPECT_EQ(played.height, WINDOW_SIZE);
    EXPECT_TRUE(played.loops);
    ASSERT_EQ(played.frames.size(), samples.size());
    int total_cs = 0;
    for (size_t i = 0; i + 1 < samples.size(); ++i) {
        EXPECT_EQ(played.delays_cs[i], 2 * (samples[i + 1] - samples[i])) << "frame " << i;
        total_cs += played.delays_cs[i];
    }
    EXPECT_EQ(total_cs, 2 * 200);             // the 4 s of the run,
    EXPECT_EQ(played.delays_cs.back(), 200);  // then its end held for 2 s before the loop

    // frames played back are the pictures of their samples, exactly
    for (const size_t i : {size_t{0}, size_t{1}, samples.size() / 2, samples.size() - 1}) {
        const std::string png = scratch(".png");
        std::vector<std::string> png_words = base;
        png_words.insert(png_words.end(), {"--png", png, "--sample", std::to_string(samples[i])});
        ASSERT_EQ(run_batch_on(png_words, display).status, 0);
        const Picture frame = load_png(png);
        unlink(png.c_str());
        ASSERT_EQ(frame.width, WINDOW_SIZE);
        EXPECT_EQ(differing_pixels(played.frames[i], frame), 0)
            << "frame " << i << ", sample " << samples[i];
    }
}

INSTANTIATE_TEST_SUITE_P(, GifAnimation,
                         ::testing::Values(GifCase{"DefaultScaraSine", nullptr, 0},
                                           GifCase{"CylindricalCircleEvery3", "cyl_circle.dat", 3},
                                           GifCase{"ScaraStepEvery7", "scara_step.dat", 7}),
                         [](const ::testing::TestParamInfo<GifCase>& param_info) {
                             return std::string(param_info.param.name);
                         });

//------------------------------------------------------------------ failures

// without a display nothing can be drawn: one clear line, status 2, no file, and no 4 s run
TEST(PictureFiles, NoDisplayIsToldWithStatusTwo) {
    for (const char* option : {"--png", "--gif"}) {
        const std::string path = scratch(".out");
        const ProgramRun run = run_batch_program({option, path}, {"DISPLAY"});
        EXPECT_EQ(run.status, 2) << option;
        EXPECT_TRUE(run.out.empty());
        EXPECT_NE(run.err.find("X display"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;
        EXPECT_NE(access(path.c_str(), F_OK), 0) << option << " left a file";
    }
}

// a file that cannot be written: status 1 and the reason, whatever else was asked for
TEST_F(PrivateDisplay, UnwritableFilesGiveStatusOne) {
    for (const char* option : {"--png", "--gif"}) {
        const CommandResult r = run_batch_on({option, "/nonexistent-directory/picture"}, display);
        EXPECT_EQ(r.status, 1) << option;
    }
}

// a picture names its experiment: at sample 0 two runs that differ only in a gain draw
// the same curves and pose, and only their caption lines tell them apart
TEST_F(PrivateDisplay, PicturesOfDifferentExperimentsDifferInTheirCaption) {
    const std::string light = scratch(".png");
    const std::string tuned = scratch(".png");
    ASSERT_EQ(run_batch_on({"--png", light, "--sample", "0"}, display).status, 0);
    ASSERT_EQ(run_batch_on({"--png", tuned, "--sample", "0", "--set", "fn1=5"}, display).status, 0);
    const Picture a = load_png(light);
    const Picture b = load_png(tuned);
    unlink(light.c_str());
    unlink(tuned.c_str());
    ASSERT_EQ(a.rgb.size(), b.rgb.size());
    EXPECT_GT(differing_pixels(a, b), 0);
    // the caption strip at the bottom left holds every difference
    Picture a_above = a;
    Picture b_above = b;
    const size_t strip = static_cast<size_t>(WINDOW_SIZE * 0.05 / 2.0 + 1) * WINDOW_SIZE * 3;
    a_above.rgb.erase(a_above.rgb.begin(), a_above.rgb.begin() + strip);  // rows bottom first
    b_above.rgb.erase(b_above.rgb.begin(), b_above.rgb.begin() + strip);
    EXPECT_EQ(differing_pixels(a_above, b_above), 0);
}

}  // namespace
