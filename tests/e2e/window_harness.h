// tests/e2e/window_harness.h: the real robosim on a private virtual display, driven like a
// user: scripted console answers on its standard input (kept open for later dialogs), key
// presses sent to its window with xdotool, and the window read back with xwd.
#pragma once

#include "app/window.h"
#include "tests/view/picture.h"
#include "tests/view/x_display.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <functional>
#include <poll.h>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

using namespace robosim;

//------------------------------------------------------------------ helper programs

struct CommandResult {
    std::string out;  // standard output
    int status;       // exit status, -1 if it did not end in time or could not start
};

// runs argv with DISPLAY = display, reading its standard output; ends it after timeout_ms
inline CommandResult run_command(const std::vector<std::string>& argv, const std::string& display,
                                 int timeout_ms = 30000) {
    CommandResult result = {"", -1};
    int out[2];
    if (pipe(out) != 0) {
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 2);  // xdotool talks about input focus on a display without a desktop
        close(out[0]);
        close(out[1]);
        setenv("DISPLAY", display.c_str(), 1);
        std::vector<char*> args;
        for (const std::string& a : argv) {
            args.push_back(const_cast<char*>(a.c_str()));
        }
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    pollfd p = {out[0], POLLIN, 0};
    char buffer[65536];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) {
            kill(pid, SIGKILL);
            break;
        }
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        if (n <= 0) {
            break;
        }
        result.out.append(buffer, static_cast<size_t>(n));
    }
    close(out[0]);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    if (WIFEXITED(wstatus)) {
        result.status = WEXITSTATUS(wstatus);
    }
    return result;
}

// polls condition every 50 ms until it holds or timeout_ms passes
inline bool eventually(const std::function<bool()>& condition, int timeout_ms = 30000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (std::chrono::steady_clock::now() < until) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return condition();
}

// a private virtual display for a program to draw on
class PrivateDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        display = start_xvfb(&xvfb_pid);
        ASSERT_FALSE(display.empty()) << "cannot start Xvfb";
    }

    void TearDown() override {
        stop_xvfb(&xvfb_pid);
    }

    std::string display;
    pid_t xvfb_pid = 0;
};

//------------------------------------------------------------------ window pictures

// the window's pixels from an xwd dump (TrueColor, 24 or 32 bits per pixel); rows bottom first
// as in a GL read-back. An empty picture if the dump is not one.
inline Picture parse_xwd(const std::string& dump) {
    Picture p;
    const auto card32 = [&](size_t field) -> uint32_t {
        const size_t at = 4 * field;
        if (at + 4 > dump.size()) {
            return 0;
        }
        uint32_t v = 0;
        for (size_t i = 0; i < 4; ++i) {
            v = (v << 8) | static_cast<unsigned char>(dump[at + i]);  // header is big-endian
        }
        return v;
    };
    const uint32_t header_size = card32(0);
    const uint32_t width = card32(4);
    const uint32_t height = card32(5);
    const uint32_t byte_order = card32(7);  // 0: least significant byte first
    const uint32_t bits_per_pixel = card32(11);
    const uint32_t bytes_per_line = card32(12);
    const uint32_t red_mask = card32(14);
    const uint32_t green_mask = card32(15);
    const uint32_t blue_mask = card32(16);
    const uint32_t ncolors = card32(19);
    const size_t data = header_size + 12 * static_cast<size_t>(ncolors);
    const size_t bytes = bits_per_pixel / 8;
    if (width == 0 || height == 0 || (bytes != 3 && bytes != 4) || red_mask == 0
        || dump.size() < data + static_cast<size_t>(bytes_per_line) * height) {
        return p;
    }
    const auto channel = [](uint32_t pixel, uint32_t mask) {
        int shift = 0;
        while (((mask >> shift) & 1u) == 0u) {
            ++shift;
        }
        return static_cast<unsigned char>((pixel & mask) >> shift);
    };
    p.width = static_cast<int>(width);
    p.height = static_cast<int>(height);
    p.rgb.assign(static_cast<size_t>(3) * width * height, 0);
    for (uint32_t row = 0; row < height; ++row) {
        const size_t line = data + static_cast<size_t>(row) * bytes_per_line;
        const size_t out_row = height - 1 - row;
        for (uint32_t col = 0; col < width; ++col) {
            uint32_t pixel = 0;
            for (size_t i = 0; i < bytes; ++i) {
                const auto b = static_cast<unsigned char>(dump[line + col * bytes + i]);
                pixel |= byte_order == 0 ? static_cast<uint32_t>(b) << (8 * i)
                                         : static_cast<uint32_t>(b) << (8 * (bytes - 1 - i));
            }
            unsigned char* o = &p.rgb[3 * (out_row * width + col)];
            o[0] = channel(pixel, red_mask);
            o[1] = channel(pixel, green_mask);
            o[2] = channel(pixel, blue_mask);
        }
    }
    return p;
}

//------------------------------------------------------------------ the program under test

// One run of robosim on a private Xvfb. SetUp starts the display; start() the program;
// TearDown ends whatever is still running.
class WindowRun : public ::testing::Test {
  protected:
    std::vector<std::string> program_args;  // robosim's arguments (-geometry)
    int window_size = WINDOW_SIZE;          // the side its window opens with (px)

    void SetUp() override {
        display = start_xvfb(&xvfb_pid);
        ASSERT_FALSE(display.empty()) << "cannot start Xvfb";
        char path[] = "/tmp/robosim_e2e_XXXXXX";
        const int fd = mkstemp(path);
        ASSERT_GE(fd, 0);
        close(fd);
        out_path = path;
    }

