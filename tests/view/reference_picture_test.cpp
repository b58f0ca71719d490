// Whole frames of two reference runs compared with the pictures in docs/images, which the
// README shows. After a deliberate change of the picture, rewrite them with
//   ROBOSIM_WRITE_REFERENCE=1 build/tests/view_tests --gtest_filter='ReferencePictures*'
// (under xvfb-run) and look at them before committing.
#include "app/session.h"
#include "model/parameters.h"
#include "sim/run.h"
#include "tests/support/scenarios.h"
#include "tests/view/view_fixture.h"
#include "view/frame.h"
#include "view/view_state.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

using namespace robosim;

namespace {

struct ReferenceCase {
    const char* file;  // under docs/images
    int robot_type, motion, cp;
    int sample;  // animation index shown
};

class ReferencePictures : public ViewTest, public ::testing::WithParamInterface<ReferenceCase> {};

void PrintTo(const ReferenceCase& rc, std::ostream* os) {
    *os << rc.file;
}

// Pixels may differ where another build of the software rasteriser places a line end one
// pixel over; 200 such pixels of 640 000 are allowed. A lost marker, curve segment run or
// label moves far more.
constexpr int ALLOWED_DIFFERING_PIXELS = 200;
constexpr int CHANNEL_TOLERANCE = 64;  // a pixel differs when a channel moves by more (0..255)

TEST_P(ReferencePictures, FrameMatchesTheReference) {
    const ReferenceCase& rc = GetParam();
    simulate_scenario(rc.robot_type, rc.motion, rc.cp);
    view_state.anim_index = rc.sample;
    compose_frame(current_scene());
    const Picture frame = read_back_buffer();

    const std::string path = std::string(ROBOSIM_SOURCE_DIR) + "/docs/images/" + rc.file;
    if (std::getenv("ROBOSIM_WRITE_REFERENCE") != nullptr) {
        ASSERT_TRUE(save_png(frame, path)) << path;
    }
    const Picture reference = load_png(path);
    ASSERT_EQ(reference.width, frame.width) << path;
    ASSERT_EQ(reference.height, frame.height) << path;
    int differing = 0;
    for (size_t i = 0; i + 2 < frame.rgb.size(); i += 3) {
        bool differs = false;
        for (size_t c = 0; c < 3; ++c) {
            differs =
                differs || std::abs(frame.rgb[i + c] - reference.rgb[i + c]) > CHANNEL_TOLERANCE;
        }
        differing += differs ? 1 : 0;
    }
    EXPECT_LE(differing, ALLOWED_DIFFERING_PIXELS) << "against " << path;
}

INSTANTIATE_TEST_SUITE_P(
    , ReferencePictures,
    ::testing::Values(ReferenceCase{"scara_sine_200.png", 'b', 'c', 4, 200},
                      ReferenceCase{"cylindrical_ptp_trapezoid_100.png", 'a', 'p', 0, 100}),
    [](const ::testing::TestParamInfo<ReferenceCase>& param_info) {
        return std::string(param_info.param.robot_type == 'b' ? "ScaraSine" : "CylindricalPtp");
    });

}  // namespace
