// robosim: entry point. For now it prepares the model of the default experiment and says that
// the console dialogs and the window are still to come.
#include "app/console.h"
#include "model/console_io.h"
#include "model/derive.h"
#include "model/parameters.h"

#include <cstdio>

int main() {
    install_console();
    set_defaults();
    update_derived();
    console_print("\n\nロボットの制御シミュレーション\n");
    std::fprintf(stderr, "robosim: the model and motion planning are ready; the console dialogs "
                         "and the graphics window are not built yet.\n");
    return 0;
}
