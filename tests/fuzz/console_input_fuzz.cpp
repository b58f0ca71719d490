// Fuzzing the console's key and number input: any bytes as the user's answers, read through the
// same buffer by keys, "%lf" fields, "%d" and words in a cycle that the input itself steers.
#include "app/console.h"

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

// the end of the answers: leave the cycle instead of ending the process
struct EndOfInput {};

static void throw_end_of_input() {
    throw EndOfInput{};
}

// the entry libFuzzer calls with each input
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int fd = memfd_create("answers", 0);
    if (fd < 0) {
        return 0;
    }
    if (size > 0 && write(fd, data, size) != static_cast<ssize_t>(size)) {
        close(fd);
        return 0;
    }
    lseek(fd, 0, SEEK_SET);
    console_end_of_input = throw_end_of_input;
    console_set_input(fd);
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
                    console_read_word();
                    break;
                default:
                    console_read_doubles({&a});
                    break;
            }
        }
    } catch (const EndOfInput&) {
        // every answer used
    }
    close(fd);
    return 0;
}
