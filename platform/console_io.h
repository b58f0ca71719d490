// platform/console_io.h: the narrow console the programs' reports and dialogs speak through
#pragma once

namespace robosim {

// The program installs these hooks (the interactive program its terminal console, the batch
// tool standard error, the tests a capture), so that the same reports serve every one.
// With no hook installed, text is dropped and a key wait returns at once.
struct ConsoleHooks {
    void (*write_text)(const char* utf8);  // writes UTF-8 text as it stands, no newline added
    int (*read_key)();                     // one key press; returns its character code
};

//------------------------------------------------------------------ program-wide object
extern ConsoleHooks console_hooks;  // zero until a program installs its console

//------------------------------------------------------------------ use
// formats like printf and hands the whole text to console_hooks.write_text (any length)
void console_print(const char* format, ...) __attribute__((format(printf, 1, 2)));

// waits for one key through console_hooks.read_key; 0 when no console is installed
int console_wait_key();

}  // namespace robosim
