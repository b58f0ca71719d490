// app/window.h: the graphics window: the display check, opening the window and its reshape
#pragma once

//------------------------------------------------------------------ constants
constexpr int WINDOW_SIZE = 800;  // initial width and height of the window (px)

// the window caption: a one-line summary of the key commands
extern const char WINDOW_CAPTION[];

//------------------------------------------------------------------ start-up
// nullptr when an X display with a double-buffered RGB visual with depth is there to open the
// window on; otherwise one line saying what is missing. Asks the X server and closes again at
// once, so the program can stop before its first question rather than after the dialogs.
const char* display_problem();

// opens the 800 x 800 window with the caption, registers display_frame, on_reshape and
// on_key, sets the white clear colour and enters the event loop, which never returns;
// argc and argv go unchanged to the window library
[[noreturn]] void open_window(int argc, char** argv);

// closes the window and the connection to the display (freeing what the GL driver holds for
// them), then ends the process with status
[[noreturn]] void close_window_and_exit(int status);

//------------------------------------------------------------------ callbacks
// the viewport covers the whole window and the projection is the identity: every view draws
// in the square -1 .. 1, stretched over the window (not letter-boxed)
void on_reshape(int width, int height);
