// The size the window opens at on screens of every size.
#include "platform/x_window.h"

#include <gtest/gtest.h>

using namespace robosim;

// 800 where the screen shows it whole under its panels; a laptop's 1366 x 768 gets the largest
// square that fits; a tiny screen still gets a window whose text can be read
TEST(OpenWindowSize, FitsTheScreenButNeverBelowTheSmallest) {
    EXPECT_EQ(open_window_size(800, 1920, 1080), 800);
    EXPECT_EQ(open_window_size(800, 1366, 768), 768 - SCREEN_RESERVE);
    EXPECT_EQ(open_window_size(800, 768, 1366), 768 - SCREEN_RESERVE);
    EXPECT_EQ(open_window_size(800, 320, 240), MIN_OPEN_SIZE);
}
