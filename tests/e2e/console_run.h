// tests/e2e/console_run.h: runs the real robosim with scripted answers on its standard input.
// The program may stay alive after its final stage (the graphics window's event loop), so a
// run reads standard output until the final marker, the end of output or a time limit, and
// then ends the process itself.
#pragma once

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// what the console prints as the final stage hands over to the window
inline const std::string FINAL_MARKER = "\n\n描画画面へ       ";

struct ConsoleRun {
    std::string out;     // standard output up to the final marker (or all of it)
    std::string err;     // standard error read meanwhile
    bool reached_final;  // the final marker was printed
    bool exited;         // the program ended by itself
    int exit_status;     // its exit status when it ended by itself, else -1
    bool timed_out;      // neither the marker nor the end came in time
};

// waits up to limit for the child to end; true if it did
inline bool wait_child(pid_t pid, int* wstatus, std::chrono::milliseconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const pid_t r = waitpid(pid, wstatus, WNOHANG);
        if (r == pid) {
            return true;
        }
        if (r < 0 || std::chrono::steady_clock::now() > until) {
            return false;
        }
        usleep(10000);
    }
}

// gives the child grace to end by itself, then ends it: SIGTERM, then SIGKILL; returns the
// wait status
inline int end_child(pid_t pid, std::chrono::milliseconds grace, bool* exited_by_itself) {
    int wstatus = 0;
    *exited_by_itself = wait_child(pid, &wstatus, grace);
    if (*exited_by_itself) {
        return wstatus;
    }
    kill(pid, SIGTERM);
    if (!wait_child(pid, &wstatus, std::chrono::milliseconds(2000))) {
        kill(pid, SIGKILL);
        waitpid(pid, &wstatus, 0);
    }
    return wstatus;
}

// runs ROBOSIM_BIN with args in the C locale, or with the environment variables env
// ("NAME=value"), with script on its standard input (then closed)
inline ConsoleRun run_robosim(const std::string& script, int timeout_ms = 30000,
                              const std::vector<std::string>& env = {},
                              const std::vector<std::string>& args = {}) {
    int in_pipe[2], out_pipe[2], err_pipe[2];
    ConsoleRun run = {"", "", false, false, -1, false};
    if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
        return run;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in_pipe[0], 0);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        for (int fd :
             {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
            close(fd);
        }
        setenv("LC_ALL", "C", 1);
        for (const std::string& e : env) {
            putenv(strdup(e.c_str()));  // the child execs at once: the copy is never freed
        }
        std::vector<char*> argv = {const_cast<char*>(ROBOSIM_BIN)};
        for (const std::string& a : args) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(ROBOSIM_BIN, argv.data());
        _exit(127);
    }
    close(in_pipe[0]);
    close(out_pipe[1]);
    close(err_pipe[1]);
    // a script is far smaller than a pipe's buffer, so it never blocks here
    signal(SIGPIPE, SIG_IGN);
    [[maybe_unused]] const ssize_t written = write(in_pipe[1], script.data(), script.size());
    close(in_pipe[1]);

    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    bool out_open = true, err_open = true;
    while (out_open || err_open) {
        if (run.out.find(FINAL_MARKER) != std::string::npos) {
            run.reached_final = true;
            break;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.timed_out = true;
            break;
        }
        pollfd fds[2] = {{out_open ? out_pipe[0] : -1, POLLIN, 0},
                         {err_open ? err_pipe[0] : -1, POLLIN, 0}};
        if (poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) {
            break;
        }
        char chunk[4096];
        if (out_open && (fds[0].revents & (POLLIN | POLLHUP)) != 0) {
            const ssize_t n = read(out_pipe[0], chunk, sizeof chunk);
            if (n > 0) {
                run.out.append(chunk, static_cast<size_t>(n));
            } else {
                out_open = false;
            }
        }
        if (err_open && (fds[1].revents & (POLLIN | POLLHUP)) != 0) {
            const ssize_t n = read(err_pipe[0], chunk, sizeof chunk);
            if (n > 0) {
                run.err.append(chunk, static_cast<size_t>(n));
            } else {
                err_open = false;
            }
        }
    }
    if (run.out.find(FINAL_MARKER) != std::string::npos) {
        run.reached_final = true;
    }
    // after the final marker the program may be in the window's event loop: short grace
    const auto grace = std::chrono::milliseconds(run.reached_final ? 300 : 3000);
    const int wstatus = end_child(pid, grace, &run.exited);
    if (run.exited && WIFEXITED(wstatus)) {
        run.exit_status = WEXITSTATUS(wstatus);
    }
    close(out_pipe[0]);
    close(err_pipe[0]);
    return run;
}

// the text between the first begin at or after from and the next end (end excluded); empty
// when either is missing
inline std::string text_between(const std::string& text, const std::string& begin,
                                const std::string& end, size_t from = 0) {
    const size_t b = text.find(begin, from);
    if (b == std::string::npos) {
        return "";
    }
    const size_t e = text.find(end, b + begin.size());
    if (e == std::string::npos) {
        return "";
    }
    return text.substr(b, e - b);
}
