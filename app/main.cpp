// robosim: the console program. Start-up asks its questions, walks the console dialogs and
// runs the first simulation; the graphics window takes over from there.
#include "app/session.h"
#include "app/startup.h"
#include "app/window.h"
#include "platform/console.h"
#include "platform/x_window.h"
#include "view/frame.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

using namespace robosim;

static const char USAGE[] =
    "usage: robosim [FILE.dat] [-display NAME] [-geometry WxH+X+Y] [--help]";

static const char HELP_HEAD[] =
    "robosim: the robot control simulator. It asks on the console for the experiment (a\n"
    "robot data file, or robot, motion and CP path by single keys, then the chain of\n"
    "dialogs), simulates 4 s of closed-loop motion and shows the robot and its graphs in a\n"
    "window. Keys typed in the window and its mouse (? or F1 there shows them too):\n"
    "\n";

static const char HELP_TAIL[] =
    "\n"
    "  FILE.dat       start with this robot data file read, as if 'y' and its name were\n"
    "                 answered\n"
    "  -display NAME  the X display of the window (as the X toolkit takes it)\n"
    "  --help         show this text\n"
    "\n"
    "Console answers: y/z/n questions and selectors are single keys without Enter and\n"
    "without echo; numbers and file names are typed and ended with Enter. See\n"
    "docs/console.md.\n";

// the options the window library takes, with whether each is followed by a value
struct WindowOption {
    const char* name;
    bool has_value;
};

// robosim's own arguments out of argv: the data file and --help; the window library's options
// stay in window_args. Returns 0 to go on, or the exit status with the reason said.
static int read_arguments(int argc, char** argv, const char** data_file, bool* help,
                          std::vector<char*>* window_args) {
    const WindowOption library_options[] = {
        {"-display", true},   {"-geometry", true}, {"-iconic", false}, {"-direct", false},
        {"-indirect", false}, {"-gldebug", false}, {"-sync", false},
    };
    window_args->push_back(argv[0]);
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            *help = true;
            continue;
        }
        const WindowOption* option = nullptr;
        for (const WindowOption& w : library_options) {
            if (std::strcmp(arg, w.name) == 0) {
                option = &w;
            }
        }
        if (option != nullptr) {
            if (option->has_value && i + 1 >= argc) {
                std::fprintf(stderr, "robosim: %s must be followed by its value; %s\n", arg, USAGE);
                return 2;
            }
            window_args->push_back(argv[i]);
            if (option->has_value) {
                window_args->push_back(argv[++i]);
            }
            continue;
        }
        if (arg[0] == '-' || arg[0] == '\0' || *data_file != nullptr) {
            std::fprintf(stderr, "robosim: %s '%s'; %s\n",
                         *data_file != nullptr && arg[0] != '-' ? "more than one data file"
                                                                : "unknown argument",
                         arg, USAGE);
            return 2;
        }
        *data_file = arg;
    }
    window_args->push_back(nullptr);
    return 0;
}

int main(int argc, char** argv) {
    const char* data_file = nullptr;
    bool help = false;
    std::vector<char*> window_args;
    if (const int status = read_arguments(argc, argv, &data_file, &help, &window_args)) {
        return status;
    }
    if (help) {
        std::printf("%s\n\n%s", USAGE, HELP_HEAD);
        for (int i = 0; i < WINDOW_KEY_HELP_COUNT; ++i) {
            std::printf("  %-14s %s\n", WINDOW_KEY_HELP[i].keys, WINDOW_KEY_HELP[i].what);
        }
        std::fputs(HELP_TAIL, stdout);
        if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
            std::fprintf(stderr, "robosim: cannot write the help: %s\n", std::strerror(errno));
            return 1;
        }
        return 0;
    }
    int window_argc = static_cast<int>(window_args.size()) - 1;
    // A window that could not open would fail only after the dialogs, with an X error: the
    // display, the GL rendering asked for and the window's place are checked before the first
    // question.
    const WindowOptions options = window_options(window_argc, window_args.data());
    int screen_width = 0;
    int screen_height = 0;
    if (const char* problem =
            display_problem(options.display, options.rendering, &screen_width, &screen_height)) {
        std::fprintf(stderr, "robosim: %s\n", problem);
        return 1;
    }
    WindowPlace place = {};
    if (const char* problem = options.geometry == nullptr
                                  ? nullptr
                                  : place_window(options.geometry, WINDOW_SIZE, screen_width,
                                                 screen_height, &place)) {
        std::fprintf(stderr, "robosim: %s; %s\n", problem, USAGE);
        return 2;
    }
    // a file grown past the size limit (ulimit -f) fails its write, which 'o' reports, rather
    // than ending the program and the experiment not saved with it; as in robosim-batch
    std::signal(SIGXFSZ, SIG_IGN);
    install_console();
    Session session;  // the program's state from here to its end, handed to all that use it
    run_startup(session, data_file);
    open_window(session, window_argc, window_args.data());
}
