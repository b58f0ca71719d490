// The browser build's software GL against the desktop's GL driver: the batch tool's picture of
// every example, drawn by the same frame code through each, differs in only a few pixels of the
// curves (where a line's end falls a rounding error from a pixel centre), and its text is the
// same pixel for pixel.
#include "platform/x_window.h"
#include "tests/e2e/batch_run.h"
#include "tests/platform/soft_gl_frame.h"
#include "tests/view/picture.h"
#include "tests/view/x_display.h"
#include "view/robot_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <ostream>

namespace {

// the most pixels of a picture that may differ (-): three times the worst of every example at
// samples 40, 120 and 200, both graphs, 800 and 600 px (0.0033 %, a line's end at a joint)
constexpr double MAX_DIFFERING = 0.0001;
constexpr int TEXT_GREY_BYTE = 10;  // TEXT_GREY as the frame buffer holds it (0 .. 255)

struct Drawing {
    std::string data_file;
    int sample;
    char graph;
    int size;           // (px)
    double zoom = 0.0;  // --fit --scale zoom; 0 neither                                (-)
};

void PrintTo(const Drawing& d, std::ostream* os) {
    *os << d.data_file << " sample " << d.sample << " graph " << d.graph << " " << d.size << " px";
}

// every example, each at another sample, graph and size
std::vector<Drawing> drawings() {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(ROBOSIM_SOURCE_DIR "/examples")) {
        if (e.path().extension() == ".dat") {
            files.push_back(e.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    std::vector<Drawing> all;
    for (size_t i = 0; i < files.size(); ++i) {
        const int samples[3] = {40, 120, 200};
        all.push_back({files[i], samples[i % 3], i % 2 == 0 ? 't' : 'i', i % 4 < 2 ? 800 : 600});
    }
    // zoomed far in, as far as the batch tool goes: an arm crosses the window from far beyond it
    all.push_back({ROBOSIM_SOURCE_DIR "/examples/scara_circle.dat", 100, 't', 800, 1000.0});
    return all;
}

class SoftGlPicture : public ::testing::TestWithParam<Drawing> {
  protected:
    static void SetUpTestSuite() {
        display = start_xvfb(&xvfb_pid);
    }

    static void TearDownTestSuite() {
        stop_xvfb(&xvfb_pid);
    }

    static inline std::string display;
    static inline pid_t xvfb_pid = 0;
};

TEST_P(SoftGlPicture, IsTheGlDriversPicture) {
    const Drawing& d = GetParam();
    ASSERT_FALSE(display.empty()) << "cannot start Xvfb";
    char png[] = "/tmp/robosim-softgl-XXXXXX";
    close(mkstemp(png));
    std::vector<std::string> env = environment_without({"DISPLAY"});
    env.push_back("DISPLAY=" + display);
    std::vector<std::string> words = {d.data_file,
                                      "--png",
                                      png,
                                      "--sample",
                                      std::to_string(d.sample),
                                      "--graph",
                                      std::string(1, d.graph),
                                      "--size",
                                      std::to_string(d.size)};
    if (d.zoom > 0.0) {
        words.insert(words.end(), {"--fit", "--scale", std::to_string(d.zoom)});
    }
    const ProgramRun batch = run_program(ROBOSIM_BATCH_BIN, words, env);
    const Picture driver = load_png(png);  // rows bottom first
    unlink(png);
    ASSERT_EQ(batch.status, 0) << batch.err;
    ASSERT_EQ(driver.width, d.size);

    const std::unique_ptr<SoftScene> scene = soft_scene(d.data_file, d.graph);
    ASSERT_NE(scene, nullptr);
    if (d.zoom > 0.0) {
        const robosim::ViewFit fit = robosim::fit_robot_view(scene->scene);
        scene->scene.view.robot_scale = fit.scale * d.zoom;
        scene->scene.view.view_shift = fit.shift;
        scene->scene.view.fitted = true;
    }
    draw_soft_frame(scene->scene, d.sample, d.size);
    ASSERT_EQ(robosim::softgl::width(), d.size);
    int differing = 0;
    int text_differing = 0;  // pixels where either picture has text
    for (int j = 0; j < d.size; ++j) {
        for (int i = 0; i < d.size; ++i) {
            const unsigned char* a = robosim::softgl::rgba() + 4 * ((d.size - 1 - j) * d.size + i);
            const unsigned char* b = &driver.rgb[3 * (j * d.size + i)];
            if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) {
                ++differing;
                text_differing += a[0] == TEXT_GREY_BYTE || b[0] == TEXT_GREY_BYTE;
            }
        }
    }
    EXPECT_EQ(text_differing, 0);
    EXPECT_LE(differing, MAX_DIFFERING * d.size * d.size);
}

INSTANTIATE_TEST_SUITE_P(, SoftGlPicture, ::testing::ValuesIn(drawings()),
                         [](const ::testing::TestParamInfo<Drawing>& param_info) {
                             const Drawing& d = param_info.param;
                             return std::filesystem::path(d.data_file).stem().string() + "_"
                                    + std::to_string(d.sample) + d.graph + std::to_string(d.size)
                                    + (d.zoom > 0.0 ? "_zoomed" : "");
                         });

}  // namespace
