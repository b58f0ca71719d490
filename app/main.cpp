// robosim: the console program. Start-up asks its questions, walks the console dialogs and
// runs the first simulation; the graphics window takes over from there.
#include "app/startup.h"
#include "app/window.h"
#include "platform/console.h"
#include "platform/x_window.h"

#include <cstdio>

int main(int argc, char** argv) {
    // without a display the window could not open: say so before the first question
    if (const char* problem = display_problem(display_argument(argc, argv))) {
        std::fprintf(stderr, "robosim: %s\n", problem);
        return 1;
    }
    install_console();
    run_startup();
    open_window(argc, argv);
}
