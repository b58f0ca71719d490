// The program's graphics window: freeglut with a double-buffered RGB visual and a depth buffer. The
// caption is set twice: once through the window library (which hands it to X as a Latin-1
// STRING) and once as the UTF-8 _NET_WM_NAME, which desktops show, so that the Japanese text
// reads correctly.
//
// One display serves the whole program: the one named by the window library's -display
// argument, else the DISPLAY variable's. The check before the first question, the connection
// held to the end and the window all use it. That held connection also watches the window, so
// that the program ends when another client destroys it (the window library takes no notice).
#include "platform/x_window.h"

#include "platform/window_system.h"
#include "platform/x_connection.h"

#include <GL/freeglut.h>
#include <GL/glx.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

namespace robosim {

static_assert(WINDOW_KEY_F1 == GLUT_KEY_F1 && WINDOW_KEY_END == GLUT_KEY_END,
              "the special key codes are the window library's");

//------------------------------------------------------------------ helpers

// sets a UTF8_STRING property of the current GLX window (freeglut makes a new window current)
static void set_utf8_property(const char* name, const char* text) {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
        return;  // no current window: the library's own title stays
    }
    const Atom property = XInternAtom(display, name, False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    XChangeProperty(display, window, property, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(text),
                    static_cast<int>(std::strlen(text)));
    XFlush(display);
}

// tells the desktop which process owns the window (_NET_WM_PID), as the window library does not
static void set_pid_property() {
    Display* display = glXGetCurrentDisplay();
    const GLXDrawable window = glXGetCurrentDrawable();
    if (display == nullptr || window == 0) {
        return;
    }
    const long pid = static_cast<long>(getpid());  // format 32 properties are passed as long
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
    XFlush(display);
}

// The connection held from the window's opening to the end, and the window it watches for
// its destruction; looked at by a timer of the event loop, on the loop's own thread.
static Display* held_display = nullptr;
static Window watched_window = 0;
static bool window_destroyed = false;        // another client destroyed the window
constexpr unsigned WATCH_INTERVAL_MS = 100;  // between two looks at the held connection (ms)

static XErrorHandler reporting_x_error = nullptr;  // the X library's own report and exit

// the errors of requests about a window that is gone, made as the program ends
static int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

// A request about the window made after another client destroyed it, before the watch has
// seen the destruction, fails with BadDrawable or BadWindow: a tick of the playback timer may
// draw in that moment, and the GL driver then asks the window's size and puts the picture into
// it. That is no fault of the program but the window's end, which the watch turns into the
// program's end. Every other error is reported as the X library reports it.
static int on_x_error(Display* display, XErrorEvent* error) {
    if (watched_window != 0 && error->resourceid == watched_window
        && (error->error_code == BadDrawable || error->error_code == BadWindow)) {
        window_destroyed = true;
        return 0;
    }
    return reporting_x_error(display, error);
}

// takes the events of the held connection: whether the window was destroyed
static bool window_was_destroyed() {
    while (!window_destroyed && held_display != nullptr && XPending(held_display) > 0) {
        XEvent event;
        XNextEvent(held_display, &event);
        window_destroyed =
            event.type == DestroyNotify && event.xdestroywindow.window == watched_window;
    }
    return window_destroyed;
}

// ends the program, with status 0 as a close by the desktop, once another client has
// destroyed the window: nothing would be left to show or to take keys from
static void watch_window(int) {
    if (window_was_destroyed()) {
        // the window library destroys its window once more at exit; the X library's
        // default would end the program with status 1 for that request's error
        XSetErrorHandler(ignore_x_error);
        std::exit(0);
    }
    glutTimerFunc(WATCH_INTERVAL_MS, watch_window, 0);
}

// the display callback, which has nothing to draw into once the window is gone
static void (*draw_frame)() = nullptr;

static void display_if_open() {
    if (window_is_open()) {
        draw_frame();
    }
}

// the pointer callback, and whether the left button is held in the window: a move while it is
// held is a drag, any other move no event
static void (*pointer_event)(const PointerEvent& event) = nullptr;
static bool left_button_held = false;

static void send_pointer(PointerEvent::Kind kind, int x, int y) {
    pointer_event({kind, x, y, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT)});
}

static void on_mouse_button(int button, int state, int x, int y) {
    if (button != GLUT_LEFT_BUTTON) {
        return;
    }
    left_button_held = state == GLUT_DOWN;
    send_pointer(left_button_held ? PointerEvent::press : PointerEvent::release, x, y);
}

static void on_mouse_motion(int x, int y) {
    if (left_button_held) {
        send_pointer(PointerEvent::drag, x, y);
    }
}

//------------------------------------------------------------------ start-up

