// platform/web/no_pictures.cpp: the batch tool as node runs it has no display to draw its
// pictures on; the page in the browser draws the frames. What the batch tool calls for --png and
// --gif says so, so that a picture is refused before the run, as a wrong option is, and never
// reaches a drawable.
#include "batch/pictures.h"
#include "platform/offscreen.h"
#include "platform/x_connection.h"
#include "platform/x_window.h"

namespace robosim {

namespace {

// the one line the tool prints after "--png and --gif draw on an X display: "
constexpr const char* NO_DISPLAY =
    "the batch tool under node has none (the page in the browser draws the frames; the native "
    "robosim-batch writes picture files)";

}  // namespace

//------------------------------------------------------------------ display
// (display_problem is the web window's: under node it says there is no page to draw on)

// nothing is drawn, so no connection can be lost while drawing
void on_display_lost(void (* /*handler*/)()) {}

//------------------------------------------------------------------ drawable
const char* open_offscreen_view(int /*width*/, int /*height*/) {
    return NO_DISPLAY;
}

void read_offscreen_rgb(unsigned char* /*rgb*/) {}

void close_offscreen_view() {}

//------------------------------------------------------------------ files
bool write_frame_png(const Scene& /*scene*/, const std::string& /*path*/, int /*k*/,
                     std::string* error, int /*size*/) {
    *error = NO_DISPLAY;
    return false;
}

bool write_animation_gif(const Scene& /*scene*/, const std::string& /*path*/, int /*every*/,
                         std::string* error, int /*size*/) {
    *error = NO_DISPLAY;
    return false;
}

}  // namespace robosim
