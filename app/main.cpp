// robosim: the console program. Start-up asks its questions, walks the console dialogs and
// runs the first simulation; the graphics window takes over from there.
#include "app/console.h"
#include "app/startup.h"

int main([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
    install_console();
    run_startup();
    return 0;
}
