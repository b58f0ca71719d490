// app/window.h: robosim's graphics window: its size and caption, its drawing and its keys
#pragma once

constexpr int WINDOW_SIZE = 800;  // initial width and height of the window (px)

// the window caption: a one-line summary of the key commands
extern const char WINDOW_CAPTION[];

// opens the 800 x 800 window with the caption, the frame of view/ and the key commands, and
// runs it to the program's end; argc and argv go unchanged to the window library
[[noreturn]] void open_window(int argc, char** argv);
