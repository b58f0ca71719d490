// The frame's layout at every example, both lower graphs and three window sizes: the curves stay
// inside their plot frames and never cross a label. The frame at the first sample (no curve yet)
// against the frame at the last: what the curves changed must lie in a frame, and no text pixel
// of the first may change.
#include "planning/experiment.h"
#include "tests/e2e/batch_run.h"
#include "tests/e2e/window_harness.h"
#include "view/draw.h"
#include "view/frame.h"
#include "view/graphs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

using namespace robosim;

namespace {

struct Frame {
    double x0, y0, x1, y1;  // (window)
};

// the plot frames of the lower graph ('t' or 'i') and of the joint graph, as the defaults lay
// them out
std::vector<Frame> plot_frames(char graph) {
    ParameterSet ps = {};
    set_defaults(ps);
    const Settings& s = ps.settings;
    const double w = s.graph_width;
    std::vector<Frame> frames = {{s.graph_origin.x,
                                  s.graph_origin.y + ERROR_BAND_LOW * GRAPH_HEIGHT,
                                  s.graph_origin.x + w, s.graph_origin.y + GRAPH_HEIGHT}};
    if (graph == 't') {
        frames.push_back({s.torque_origin1.x, s.torque_origin1.y - s.torque_half1,
                          s.torque_origin1.x + w, s.torque_origin1.y + s.torque_half1});
        frames.push_back({s.torque_origin2.x, s.torque_origin2.y - s.torque_half2,
                          s.torque_origin2.x + w, s.torque_origin2.y + s.torque_half2});
    } else {
        frames.push_back({s.inertia_origin.x, s.inertia_origin.y, s.inertia_origin.x + w,
                          s.inertia_origin.y + s.inertia_height});
    }
    return frames;
}

Picture drawn(const std::string& file, char graph, int size, int sample,
              const std::string& display) {
    const std::string png = "/tmp/robosim-layout-" + std::to_string(getpid()) + ".png";
    const CommandResult r =
        run_command({ROBOSIM_BATCH_BIN, file, "--png", png, "--graph", std::string(1, graph),
                     "--size", std::to_string(size), "--sample", std::to_string(sample)},
                    display, 60000);
    EXPECT_EQ(r.status, 0) << file;
    Picture p = load_png(png);
    unlink(png.c_str());
    return p;
}

bool is_text_grey(const Rgb& p) {
    return p.r == p.g && p.g == p.b && p.r >= 8 && p.r <= 12;  // the text's near black
}

class Layout : public PrivateDisplay, public ::testing::WithParamInterface<std::string> {};

TEST_P(Layout, CurvesStayInTheirFramesAndOffTheLabels) {
    const std::string file = std::string(ROBOSIM_SOURCE_DIR) + "/examples/" + GetParam();
    for (const int size : {600, 800, 1000}) {
        for (const char graph : {'t', 'i'}) {
            const Picture before = drawn(file, graph, size, 0, display);
            const Picture after = drawn(file, graph, size, 200, display);
            ASSERT_EQ(before.width, size);
            ASSERT_EQ(after.width, size);
            const std::vector<Frame> frames = plot_frames(graph);
            const double pixel = 2.0 / size;
            const double margin = (CLIP_MARGIN_PX + 1.0) * pixel;  // the clip's, and rounding
            int outside = 0;
            int text_crossed = 0;
            // the graphs' panel, above the time readout
            for (int r = before.row(READOUT_Y + 0.04); r < size; ++r) {
                for (int c = before.col(frames[0].x0 - 0.05); c < size; ++c) {
                    const Rgb a = before.px(c, r);
                    const Rgb b = after.px(c, r);
                    if (a.r == b.r && a.g == b.g && a.b == b.b) {
                        continue;
                    }
                    text_crossed += is_text_grey(a) ? 1 : 0;
                    const double x = (c + 0.5) * pixel - 1.0;
                    const double y = (r + 0.5) * pixel - 1.0;
                    bool inside = false;
                    for (const Frame& f : frames) {
                        inside = inside
                                 || (x >= f.x0 - margin && x <= f.x1 + margin && y >= f.y0 - margin
                                     && y <= f.y1 + margin);
                    }
                    outside += inside ? 0 : 1;
                }
            }
            EXPECT_EQ(outside, 0) << GetParam() << " " << graph << " " << size << " px";
            EXPECT_EQ(text_crossed, 0) << GetParam() << " " << graph << " " << size << " px";
        }
    }
}

std::vector<std::string> examples() {
    std::vector<std::string> names;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(ROBOSIM_SOURCE_DIR) + "/examples")) {
        if (entry.path().extension() == ".dat") {
            names.push_back(entry.path().filename().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

INSTANTIATE_TEST_SUITE_P(Examples, Layout, ::testing::ValuesIn(examples()),
                         [](const ::testing::TestParamInfo<std::string>& param_info) {
                             return param_info.param.substr(0, param_info.param.find('.'));
                         });

}  // namespace
