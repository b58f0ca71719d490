// platform/x_window.h: the program's one graphics window on the X display: the display
// check, the window with its event loop, its keys and its end
#pragma once

// what the window is and who draws into it and takes its keys
struct WindowSetup {
    int size;                                      // initial width and height (px)
    const char* caption;                           // UTF-8 title
    void (*display)();                             // draws the whole frame
    void (*reshape)(int width, int height);        // the window's new size (px)
    void (*key)(unsigned char key, int x, int y);  // one key press in the window
    void (*special)(int key, int x, int y);        // a key without a character (End, F1)
};

// the keys without a character that the window passes to WindowSetup::special
constexpr int WINDOW_KEY_F1 = 1;     // the window library's code of F1
constexpr int WINDOW_KEY_END = 107;  // the window library's code of End

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

// opens the window setup describes on the display of display_argument, registers its
// callbacks, sets the white clear colour and enters the event loop, which never returns; argc
// and argv go unchanged to the window library. The program ends with status 0 when another
// client destroys the window.
[[noreturn]] void run_window(int argc, char** argv, const WindowSetup& setup);

// calls callback(value) once, from the event loop, after ms milliseconds
void start_window_timer(unsigned ms, void (*callback)(int value), int value);

// asks the event loop to draw the window again as soon as it is idle: for a change made where
// no key handler draws it (the return from the console dialogs)
void request_redraw();

// forgets the key presses and releases sent to the window and not handled yet: keys typed
// into the window while a console dialog had the user's attention are not for the window
void drop_window_keys();

// closes the window and the connection to the display (freeing what the GL driver holds for
// them), then ends the process with status
[[noreturn]] void close_window_and_exit(int status);
