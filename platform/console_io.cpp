#include "platform/console_io.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace robosim {

ConsoleHooks console_hooks = {};

void console_print(const char* format, ...) {
    if (console_hooks.write_text == nullptr) {
        return;
    }
    // measure first, so that no text is ever cut at a fixed buffer size
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int len = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (len < 0) {
        va_end(args);
        return;
    }
    std::vector<char> text(static_cast<size_t>(len) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    console_hooks.write_text(text.data());
}

int console_wait_key() {
    if (console_hooks.read_key == nullptr) {
        return 0;
    }
    return console_hooks.read_key();
}

}  // namespace robosim
