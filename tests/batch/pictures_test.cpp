// The frame timing of the batch tool's animations: which samples become frames and how long
// each is shown, for sample intervals that are and are not whole hundredths of a second.
#include "batch/pictures.h"

#include "app/session.h"
#include "model/parameters.h"
#include "tests/support/program_test.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace robosim;

namespace {

struct TimingCase {
    double dt_sample;  // (s)
    int every;         // samples per frame
    int last;          // the run's last sample
};

class AnimationTiming : public ::testing::Test, public ::testing::WithParamInterface<TimingCase> {};

// Frames at 0, N, 2N, .. and the last sample; the delays add up to the simulated time of the
// run, to the hundredth, and no frame is off its own length by more than the one hundredth a
// GIF can resolve; the last frame is held for 2 s.
TEST_P(AnimationTiming, FramesKeepTheSimulatedPace) {
    const TimingCase& tc = GetParam();
    std::vector<int> samples;
    std::vector<int> delays;
    animation_timing(tc.every, tc.last, tc.dt_sample, &samples, &delays);

    ASSERT_EQ(samples.size(), delays.size());
    ASSERT_FALSE(samples.empty());
    EXPECT_EQ(samples.front(), 0);
    EXPECT_EQ(samples.back(), tc.last);
    const size_t expected_frames = static_cast<size_t>((tc.last + tc.every - 1) / tc.every) + 1;
    EXPECT_EQ(samples.size(), tc.last == 0 ? 1u : expected_frames);
    long total = 0;
    for (size_t i = 0; i < samples.size(); ++i) {
        if (i > 0) {
            EXPECT_GT(samples[i], samples[i - 1]);
            EXPECT_LE(samples[i] - samples[i - 1], tc.every);
        }
        if (i + 1 < samples.size()) {
            EXPECT_NEAR(delays[i], 100.0 * tc.dt_sample * (samples[i + 1] - samples[i]), 1.0)
                << "frame " << i;
            total += delays[i];
        }
    }
    EXPECT_EQ(total, std::lround(100.0 * tc.dt_sample * tc.last));
    EXPECT_EQ(delays.back(), 200);
}

INSTANTIATE_TEST_SUITE_P(, AnimationTiming,
                         ::testing::Values(TimingCase{0.02, 2, 200}, TimingCase{0.02, 3, 200},
                                           TimingCase{0.02, 1, 200}, TimingCase{0.02, 7, 200},
                                           TimingCase{0.015, 1, 200}, TimingCase{0.013, 5, 321},
                                           TimingCase{0.02, 250, 200}, TimingCase{0.02, 2, 0}));

}  // namespace
