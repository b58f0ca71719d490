// platform/x_window.h: the program's one graphics window on the X display: the display
// check, the window with its event loop, its keys and its end
#pragma once

namespace robosim {

// the left mouse button in the window: pressed, moved while held, or released at the pixel
// (x, y) counted from the window's top left, in a window of width x height pixels at the time
struct PointerEvent {
    enum Kind { press, drag, release } kind;

    int x, y;           // (px)
    int width, height;  // (px)
};

// what the window is and who draws into it and takes its keys
struct WindowSetup {
    int size;                                      // initial width and height (px)
    const char* caption;                           // UTF-8 title
    void (*display)();                             // draws the whole frame
    void (*reshape)(int width, int height);        // the window's new size (px)
    void (*key)(unsigned char key, int x, int y);  // one key press in the window
    void (*special)(int key, int x, int y);        // a key without a character (End, F1)
    void (*pointer)(const PointerEvent& event);    // the left mouse button; nullptr: none
};

// the keys without a character that the window passes to WindowSetup::special
constexpr int WINDOW_KEY_F1 = 1;     // the window library's code of F1
constexpr int WINDOW_KEY_END = 107;  // the window library's code of End

//------------------------------------------------------------------ start-up
// the window library's options among the program's words, as the library takes them (the
// last of each); argv is left as it is, for the library
struct WindowOptions {
    const char* display;   // -display NAME; nullptr without, "" when no name follows
    const char* geometry;  // -geometry WIDTHxHEIGHT+X+Y; nullptr without, "" when none follows
    int rendering;         // -direct: 1, -indirect: -1, neither: 0
};

WindowOptions window_options(int argc, char** argv);

// the largest window side drawn (px): the GL drivers' largest viewport
constexpr int MAX_WINDOW_SIDE = 16384;

// where the window goes on the screen
struct WindowPlace {
    int width, height;  // size (px)
    int x, y;           // top left corner on the screen (px), when has_position
    bool has_position;  // the geometry names a position; else the desktop places the window
};

// the side of the square window robosim opens with: size, or the largest square a screen of
// screen_width x screen_height pixels shows whole under its panels and the window's title bar
// (SCREEN_RESERVE pixels of its smaller side), but never below MIN_OPEN_SIZE
constexpr int SCREEN_RESERVE = 96;  // (px)
constexpr int MIN_OPEN_SIZE = 300;  // (px)
int open_window_size(int size, int screen_width, int screen_height);

// The place -geometry asks for, read as X programs read it (XParseGeometry): a size or a
// position may be left out (the size is then default_size), and -X, -Y count from the right
// and bottom edges. nullptr with place filled in, or one line saying why no window can be
// opened there: no geometry at all, a side of 0 or beyond MAX_WINDOW_SIDE, or a position that
// puts the window wholly off the screen_width x screen_height screen.
const char* place_window(const char* geometry, int default_size, int screen_width,
                         int screen_height, WindowPlace* place);

// nullptr when the X display display_name (nullptr: the DISPLAY variable's) has a
// double-buffered RGB visual with depth to open the window on, and GL rendering of the kind
// asked for (rendering as in WindowOptions); otherwise one line saying what is missing. Asks
// the X server and closes again at once, so the program can stop before its first question
// rather than after the dialogs. The screen's size (px) goes to screen_width and
// screen_height when given and the display could be opened.
const char* display_problem(const char* display_name = nullptr, int rendering = 0,
                            int* screen_width = nullptr, int* screen_height = nullptr);

// opens the window setup describes on the display of window_options, at the place of its
// -geometry, registers its callbacks, sets the white clear colour and enters the event loop, which
// never returns; argc and argv go unchanged to the window library. The program ends with status 0
// when another client destroys the window.
[[noreturn]] void run_window(int argc, char** argv, const WindowSetup& setup);

// false once another client has destroyed the window: nothing may be drawn any more, and the
// event loop ends the program with status 0 at its next look
bool window_is_open();

// calls callback(value) once, from the event loop, after ms milliseconds
void start_window_timer(unsigned ms, void (*callback)(int value), int value);

// asks the event loop to draw the window again as soon as it is idle: for a change made where
// no key handler draws it (the return from the console dialogs)
void request_redraw();

// shows the frame drawn into the window's back buffer: the buffers trade places
void swap_window_buffers();

// forgets the key presses and releases, and the mouse buttons and moves, sent to the window and
// not handled yet: what was typed or clicked into the window while a console dialog had the
// user's attention is not for the window
void drop_window_keys();

// closes the window and the connection to the display (freeing what the GL driver holds for
// them), then ends the process with status
[[noreturn]] void close_window_and_exit(int status);

}  // namespace robosim
