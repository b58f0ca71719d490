// platform/offscreen.h: the window's frames without a window on the screen, for pictures and
// animations written to files
#pragma once

namespace robosim {

//------------------------------------------------------------------ drawable
// Connects to the X display and makes current a GL drawable of width x height pixels with the
// window's kind of frame buffer (double-buffered RGB with depth), on a window that is never
// mapped, so nothing shows on the desktop. Sets up the window library's fonts for the text,
// the white clear colour and lines one pixel wide. Returns nullptr when the drawable is ready,
// otherwise one line saying what is missing.
const char* open_offscreen_view(int width, int height);

// the pixels drawn into the back buffer so far, 3 bytes (R, G, B) each, top row first as
// picture files store them; rgb holds width * height * 3 bytes of the open drawable
void read_offscreen_rgb(unsigned char* rgb);

// releases the drawable, its GL context and the display connections
void close_offscreen_view();

}  // namespace robosim
