// view/window_system.h: what the X and GL libraries allocate, told from robosim's own
// allocations for the leak checker of the sanitizer build
#pragma once

// The window system (X, the GL library and its driver, the window library) keeps blocks for
// the life of a display or of the process, and holds some of them where the leak checker
// cannot see (driver state reached through the X connection, per-thread caches). At exit they
// look like leaks, and the driver may already have been unloaded with its display, so their
// origin is unknown and no suppression by library name can catch them.
//
// Instead the blocks are told apart when they are made: every call into the window system
// runs inside a WindowSystemCall, and the leak checker passes over whatever this thread
// allocates meanwhile. Everything else robosim allocates stays checked. In other builds both
// classes do nothing.
class WindowSystemCall {
  public:
    WindowSystemCall();
    ~WindowSystemCall();
    WindowSystemCall(const WindowSystemCall&) = delete;
    WindowSystemCall& operator=(const WindowSystemCall&) = delete;
};

// A callback from the window library's event loop (a key press) runs robosim's own code
// inside the loop's WindowSystemCall: for as long as it lives, that code's allocations are
// checked again.
class OwnCode {
  public:
    OwnCode();
    ~OwnCode();
    OwnCode(const OwnCode&) = delete;
    OwnCode& operator=(const OwnCode&) = delete;

  private:
    [[maybe_unused]] int
        lifted_;  // window-system calls this callback lifted, restored when it returns
};
