#include "view/window_system.h"

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

// window-system calls open on this thread; the leak checker counts its own, but an OwnCode
// must know how many to lift
static thread_local int open_calls = 0;

WindowSystemCall::WindowSystemCall() {
    __lsan_disable();
    ++open_calls;
}

WindowSystemCall::~WindowSystemCall() {
    --open_calls;
    __lsan_enable();
}

OwnCode::OwnCode() : lifted_(open_calls) {
    for (int i = 0; i < lifted_; ++i) {
        __lsan_enable();
    }
    open_calls = 0;
}

OwnCode::~OwnCode() {
    for (int i = 0; i < lifted_; ++i) {
        __lsan_disable();
    }
    open_calls = lifted_;
}
#else
WindowSystemCall::WindowSystemCall() = default;
WindowSystemCall::~WindowSystemCall() = default;

OwnCode::OwnCode() : lifted_(0) {}

OwnCode::~OwnCode() = default;
#endif
