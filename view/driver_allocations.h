// view/driver_allocations.h: the GL driver's own blocks and the leak checker of the sanitizer
// build
#pragma once

// the sanitizer build (GCC says so by __SANITIZE_ADDRESS__, Clang by __has_feature)
#if defined(__SANITIZE_ADDRESS__)
#define ROBOSIM_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROBOSIM_LEAK_CHECKER 1
#endif
#endif
#if defined(ROBOSIM_LEAK_CHECKER)
#include <sanitizer/lsan_interface.h>
#endif

// The GL driver keeps what it allocates for a drawable (the frame buffers above all) until the
// process ends, and unloads itself before the leak checker of the sanitizer build looks, so its
// blocks could not be told from ours. From a drawable's creation on, the leak checker passes
// over allocations of this thread; drawing itself allocates nothing.
inline void leave_window_allocations_to_the_driver() {
#if defined(ROBOSIM_LEAK_CHECKER)
    __lsan_disable();
#endif
}
