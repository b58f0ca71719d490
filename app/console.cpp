#include "app/console.h"

#include "model/console_io.h"

#include <cstdio>

// text goes to standard output as it stands (UTF-8)
static void write_stdout(const char* utf8) {
    std::fputs(utf8, stdout);
    std::fflush(stdout);
}

// the next character of standard input that is not white space
static int read_key_stdin() {
    int c = std::getchar();
    while (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
        c = std::getchar();
    }
    return c;
}

void install_console() {
    console_hooks.write_text = write_stdout;
    console_hooks.read_key = read_key_stdin;
}
