// platform/web/web_window.h: what the page's window adds to the platform's window: the sample
// each frame shows, for the page's script, and the input functions that script calls
#pragma once

namespace robosim {

// sample() tells the sample of the scene a frame shows; asked as each frame is shown, so that
// the page reads the sample of the very frame on the canvas (robosim_window_sample)
void set_window_sample_source(int (*sample)());

}  // namespace robosim

// exported to the page's script; characters and codes as WindowSetup::key and ::special take
// them, the pointer's kind as PointerEvent::Kind, (x, y) canvas pixels from the top left
extern "C" {
void robosim_window_key(int character);
void robosim_window_special(int key);
void robosim_window_pointer(int kind, int x, int y);
int robosim_window_sample(void);  // the sample of the frame last shown
}
