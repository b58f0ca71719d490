#include "platform/window_system.h"

// the sanitizer build (GCC says so by __SANITIZE_ADDRESS__, Clang by __has_feature)
#if defined(__SANITIZE_ADDRESS__)
#define ROBOSIM_LEAK_CHECKER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ROBOSIM_LEAK_CHECKER 1
#endif
#endif

#if defined(ROBOSIM_LEAK_CHECKER)
#include <cstddef>
#include <sanitizer/lsan_interface.h>
#endif

namespace robosim {

#if defined(ROBOSIM_LEAK_CHECKER)

// the sanitizer runtime's allocation hooks (GCC ships no header for them)
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*,
                                                                             size_t),
                                                         void (*free_hook)(const volatile void*));

namespace {

// robosim's own code runs on this thread: on the main thread from the start, on any other
// thread only inside an OwnCode. robosim starts no threads today; the GL driver starts its
// own (rasterisers, queues), and what they allocate is the driver's.
thread_local bool own_thread = false;
thread_local int open_calls = 0;  // window-system calls open on this thread

// every allocation, on any thread, as it is made: the window system's are passed over
void on_allocation(const volatile void* block, size_t) {
    if (!own_thread || open_calls > 0) {
        __lsan_ignore_object(const_cast<const void*>(block));
    }
}

void on_release(const volatile void*) {}

// set before main, on the main thread
[[maybe_unused]] const bool hooks_installed = [] {
    own_thread = true;
    return __sanitizer_install_malloc_and_free_hooks(on_allocation, on_release) != 0;
}();

}  // namespace

WindowSystemCall::WindowSystemCall() {
    ++open_calls;
}

WindowSystemCall::~WindowSystemCall() {
    --open_calls;
}

OwnCode::OwnCode() : was_own_(own_thread), lifted_(open_calls) {
    own_thread = true;
    open_calls = 0;
}

OwnCode::~OwnCode() {
    own_thread = was_own_;
    open_calls = lifted_;
}
#else
WindowSystemCall::WindowSystemCall() = default;
WindowSystemCall::~WindowSystemCall() = default;

OwnCode::OwnCode() : was_own_(true), lifted_(0) {}

OwnCode::~OwnCode() = default;
#endif

}  // namespace robosim
