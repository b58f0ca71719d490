// tests/view/x_display.h: an X display for the window tests. `make test` runs them under
// xvfb-run, which sets DISPLAY; a test started without one gets a private Xvfb instead.
#pragma once

#include <cstdlib>
#include <poll.h>
#include <signal.h>
#include <string>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

inline pid_t private_xvfb_pid = 0;  // the Xvfb this process started, 0 if none

inline void stop_private_xvfb() {
    if (private_xvfb_pid > 0) {
        kill(private_xvfb_pid, SIGTERM);
        waitpid(private_xvfb_pid, nullptr, 0);
        private_xvfb_pid = 0;
    }
}

// true when DISPLAY names a display, starting a private Xvfb (which picks a free display
// number itself and reports it on a pipe) when it is unset; false if that fails within 10 s
inline bool ensure_x_display() {
    const char* display = std::getenv("DISPLAY");
    if (display != nullptr && display[0] != '\0') {
        return true;
    }
    int fds[2];
    if (pipe(fds) != 0) {
        return false;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        return false;
    }
    private_xvfb_pid = pid;
    std::atexit(stop_private_xvfb);

    // the display number arrives as a line of digits once the server accepts clients
    std::string number;
    pollfd p = {fds[0], POLLIN, 0};
    while (poll(&p, 1, 10000) > 0) {
        char ch = 0;
        if (read(fds[0], &ch, 1) != 1 || ch == '\n') {
            break;
        }
        number += ch;
    }
    close(fds[0]);
    if (number.empty()) {
        stop_private_xvfb();
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}
