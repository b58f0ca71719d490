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
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

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
constexpr unsigned WATCH_INTERVAL_MS = 100;  // between two looks at the held connection (ms)

// the errors of requests about a window that is gone, made as the program ends
static int ignore_x_error(Display*, XErrorEvent*) {
    return 0;
}

// ends the program, with status 0 as a close by the desktop, once another client has
// destroyed the window: nothing would be left to show or to take keys from
static void watch_window(int) {
    while (XPending(held_display) > 0) {
        XEvent event;
        XNextEvent(held_display, &event);
        if (event.type == DestroyNotify && event.xdestroywindow.window == watched_window) {
            // the window library destroys its window once more at exit; the X library's
            // default would end the program with status 1 for that request's error
            XSetErrorHandler(ignore_x_error);
            std::exit(0);
        }
    }
    glutTimerFunc(WATCH_INTERVAL_MS, watch_window, 0);
}

//------------------------------------------------------------------ start-up

const char* display_argument(int argc, char** argv) {
    const char* name = nullptr;
    // the window library takes the last one, as here
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-display") == 0) {
            name = i + 1 < argc ? argv[++i] : "";
        }
    }
    return name;
}

const char* display_problem(const char* display_name) {
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
    held_display = connect_display_patiently(display_argument(argc, argv));
    glutInitWindowSize(setup.size, setup.size);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGB | GLUT_DEPTH);
    glutCreateWindow(setup.caption);
    set_utf8_property("_NET_WM_NAME", setup.caption);
    set_utf8_property("_NET_WM_ICON_NAME", setup.caption);
    set_pid_property();
    watched_window = glXGetCurrentDrawable();
    if (held_display != nullptr && watched_window != 0) {
        XSelectInput(held_display, watched_window, StructureNotifyMask);
        XFlush(held_display);
        glutTimerFunc(WATCH_INTERVAL_MS, watch_window, 0);
    }

    glutDisplayFunc(setup.display);
    glutReshapeFunc(setup.reshape);
    glutKeyboardFunc(setup.key);
    if (setup.special != nullptr) {
        glutSpecialFunc(setup.special);
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

void start_window_timer(unsigned ms, void (*callback)(int value), int value) {
    const WindowSystemCall call;
    glutTimerFunc(ms, callback, value);
}

void request_redraw() {
    const WindowSystemCall call;
    glutPostRedisplay();
}

void drop_window_keys() {
    const WindowSystemCall call;
    Display* display = glXGetCurrentDisplay();
    if (display == nullptr) {
        return;
    }
    XSync(display, False);  // every key sent so far is in the connection's queue
    XEvent event;
    while (XCheckMaskEvent(display, KeyPressMask | KeyReleaseMask, &event)) {
    }
}
