// app/window.h: robosim's graphics window: its size and caption, its drawing and its keys
#pragma once

#include "app/session.h"

namespace robosim {

constexpr int WINDOW_SIZE = 800;  // initial width and height of the window (px)

// the window caption: a one-line summary of the key commands
extern const char WINDOW_CAPTION[];

// opens the 800 x 800 window with the caption, the frame of view/ and the key commands on
// session, and runs it to the program's end; argc and argv go unchanged to the window library
[[noreturn]] void open_window(Session& session, int argc, char** argv);

// the window's timer callback while a run plays: play_tick on the session of the open window;
// before open_window, nothing
void on_play_timer(int generation);

}  // namespace robosim
