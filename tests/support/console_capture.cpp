#include "tests/support/console_capture.h"

#include "platform/console_io.h"

using namespace robosim;

ConsoleCapture console_capture = {};

static void capture_text(const char* utf8) {
    console_capture.text += utf8;
}

static int capture_key() {
    ++console_capture.key_waits;
    return ' ';
}

void install_console_capture() {
    console_capture = ConsoleCapture{};
    console_hooks.write_text = capture_text;
    console_hooks.read_key = capture_key;
}
