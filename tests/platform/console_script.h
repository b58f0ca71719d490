// tests/platform/console_script.h: a fixture whose console reads a script and records what it
// prints
#pragma once

#include "platform/console.h"
#include "platform/console_io.h"
#include "tests/support/console_capture.h"
#include "tests/support/program_test.h"

#include <string>
#include <unistd.h>

using namespace robosim;

// Starts from the defaults; the console's answers come from a pipe that holds the script
// given to feed(), and its text goes to console_capture.text.
class ConsoleScriptTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        install_console_capture();
        console_hooks.read_key = console_read_key;  // a key wait of the model reads the script
    }

    void TearDown() override {
        close_script();
        ProgramTest::TearDown();
    }

    // the script becomes the console's whole input; reading past it ends the program
    void feed(const std::string& script) {
        close_script();
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        // a script is far smaller than a pipe's buffer, so the write never blocks
        ASSERT_EQ(write(fds[1], script.data(), script.size()), static_cast<ssize_t>(script.size()));
        close(fds[1]);
        read_fd_ = fds[0];
        console_set_input(read_fd_);
    }

  private:
    void close_script() {
        if (read_fd_ >= 0) {
            close(read_fd_);
            read_fd_ = -1;
        }
    }

    int read_fd_ = -1;  // the pipe's read end while a script is fed
};