WindowOptions window_options(int argc, char** argv) {
    WindowOptions options = {nullptr, nullptr, 0};
    // the window library takes the last of each, as here
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) {
            options.display = i + 1 < argc ? argv[++i] : "";
        } else if (std::strcmp(argv[i], "-geometry") == 0) {
            options.geometry = i + 1 < argc ? argv[++i] : "";
        } else if (std::strcmp(argv[i], "-direct") == 0) {
            options.rendering = 1;
        } else if (std::strcmp(argv[i], "-indirect") == 0) {
            options.rendering = -1;
        }
    }
    return options;
}

int open_window_size(int size, int screen_width, int screen_height) {
    const int room = std::min(screen_width, screen_height) - SCREEN_RESERVE;
    return std::max(std::min(size, room), std::min(size, MIN_OPEN_SIZE));
}

const char* place_window(const char* geometry, int default_size, int screen_width,
                         int screen_height, WindowPlace* place) {
    static char problem[256];
    int x = 0;
    int y = 0;
    unsigned width = 0;
    unsigned height = 0;
    // the window library reads the option with this very function
    const int mask = XParseGeometry(geometry, &x, &y, &width, &height);
    if (mask == NoValue) {
        std::snprintf(problem, sizeof problem,
                      "-geometry \"%s\" is no window geometry (WIDTHxHEIGHT+X+Y, e.g. 800x800+0+0)",
                      geometry);
        return problem;
    }
    // a part left out keeps robosim's own size, as an X program's -geometry does
    place->width = (mask & WidthValue) != 0 ? static_cast<int>(width) : default_size;
    place->height = (mask & HeightValue) != 0 ? static_cast<int>(height) : default_size;
    if (place->width < 1 || place->height < 1 || place->width > MAX_WINDOW_SIDE
        || place->height > MAX_WINDOW_SIDE) {
        std::snprintf(problem, sizeof problem,
                      "-geometry \"%s\": a window of %d x %d pixels cannot be drawn (each side 1 "
                      "to %d)",
                      geometry, place->width, place->height, MAX_WINDOW_SIDE);
        return problem;
    }
    place->has_position = (mask & (XValue | YValue)) != 0;
    // -X and -Y count from the right and the bottom edge of the screen (wide, so that no
    // offset of the option overflows)
    const long long left = (mask & XNegative) != 0 ? 0LL + screen_width - place->width + x : x;
    const long long top = (mask & YNegative) != 0 ? 0LL + screen_height - place->height + y : y;
    if (place->has_position
        && (left >= screen_width || left + place->width <= 0 || top >= screen_height
            || top + place->height <= 0)) {
        std::snprintf(problem, sizeof problem,
                      "-geometry \"%s\" puts the window wholly off the %d x %d screen", geometry,
                      screen_width, screen_height);
        return problem;
    }
    place->x = place->has_position ? static_cast<int>(left) : 0;
    place->y = place->has_position ? static_cast<int>(top) : 0;
    return nullptr;
}

// a request of the rendering check failed
static bool rendering_refused = false;

static int note_refused_request(Display*, XErrorEvent*) {
    rendering_refused = true;
    return 0;
}

// whether a GL context of the kind -direct (rendering > 0) or -indirect (< 0) asks for can be
// had on visual: the window library ends the program with an X error where it cannot. Servers
// refuse indirect rendering unless started to allow it (+iglx); a client library without a
// driver for the display gives no direct rendering.
static bool rendering_available(Display* display, XVisualInfo* visual, int rendering) {
    if (rendering == 0) {
        return true;
    }
    rendering_refused = false;
    const XErrorHandler previous = XSetErrorHandler(note_refused_request);
    const GLXContext context = glXCreateContext(display, visual, nullptr, rendering > 0);
    XSync(display, False);
    const bool available = context != nullptr && !rendering_refused
                           && (glXIsDirect(display, context) != 0) == (rendering > 0);
    if (context != nullptr) {
        glXDestroyContext(display, context);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    return available;
}

const char* display_problem(const char* display_name, int rendering, int* screen_width,
                            int* screen_height) {
    const WindowSystemCall call;
    static char problem[256];
    if (display_name != nullptr && display_name[0] == '\0') {
        return "-display must be followed by the name of an X display";
    }
    const char* name = display_name != nullptr ? display_name : std::getenv("DISPLAY");
    Display* display = connect_display_patiently(display_name);
    if (display == nullptr) {
        std::snprintf(problem, sizeof problem,
                      "cannot open the X display \"%s\"; the graphics window needs one (set "
                      "DISPLAY, or run under xvfb-run)",
                      name != nullptr ? name : "");
        return problem;
    }
    if (screen_width != nullptr && screen_height != nullptr) {
        *screen_width = DisplayWidth(display, DefaultScreen(display));
        *screen_height = DisplayHeight(display, DefaultScreen(display));
    }
    int error_base = 0;
    int event_base = 0;
    int visual_attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 1, None};
    const char* result = nullptr;
    if (!glXQueryExtension(display, &error_base, &event_base)) {
        std::snprintf(problem, sizeof problem,
                      "the X display \"%s\" has no OpenGL (GLX); the graphics window needs it",
                      name != nullptr ? name : "");
        result = problem;
    } else {
        XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), visual_attributes);
        if (visual == nullptr) {
            std::snprintf(problem, sizeof problem,
                          "the X display \"%s\" has no double-buffered RGB visual with depth "
                          "for the graphics window",
                          name != nullptr ? name : "");
            result = problem;
        } else {
            if (!rendering_available(display, visual, rendering)) {
                std::snprintf(problem, sizeof problem,
                              "the X display \"%s\" gives no %s OpenGL rendering, which %s asks "
                              "for",
                              name != nullptr ? name : "", rendering > 0 ? "direct" : "indirect",
                              rendering > 0 ? "-direct" : "-indirect");
                result = problem;
            }
            XFree(visual);
        }
    }
    XCloseDisplay(display);
    return result;
}

