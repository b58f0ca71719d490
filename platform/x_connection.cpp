// Connections to the X display. The retry covers the reset of a server whose last client has
// just left; the loss handler replaces Xlib's default, which prints "XIO: fatal IO error" and
// exits with status 1 whatever the program had already finished.
#include "platform/x_connection.h"

#include "platform/window_system.h"

#include <unistd.h>

namespace robosim {

constexpr int CONNECT_ATTEMPTS = 10;            // connection attempts           (-)
constexpr useconds_t CONNECT_RETRY_US = 50000;  // pause between two attempts  (us)

Display* connect_display_patiently(const char* name) {
    const WindowSystemCall call;
    for (int attempt = 1;; ++attempt) {
        Display* display = XOpenDisplay(name);
        if (display != nullptr || attempt == CONNECT_ATTEMPTS) {
            return display;
        }
        usleep(CONNECT_RETRY_US);
    }
}

static void (*display_lost_handler)() = nullptr;

static int on_io_error(Display*) {
    if (display_lost_handler != nullptr) {
        display_lost_handler();
    }
    _exit(1);  // Xlib ends the process if this returns; say nothing more than it would
}

void on_display_lost(void (*handler)()) {
    display_lost_handler = handler;
    XSetIOErrorHandler(on_io_error);
}

}  // namespace robosim
