// tests/view/x_display.h: X displays for the window tests. `make test` runs them under
// xvfb-run, which sets DISPLAY; a test process started without one gets a private Xvfb. The
// end-to-end tests always take a private Xvfb, so that windows of tests running side by side
// never cover each other.
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

// Xvfb with a 1280 x 1024 screen on display :number, if that is free; "" otherwise. The server
// reports its display number on a pipe once it accepts clients, or exits if the number is taken.
// resetting: the server restarts whenever its last client leaves, as a plain Xvfb does
inline std::string start_xvfb_on(int number, pid_t* pid, bool resetting = false) {
    int fds[2];
    if (pipe(fds) != 0) {
        return "";
    }
    *pid = fork();
    if (*pid == 0) {
        close(fds[0]);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 1);
        dup2(null_fd, 2);  // a taken display number is no news
        const std::string display = ":" + std::to_string(number);
        const std::string fd = std::to_string(fds[1]);
        // -noreset: the server must not restart whenever its last client leaves, or a program
        // connecting just as a probe (xdotool, xwd) disconnects would be refused
        execlp("Xvfb", "Xvfb", display.c_str(), "-displayfd", fd.c_str(), "-screen", "0",
               "1280x1024x24", "-nolisten", "tcp", resetting ? "-reset" : "-noreset",
               static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (*pid < 0) {
        close(fds[0]);
        *pid = 0;
        return "";
    }
    std::string reported;
    pollfd p = {fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char ch = 0;
        if (read(fds[0], &ch, 1) != 1 || ch == '\n') {
            break;
        }
        reported += ch;
    }
    close(fds[0]);
    if (reported != std::to_string(number)) {
        kill(*pid, SIGTERM);
        waitpid(*pid, nullptr, 0);
        *pid = 0;
        return "";
    }
    return ":" + std::to_string(number);
}

// a private Xvfb on a display number of its own: numbers are drawn from 200 .. 899, away from
// the low numbers desktops and other servers take, so that no client of a server that has
// just ended can reach a new one by its number; returns ":N" and sets *pid, or ""
inline std::string start_xvfb(pid_t* pid, bool resetting = false) {
    static unsigned next = static_cast<unsigned>(getpid()) * 7919u;
    for (int attempt = 0; attempt < 40; ++attempt) {
        next = next * 1103515245u + 12345u;
        const int number = 200 + static_cast<int>((next >> 8) % 700u);
        const std::string display = start_xvfb_on(number, pid, resetting);
        if (!display.empty()) {
            return display;
        }
    }
    return "";
}

inline void stop_xvfb(pid_t* pid) {
    if (*pid > 0) {
        kill(*pid, SIGTERM);
        waitpid(*pid, nullptr, 0);
        *pid = 0;
    }
}

inline pid_t private_xvfb_pid = 0;  // the Xvfb test_display_name started, 0 if none

inline void stop_private_xvfb() {
    stop_xvfb(&private_xvfb_pid);
}

// the display the window tests draw on: DISPLAY's, or else a private Xvfb started once for the
// rest of the process; "" when there is neither. The process's own environment is left as it
// is: the display is named to the window library and to X explicitly.
inline std::string test_display_name() {
    static const std::string name = [] {
        const char* display = std::getenv("DISPLAY");
        if (display != nullptr && display[0] != '\0') {
            return std::string(display);
        }
        const std::string started = start_xvfb(&private_xvfb_pid);
        if (!started.empty()) {
            std::atexit(stop_private_xvfb);
        }
        return started;
    }();
    return name;
}
