// app/window.h: the graphics window: the display check, opening the window and its reshape
#pragma once

//------------------------------------------------------------------ constants
constexpr int WINDOW_SIZE = 800;  // initial width and height of the window (px)

// the window caption: a one-line summary of the key commands
extern const char WINDOW_CAPTION[];

//------------------------------------------------------------------ start-up
// the display named by the window library's argument "-display NAME" among the program's
// words (the last one, as the library takes it; "" when no name follows), nullptr without
// one; argv is left as it is, for the library
const char* display_argument(int argc, char** argv);

// nullptr when the X display display_name (nullptr: the DISPLAY variable's) has a
// double-buffered RGB visual with depth to open the window on; otherwise one line saying what
// is missing. Asks the X server and closes again at once, so the program can stop before its
// first question rather than after the dialogs.
const char* display_problem(const char* display_name = nullptr);

// opens the 800 x 800 window with the caption on the display of display_argument, registers
// display_frame, on_reshape and on_key, sets the white clear colour and enters the event
// loop, which never returns; argc and argv go unchanged to the window library. The program
// ends with status 0 when another client destroys the window.
[[noreturn]] void open_window(int argc, char** argv);

// forgets the key presses and releases sent to the window and not handled yet: keys typed
// into the window while a console dialog had the user's attention are not for the window
void drop_window_keys();

// closes the window and the connection to the display (freeing what the GL driver holds for
// them), then ends the process with status
[[noreturn]] void close_window_and_exit(int status);

//------------------------------------------------------------------ callbacks
// the viewport covers the whole window and the projection is the identity: every view draws
// in the square -1 .. 1, stretched over the window (not letter-boxed)
void on_reshape(int width, int height);
