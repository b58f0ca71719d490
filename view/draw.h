// view/draw.h: the drawing primitives, bitmap text, caption and status labels of the window;
// the only code of the program that issues GL drawing calls, and the only view code that
// knows the window library (its bitmap fonts)
#pragma once

#include "planning/plan.h"
#include "view/scene.h"

namespace robosim {

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

// the on and off lengths of the line patterns along a curve, and a guard against a hang
constexpr double DASH_ON = 0.02;              // a dash of a dashed curve (8 pixels)      (window)
constexpr double DASH_OFF = 0.015;            // the gap after it                         (window)
constexpr double DOT_ON = 0.005;              // a dot of a dotted curve (2 pixels)       (window)
constexpr double DOT_OFF = 0.01;              // the gap after it                         (window)
constexpr int MAX_DASHES_PER_SEGMENT = 1000;  // more than a segment across the window has  (-)

//------------------------------------------------------------------ types
// the bitmap fonts of the window's text, proportional, near black
enum class TextFont {
    large,  // 18 pixels: titles, axis labels, status lines
    small,  // 12 pixels: legends, values, the readout, the caption and the help card
    tiny,   // 10 pixels: the seconds under the time axes, the lower torque limit
};

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

// the segments points[i - 1]-points[i], i = 1 .. count - 1, where shown[i] is true (every
// segment when shown is nullptr), in pattern: solid, each drawn exactly as draw_thick_line
// would draw it; dashed or dotted, only the parts on its dashes, which run on along the curve
// from one segment to the next; one primitive for a whole curve of the graphs
void draw_thick_polyline(const Point2* points, const bool* shown, int count, double width_m,
                         const Colour4& c, LinePattern pattern);

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
// bitmap text in font, its baseline starting at (x, y) in window units; near black
void draw_text(float x, float y, TextFont font, const char* text);

// the width of text in font, in window units
double text_width(TextFont font, const char* text);

// text as draw_text does, on a white ground two pixels wider than its letters: a label that
// lies in a plot stays legible over the curves drawn before it
void draw_label(float x, float y, TextFont font, const char* text);

// the white ground of such a label alone: labels that touch take their grounds first
void draw_label_ground(float x, float y, TextFont font, const char* text);

//------------------------------------------------------------------ clipping
constexpr double CLIP_MARGIN_PX = 2.0;  // a plot's curves may reach this beyond its frame (px)

// While one lives, nothing is drawn outside the rectangle w by h (window units) from corner,
// widened by CLIP_MARGIN_PX: the curves of a plot stay inside its frame, whatever their values.
class PlotClip {
  public:
    PlotClip(const Point2& corner, double w, double h);
    ~PlotClip();
    PlotClip(const PlotClip&) = delete;
    PlotClip& operator=(const PlotClip&) = delete;
};

// the window caption line at the top left
void draw_caption();

// the status label block of the current run: its robot, plane of motion, command, control
// law, feedback and integration
void draw_status_labels(const Scene& scene);

}  // namespace robosim
