// tests/support/console_capture.h: a console that records text and counts key waits
#pragma once

#include <string>

struct ConsoleCapture {
    std::string text;  // everything written since the last install
    int key_waits;     // key reads asked for since the last install
};

extern ConsoleCapture console_capture;

// installs the capture as the console and clears it
void install_console_capture();
