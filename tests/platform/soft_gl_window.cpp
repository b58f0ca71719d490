// The window of the software GL's pictures on the desktop: the frame buffer is the picture,
// so a finished frame has nothing to trade places with.
#include "platform/x_window.h"

namespace robosim {

void swap_window_buffers() {}

}  // namespace robosim
