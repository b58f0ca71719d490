// platform/x_connection.h: connections to the X display, made patiently and watched for loss
#pragma once

#include <X11/Xlib.h>

namespace robosim {

// Opens a connection to the display name (nullptr: DISPLAY). An X server refuses connections
// for a moment while it resets, which a virtual server does each time its last client leaves,
// so a refused connection is tried again for half a second before the display counts as
// missing. nullptr when it stays unreachable.
Display* connect_display_patiently(const char* name);

// Makes handler what runs when a connection to the display breaks (the server ended or the
// network went): an X server that goes away ends every connection of the process at once. The
// handler must end the process; if it returns, the process ends with status 1.
void on_display_lost(void (*handler)());

}  // namespace robosim
