// The off-screen drawable: an X window that is never mapped, with the frame buffer the graphics
// window asks the window library for. Only its back buffer is drawn into and read: a back
// buffer belongs wholly to its drawable, mapped or not, so every pixel of the frame is kept,
// and the same GL driver rasterises it as it does the window, pixel for pixel.
#include "platform/offscreen.h"

#include "platform/window_system.h"
#include "platform/x_connection.h"

#include <GL/freeglut.h>
#include <GL/gl.h>
#include <GL/glx.h>

#include <X11/Xlib.h>
#include <cstdio>
#include <cstring>
#include <vector>

namespace robosim {

//------------------------------------------------------------------ program-wide object
struct OffscreenView {
    Display* display;    // our connection, the one the GL context draws through
    Window window;       // the unmapped window
    Colormap colormap;   // its colour map (the visual's)
    GLXContext context;  // the GL context, current while the view is open
    int width, height;   // drawable size                                            (px)
    bool glut_ready;     // the window library is initialised (its bitmap fonts draw the text)
};

static OffscreenView offscreen = {};

//------------------------------------------------------------------ drawable

const char* open_offscreen_view(int width, int height) {
    static char problem[256];
    close_offscreen_view();
    const WindowSystemCall call;
    offscreen.display = connect_display_patiently(nullptr);
    if (offscreen.display == nullptr) {
        std::snprintf(problem, sizeof problem, "cannot open the X display");
        return problem;
    }
    // the window's frame buffer: RGBA, double-buffered, with depth, drawable as a window
    const int attributes[] = {GLX_RENDER_TYPE,
                              GLX_RGBA_BIT,
                              GLX_DRAWABLE_TYPE,
                              GLX_WINDOW_BIT,
                              GLX_DOUBLEBUFFER,
                              True,
                              GLX_RED_SIZE,
                              1,
                              GLX_GREEN_SIZE,
                              1,
                              GLX_BLUE_SIZE,
                              1,
                              GLX_DEPTH_SIZE,
                              1,
                              None};
    int count = 0;
    Display* d = offscreen.display;
    GLXFBConfig* configs = glXChooseFBConfig(d, DefaultScreen(d), attributes, &count);
    XVisualInfo* visual =
        configs != nullptr && count > 0 ? glXGetVisualFromFBConfig(d, configs[0]) : nullptr;
    if (visual == nullptr) {
        if (configs != nullptr) {
            XFree(configs);
        }
        close_offscreen_view();
        std::snprintf(problem, sizeof problem,
                      "the X display has no double-buffered RGB GL frame buffer with depth");
        return problem;
    }
    offscreen.colormap =
        XCreateColormap(d, RootWindow(d, visual->screen), visual->visual, AllocNone);
    XSetWindowAttributes wa = {};
    wa.colormap = offscreen.colormap;
    wa.border_pixel = 0;
    offscreen.window =
        XCreateWindow(d, RootWindow(d, visual->screen), 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, visual->depth, InputOutput, visual->visual,
                      CWColormap | CWBorderPixel, &wa);
    offscreen.context = glXCreateNewContext(d, configs[0], GLX_RGBA_TYPE, nullptr, True);
    XFree(visual);
    XFree(configs);
    if (offscreen.context == nullptr
        || !glXMakeContextCurrent(d, offscreen.window, offscreen.window, offscreen.context)) {
        close_offscreen_view();
        std::snprintf(problem, sizeof problem, "cannot make a GL context current on the display");
        return problem;
    }
    offscreen.width = width;
    offscreen.height = height;

    // the text is drawn with the window library's bitmap fonts, which want it initialised
    if (glutGet(GLUT_INIT_STATE) == 0) {
        int argc = 1;
        char name[] = "robosim-batch";
        char* argv[] = {name, nullptr};
        glutInit(&argc, argv);
    }
    offscreen.glut_ready = true;

    glDrawBuffer(GL_BACK);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    return nullptr;
}

void read_offscreen_rgb(unsigned char* rgb) {
    const int w = offscreen.width;
    const int h = offscreen.height;
    std::vector<unsigned char> rows(static_cast<size_t>(3) * w * h);
    {
        const WindowSystemCall call;
        glFinish();
        glReadBuffer(GL_BACK);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, w, h, GL_RGB, GL_UNSIGNED_BYTE, rows.data());
    }
    // the GL's first row is the bottom one
    const size_t line = static_cast<size_t>(3) * w;
    for (int r = 0; r < h; ++r) {
        std::memcpy(rgb + line * r, rows.data() + line * (h - 1 - r), line);
    }
}

void close_offscreen_view() {
    const WindowSystemCall call;
    Display* d = offscreen.display;
    if (d != nullptr) {
        glXMakeContextCurrent(d, None, None, nullptr);
        if (offscreen.context != nullptr) {
            glXDestroyContext(d, offscreen.context);
        }
        if (offscreen.window != 0) {
            XDestroyWindow(d, offscreen.window);
        }
        if (offscreen.colormap != 0) {
            XFreeColormap(d, offscreen.colormap);
        }
        XCloseDisplay(d);
    }
    if (offscreen.glut_ready) {
        glutExit();
    }
    offscreen = {};
}

}  // namespace robosim
