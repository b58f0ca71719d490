// view/colour.h: the colours of the window's shapes, curves and traces
#pragma once

namespace robosim {

//------------------------------------------------------------------ types
// a colour for the GL fixed-function pipeline; alpha has no visible effect (no blending)
struct Colour4 {
    float r, g, b, a;  // red, green, blue, alpha (0 .. 1)
};

//------------------------------------------------------------------ constants
// clang-format off
constexpr Colour4 RED     = {1.0f, 0.0f, 0.0f, 0.0f};
constexpr Colour4 GREEN   = {0.0f, 1.0f, 0.0f, 0.0f};
constexpr Colour4 BLUE    = {0.0f, 0.0f, 1.0f, 0.0f};
constexpr Colour4 YELLOW  = {1.0f, 1.0f, 0.0f, 0.0f};
constexpr Colour4 MAGENTA = {1.0f, 0.0f, 1.0f, 0.0f};  // the legends call it "purple"
constexpr Colour4 WHITE   = {1.0f, 1.0f, 1.0f, 0.0f};
constexpr Colour4 BLACK   = {0.0f, 0.0f, 0.0f, 0.0f};
// clang-format on

}  // namespace robosim
