// tests/e2e/leak_probe.cpp: a windowed program that drops one block of its own on purpose, so
// that the sanitizer build can show its leak checker still reports robosim's own leaks while it
// passes over the blocks the X and GL libraries keep.
//
//   leak_probe none            draws a frame and ends: nothing of its own is lost
//   leak_probe own             drops a block in its own code
//   leak_probe callback        drops it in a key callback (own code inside the event loop)
//   leak_probe other-thread    drops it on a thread robosim did not mark as its own (as the GL
//                              driver's threads are): passed over by design
//   leak_probe own-thread      drops it on a thread that runs robosim's own code
#include "platform/offscreen.h"
#include "platform/window_system.h"
#include "platform/x_window.h"
#include "view/draw.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace robosim;

constexpr size_t DROPPED_BYTES = 4321;  // a size the leak report can be searched for (bytes)

static void* volatile last_block = nullptr;

// made and forgotten in a frame of its own, so no live register or stack slot still holds it
[[gnu::noinline]] static void drop_a_block() {
    last_block = std::malloc(DROPPED_BYTES);
    std::memset(last_block, 0x5a, DROPPED_BYTES);
    last_block = nullptr;
}

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "none";
    if (const char* problem = display_problem()) {
        std::fprintf(stderr, "leak_probe: %s\n", problem);
        return 2;
    }
    constexpr int SIZE = 200;  // the drawable (px)
    if (const char* problem = open_offscreen_view(SIZE, SIZE)) {
        std::fprintf(stderr, "leak_probe: %s\n", problem);
        return 2;
    }
    // a frame's worth of the driver's work: lines, a filled shape, bitmap text, a read-back
    draw_grid({0.0, 0.0}, 0.3, 5, 0.1, 0.1);
    draw_disc({0.2, 0.2}, 0.1, {0.2f, 0.4f, 0.9f, 1.0f});
    draw_text(-0.9f, 0.9f, TextFont::small, "leak probe");
    std::vector<unsigned char> rgb(static_cast<size_t>(3) * SIZE * SIZE);
    read_offscreen_rgb(rgb.data());

    if (mode == "own") {
        drop_a_block();
    } else if (mode == "callback") {
        const WindowSystemCall event_loop;
        const OwnCode key_callback;
        drop_a_block();
    } else if (mode == "other-thread") {
        std::thread(drop_a_block).join();
    } else if (mode == "own-thread") {
        std::thread([] {
            const OwnCode own;
            drop_a_block();
        }).join();
    }
    close_offscreen_view();
    return 0;
}
