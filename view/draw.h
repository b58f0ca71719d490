// view/draw.h: the drawing primitives, bitmap text, caption and status labels of the window;
// the only code of the program that issues GL drawing calls
#pragma once

#include "planning/plan.h"
#include "view/scene.h"

//------------------------------------------------------------------ constants
constexpr double PIXELS_PER_METRE = 400.0;     // robot metres to pixels at view scale 1   (px/m)
constexpr double HALF_WINDOW_PIXELS = 400.0;   // pixels from the window centre to an edge (px)
constexpr int CIRCLE_SEGMENTS = 120;           // vertices of every circular shape          (-)
constexpr double CIRCLE_PI = 3.1415926536;     // the pi of the circular shapes             (-)
constexpr double RAD_PER_DEG = 0.01745329252;  // radians in one degree, for the GL rotation (rad)
constexpr double THICK_LINE_RESTORE_PX = 2.0;  // line width a thick line leaves behind     (px)
// text has no colour of its own: near black, the ambient-only lit colour on white      (-)
constexpr float TEXT_GREY = 0.04f;
// a coordinate beyond this is far outside the window: shapes with such (or non-finite)
// values are left out, so the rasteriser never meets an infinity or a not-a-number  (window)
constexpr double DRAWABLE_LIMIT = 1.0e6;

//------------------------------------------------------------------ types
// a colour for the GL fixed-function pipeline; alpha has no visible effect (no blending)
struct Colour4 {
    float r, g, b, a;  // red, green, blue, alpha (0 .. 1)
};

// clang-format off
constexpr Colour4 RED     = {1.0f, 0.0f, 0.0f, 0.0f};
constexpr Colour4 GREEN   = {0.0f, 1.0f, 0.0f, 0.0f};
constexpr Colour4 BLUE    = {0.0f, 0.0f, 1.0f, 0.0f};
constexpr Colour4 YELLOW  = {1.0f, 1.0f, 0.0f, 0.0f};
constexpr Colour4 MAGENTA = {1.0f, 0.0f, 1.0f, 0.0f};  // the legends call it "purple"
constexpr Colour4 WHITE   = {1.0f, 1.0f, 1.0f, 0.0f};
constexpr Colour4 BLACK   = {0.0f, 0.0f, 0.0f, 0.0f};
// clang-format on

//------------------------------------------------------------------ units
// metres to window units: 400 pixels per metre over a half window of 400 pixels
double to_window(double x);

// true when a window coordinate can be handed to the rasteriser (finite and not absurdly far)
bool drawable(double v);

//------------------------------------------------------------------ shapes
// Every shape disables GL_LIGHTING, sets its colour, emits one primitive and enables
// GL_LIGHTING again; shapes that move the origin leave the modelview stack as they found it.
// Points and lengths are window units already multiplied by any view scale.

// one straight line a-b at the current line width
void draw_line(const Point2& a, const Point2& b, const Colour4& c);

// one line a-b, width_m (m) at 400 pixels per metre wide; leaves the line width at 2 pixels
void draw_thick_line(const Point2& a, const Point2& b, double width_m, const Colour4& c);

// the segments points[i - 1]-points[i], i = 1 .. count - 1, each drawn exactly as
// draw_thick_line would draw it, where shown[i] is true (every segment when shown is nullptr);
// one primitive for a whole curve of the graphs
void draw_thick_polyline(const Point2* points, const bool* shown, int count, double width_m,
                         const Colour4& c);

// The trace of a run: for i = 0 .. count - 1 a filled circle of radius r at dots[i] and, when
// path is given and i > 0, the segment path[i - 1]-path[i] at the current line width; the
// picture is that of drawing dot 0, dot 1, segment 0-1, dot 2, segment 1-2 ... one after the
// other. Points that are not drawable leave their dot or segment out.
void draw_trace(const Point2* dots, int count, double r, const Colour4& dot_colour,
                const Point2* path, const Colour4& path_colour);

// filled circle of radius r about centre
void draw_disc(const Point2& centre, double r, const Colour4& c);

// filled half circle of radius r from angle start (rad) clockwise
void draw_half_disc(const Point2& centre, double r, double start, const Colour4& c);

// closed 120-gon outline of radius r at the current line width
void draw_circle(const Point2& centre, double r, const Colour4& c);

// open half-circle outline from angle start (rad) clockwise at the current line width
void draw_half_circle(const Point2& centre, double r, double start, const Colour4& c);

// filled rectangle w along the axis turned by angle (rad) about corner, h across it
void draw_rect(const Point2& corner, double w, double h, double angle, const Colour4& c);

// rectangle outline as draw_rect, at the current line width
void draw_rect_outline(const Point2& corner, double w, double h, double angle, const Colour4& c);

// black grid of 2n x 2n cells dx by dy about centre, turned by angle (rad); centre lines
// 2 pixels, the others 1 pixel wide; leaves the line width at 1 pixel
void draw_grid(const Point2& centre, double angle, int n, double dx, double dy);

//------------------------------------------------------------------ text
// bitmap text in a GLUT font, its baseline starting at (x, y) in window units; near black
void draw_text(float x, float y, void* font, const char* text);

// the width of text in a GLUT bitmap font, in window units
double text_width(void* font, const char* text);

// the window caption line at the top left
void draw_caption();

// the status label block of robot_type; reads gravity, motion, fb_type, cyl.Ki1, scara.Ki1
void draw_status_labels(const Scene& scene, int robot_type);
