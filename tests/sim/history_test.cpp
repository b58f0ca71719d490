// Where a run's numbers stop being numbers.
#include "sim/history.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using namespace robosim;

// a value that turned infinite at the last sample of a run is found there, and beyond the run
// nothing is looked at
TEST(FirstDivergence, ReachesTheLastSampleAndNoFurther) {
    const auto h = std::make_unique<HistorySet>();
    h->tau_gravity[200][1] = std::numeric_limits<double>::infinity();
    EXPECT_EQ(first_divergence(h.get(), 200).sample, 200);
    EXPECT_EQ(first_divergence(h.get(), 199).sample, -1);
}
