// Fuzzing the console's key and number input: any bytes as the user's answers, read through the
// same buffer by keys, "%lf" fields, "%d" and lines in a cycle that the input itself steers.
// The first byte chooses the way in: a pipe-like file, or a real terminal (a pseudo-terminal),
// where keys are read raw, one key press at a time, and lines through the terminal's own line
// editing.
#include "platform/console.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/mman.h>
#include <thread>
#include <unistd.h>

using namespace robosim;

// the end of the answers: leave the cycle instead of ending the process
struct EndOfInput {};

static void throw_end_of_input() {
    throw EndOfInput{};
}

// reads in an order the input steers until the answers end
static void read_answers() {
    try {
        // the key read picks the next kind of read, so every order of reads gets explored
        for (int round = 0; round < 10000; ++round) {
            const int key = console_read_key();
            double a = 1.0, b = 2.0, c = 3.0;
            int n = 7;
            switch (key % 4) {
                case 0: {
                    const int stored = console_read_doubles({&a, &b, &c});
                    // fields after the first unmatched one keep their values
                    if ((stored < 3 && c != 3.0) || (stored < 2 && b != 2.0)) {
                        __builtin_trap();
                    }
                    break;
                }
                case 1:
                    console_read_int(&n);
                    break;
                case 2:
                    console_read_line();
                    break;
                default:
                    console_read_doubles({&a});
                    break;
            }
        }
    } catch (const EndOfInput&) {
        // every answer used
    }
}

// the answers as a file: the pipe's way, read in chunks
static void through_a_file(const std::uint8_t* data, std::size_t size) {
    const int fd = memfd_create("answers", 0);
    if (fd < 0) {
        return;
    }
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return;
    }
    lseek(fd, 0, SEEK_SET);
    console_set_input(fd);
    read_answers();
    close(fd);
}

// the answers typed on a terminal. A typist thread types them, then Ctrl-D and Enter over and
// over, so that a raw key read meets an end-of-text key and a line read an end of input
// whatever state the answers left the terminal's line editing in; it also swallows the echo.
static void on_a_terminal(const std::uint8_t* data, std::size_t size) {
    int typist_side = -1;
    int program_side = -1;
    if (openpty(&typist_side, &program_side, nullptr, nullptr, nullptr) != 0) {
        return;
    }
    fcntl(typist_side, F_SETFL, O_NONBLOCK);
    std::atomic<bool> done{false};
    std::thread typist([&] {
        static const std::uint8_t END[] = {4, '\n'};
        const std::uint8_t* next = data;
        std::size_t left = size;
        while (!done.load()) {
            pollfd fd = {typist_side, POLLIN | POLLOUT, 0};
            if (poll(&fd, 1, 50) <= 0) {
                continue;
            }
            if ((fd.revents & POLLIN) != 0) {
                char echo[256];
                [[maybe_unused]] const ssize_t n = read(typist_side, echo, sizeof echo);
            }
            if ((fd.revents & POLLOUT) != 0) {
                const std::uint8_t* chunk = left > 0 ? next : END;
                const std::size_t length = left > 0 ? left : sizeof END;
                const ssize_t n = write(typist_side, chunk, length);
                if (n > 0 && left > 0) {
                    next += n;
                    left -= static_cast<std::size_t>(n);
                }
            }
        }
    });
    console_set_input(program_side);
    read_answers();
    done.store(true);
    typist.join();
    close(program_side);
    close(typist_side);
}

// the entry libFuzzer calls with each input
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    console_end_of_input = throw_end_of_input;
    if (data[0] % 2 == 0) {
        through_a_file(data + 1, size - 1);
    } else {
        on_a_terminal(data + 1, size - 1);
    }
    return 0;
}