    void TearDown() override {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
        if (stdin_fd >= 0) {
            close(stdin_fd);
        }
        stop_xvfb(&xvfb_pid);
        unlink(out_path.c_str());
    }

    // starts robosim with display_name as DISPLAY (unset if empty), answers on its standard
    // input, standard output and error into out_path
    void start(const std::string& answers, const std::string& display_name) {
        int in[2];
        ASSERT_EQ(pipe(in), 0);
        pid = fork();
        if (pid == 0) {
            dup2(in[0], 0);
            const int out = open(out_path.c_str(), O_WRONLY | O_TRUNC);
            dup2(out, 1);
            dup2(out, 2);
            close(in[0]);
            close(in[1]);
            if (display_name.empty()) {
                unsetenv("DISPLAY");
            } else {
                setenv("DISPLAY", display_name.c_str(), 1);
            }
            setenv("LC_ALL", "C.UTF-8", 1);
            int carry[2];  // a file size limit would hold the output file too: cat writes it
            if (file_size_limit != RLIM_INFINITY && pipe(carry) == 0) {
                if (fork() == 0) {
                    dup2(carry[0], 0);
                    close(carry[1]);
                    execlp("cat", "cat", static_cast<char*>(nullptr));
                    _exit(127);
                }
                dup2(carry[1], 1);
                dup2(carry[1], 2);
                const rlimit size_limit = {file_size_limit, file_size_limit};
                setrlimit(RLIMIT_FSIZE, &size_limit);
            }
            std::vector<char*> argv = {const_cast<char*>(ROBOSIM_BIN)};
            for (std::string& word : program_args) {
                argv.push_back(word.data());
            }
            argv.push_back(nullptr);
            execv(ROBOSIM_BIN, argv.data());
            _exit(127);
        }
        close(in[0]);
        stdin_fd = in[1];
        signal(SIGPIPE, SIG_IGN);  // a program that has ended must not end the test
        answer(answers);
    }

    // starts robosim on the private display and waits for its window to show a frame
    void start_window(const std::string& answers) {
        ASSERT_NO_FATAL_FAILURE(start(answers, display));
        ASSERT_TRUE(eventually(
            [&] {
                const CommandResult r =
                    run_command({"xdotool", "search", "--pid", std::to_string(pid)}, display);
                window = r.out.substr(0, r.out.find('\n'));
                return !window.empty();
            },
            60000))
            << "no window; the program said:\n"
            << output();
        // without a desktop the window opens at (-1, -1), one pixel off the screen, where the
        // server keeps no pixels of it: move it onto the screen
        run_command({"xdotool", "windowmove", window, "0", "0"}, display);
        // the first frame: the caption's ink at the top left on the white of the window (a
        // window not drawn yet is black)
        ASSERT_TRUE(eventually([&] {
            const Picture p = grab();
            return p.width == window_size && p.height == window_size && is_white(p.at(0.95, -0.95))
                   && is_white(p.at(-0.98, 0.98))
                   && p.count(-0.99, 0.94, -0.5, 0.99, is_dark) > 100;
        })) << "the window shows no frame";
    }

    // more console answers for a later dialog
    void answer(const std::string& text) {
        ASSERT_EQ(write(stdin_fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
    }

    // key presses to the window, one xdotool key name each ("s", "Escape", "W")
    void keys(const std::string& key, int repeat = 1) {
        run_command({"xdotool", "key", "--window", window, "--repeat", std::to_string(repeat),
                     "--delay", "0", key},
                    display);
    }

    Picture grab() {
        const CommandResult r = run_command({"xwd", "-silent", "-id", window}, display);
        return parse_xwd(r.out);
    }

    // the last picture for which condition holds, waiting up to timeout_ms for one
    Picture grab_when(const std::function<bool(const Picture&)>& condition,
                      int timeout_ms = 30000) {
        Picture p;
        eventually(
            [&] {
                p = grab();
                return p.width > 0 && condition(p);
            },
            timeout_ms);
        return p;
    }

    // Keys are handled in order: once a later key's effect shows, every earlier key has been
    // handled. 'i' brings the inertia graph (its time axis at y = -0.3 from x = 0.4), 't'
    // brings the torque graph back (its motor-2 axis crosses y = -0.75).
    void settle_keys() {
        keys("i");
        ASSERT_TRUE(eventually([&] { return is_inertia_graph(grab()); })) << "'i' not handled";
        keys("t");
        ASSERT_TRUE(eventually([&] { return is_torque_graph(grab()); })) << "'t' not handled";
    }

    static bool is_inertia_graph(const Picture& p) {
        return p.width > 0 && p.near_point(0.65, -0.3, 1, is_red)
               && !p.near_point(0.4, -0.75, 1, is_red);
    }

    static bool is_torque_graph(const Picture& p) {
        return p.width > 0 && p.near_point(0.4, -0.75, 1, is_red);
    }

    // everything the program wrote so far
    std::string output() const {
        std::ifstream in(out_path);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // waits up to timeout_ms for the program to end; its exit status, or -1
    int wait_exit(int timeout_ms) {
        int wstatus = 0;
        const bool ended =
            eventually([&] { return waitpid(pid, &wstatus, WNOHANG) == pid; }, timeout_ms);
        if (!ended) {
            return -1;
        }
        pid = 0;
        return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }

    std::string display;   // the private display, ":N"
    pid_t xvfb_pid = 0;    // its server
    std::string out_path;  // the program's standard output and error
    pid_t pid = 0;         // the program, 0 once ended
    int stdin_fd = -1;     // the write end of its standard input
    std::string window;    // its window id as xdotool prints it

    rlim_t file_size_limit = RLIM_INFINITY;  // the program's (ulimit -f), set before start()
};
