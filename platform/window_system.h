// platform/window_system.h: what the X and GL libraries allocate, told from robosim's own
// allocations for the leak checker of the sanitizer build
#pragma once

namespace robosim {

// The window system (X, the GL library and its driver, the window library) keeps blocks for
// the life of a display or of the process, and holds some of them where the leak checker
// cannot see (driver state reached through the X connection, per-thread caches of the
// driver's own threads). At exit they look like leaks, and the driver may already have been
// unloaded with its display, so their origin is unknown and no suppression by library name
// can catch them.
//
// Instead the blocks are told apart as they are made: every call into the window system runs
// inside a WindowSystemCall, and the leak checker passes over whatever this thread allocates
// meanwhile, and over everything allocated on threads robosim did not start (the driver's).
// Everything else robosim allocates stays checked. In other builds both classes do nothing.
class WindowSystemCall {
  public:
    WindowSystemCall();
    ~WindowSystemCall();
    WindowSystemCall(const WindowSystemCall&) = delete;
    WindowSystemCall& operator=(const WindowSystemCall&) = delete;
};

// robosim's own code runs here: a callback from the window library's event loop (a key press)
// inside the loop's WindowSystemCall, or the body of a thread robosim starts. For as long as
// it lives, that code's allocations are checked.
class OwnCode {
  public:
    OwnCode();
    ~OwnCode();
    OwnCode(const OwnCode&) = delete;
    OwnCode& operator=(const OwnCode&) = delete;

  private:
    [[maybe_unused]] bool was_own_;  // the thread ran robosim's code before          (restored)
    [[maybe_unused]] int lifted_;    // window-system calls this lifted, open again on return
};

}  // namespace robosim