void run_window(int argc, char** argv, const WindowSetup& setup) {
    // the event loop too: its callbacks that run robosim's own code say so (OwnCode)
    const WindowSystemCall call;
    // a connection of our own, held to the end, keeps a virtual server that has just lost its
    // last client from resetting under the window library's own connection
    const WindowOptions options = window_options(argc, argv);
    held_display = connect_display_patiently(options.display);
    // a laptop's screen may be smaller than the window: it opens as a square that fits
    const int size =
        held_display == nullptr
            ? setup.size
            : open_window_size(setup.size, DisplayWidth(held_display, DefaultScreen(held_display)),
                               DisplayHeight(held_display, DefaultScreen(held_display)));
    glutInitWindowSize(size, size);
    glutInit(&argc, argv);
    // The window library leaves the size at 0 x 0 (an X error) when -geometry names only a
    // position, and places -X-Y by that size: the place as an X program takes it, checked
    // before the first question, replaces the library's reading.
    WindowPlace place = {};
    if (options.geometry != nullptr && held_display != nullptr
        && place_window(options.geometry, size,
                        DisplayWidth(held_display, DefaultScreen(held_display)),
                        DisplayHeight(held_display, DefaultScreen(held_display)), &place)
               == nullptr) {
        glutInitWindowSize(place.width, place.height);
        if (place.has_position) {
            glutInitWindowPosition(place.x, place.y);
        }
    }
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutCreateWindow(setup.caption);
    set_utf8_property("_NET_WM_NAME", setup.caption);
    set_utf8_property("_NET_WM_ICON_NAME", setup.caption);
    set_pid_property();
    watched_window = glXGetCurrentDrawable();
    reporting_x_error = XSetErrorHandler(on_x_error);
    if (held_display != nullptr && watched_window != 0) {
        XSelectInput(held_display, watched_window, StructureNotifyMask);
        XFlush(held_display);
        glutTimerFunc(WATCH_INTERVAL_MS, watch_window, 0);
    }

    draw_frame = setup.display;
    glutDisplayFunc(display_if_open);
    glutReshapeFunc(setup.reshape);
    glutKeyboardFunc(setup.key);
    if (setup.special != nullptr) {
        glutSpecialFunc(setup.special);
    }
    if (setup.pointer != nullptr) {
        pointer_event = setup.pointer;
        glutMouseFunc(on_mouse_button);
        glutMotionFunc(on_mouse_motion);
    }
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    glutMainLoop();
    std::exit(0);  // the loop returns only when the window library is told to leave it
}

void close_window_and_exit(int status) {
    {
        const WindowSystemCall call;
        glutExit();
    }
    std::exit(status);
}

bool window_is_open() {
    const WindowSystemCall call;
    return !window_was_destroyed();
}

void start_window_timer(unsigned ms, void (*callback)(int value), int value) {
    const WindowSystemCall call;
    glutTimerFunc(ms, callback, value);
}

void request_redraw() {
    const WindowSystemCall call;
    glutPostRedisplay();
}

void swap_window_buffers() {
    const WindowSystemCall call;
    glutSwapBuffers();
}

void drop_window_keys() {
    const WindowSystemCall call;
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) {
        return;
    }
    XSync(display, False);  // every key sent so far is in the connection's queue
    XEvent event;
    const long dropped = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask
                         | PointerMotionMask | ButtonMotionMask;
    while (XCheckMaskEvent(display, dropped, &event)) {
    }
    left_button_held = false;  // its release may have been among them
}

}  // namespace robosim
