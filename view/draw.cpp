// The drawing primitives: immediate-mode GL 1.1 shapes in window units (-1 .. +1 on both axes,
// one unit is one metre at view scale 1), bitmap text in the window library's fonts, the line
// patterns of the curves of runs beside the current one, and the two fixed text
// blocks at the top left of the window. Each primitive is a call into the window system: what
// the GL driver allocates while it draws is the driver's.
#include "view/draw.h"

#include "model/parameters.h"
#include "platform/window_system.h"
#include "sim/history.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <cmath>

namespace robosim {

//------------------------------------------------------------------ helpers

static bool drawable(const Point2& p) {
    return drawable(p.x) && drawable(p.y);
}

// every shape draws unlit in its own colour
static void begin_shape(const Colour4& c) {
    glDisable(GL_LIGHTING);
    glColor4f(c.r, c.g, c.b, c.a);
}

// and leaves lighting on, which later primitives and text may rely on
static void end_shape() {
    glEnable(GL_LIGHTING);
}

// cos and sin of k 2pi/120, k = 0 .. 119: a frame draws hundreds of full circles (the dots
// of the trace), all with these angles
struct UnitCircle {
    double c[CIRCLE_SEGMENTS];
    double s[CIRCLE_SEGMENTS];
};

static const UnitCircle& unit_circle() {
    static const UnitCircle table = [] {
        UnitCircle t = {};
        for (int k = 0; k < CIRCLE_SEGMENTS; ++k) {
            const double phi = k * (2.0 * CIRCLE_PI / CIRCLE_SEGMENTS);
            t.c[k] = std::cos(phi);
            t.s[k] = std::sin(phi);
        }
        return t;
    }();
    return table;
}

// The trace's dots as one indexed vertex array. Each dot's 120-gon is split into the 24-gon
// through every fifth vertex (22 triangles) and the 24 thin slivers between that 24-gon and the
// 120-gon (4 triangles each). The union is exactly the 120-gon, vertex for vertex. A sliver of a
// dot of a few pixels is a few hundredths of a pixel thick: it is handed to the GL only when a
// pixel centre lies within SLIVER_MARGIN_PX of it, as only then can it colour a pixel. This
// leaves about a third of the triangles, which is what the frame's cost mostly is.
constexpr int SLIVER_STEP = 5;                                  // 120-gon edges per sliver   (-)
constexpr int SLIVERS = CIRCLE_SEGMENTS / SLIVER_STEP;          // slivers per dot            (-)
constexpr int MAX_INDICES_PER_DOT = 3 * (CIRCLE_SEGMENTS - 2);  // all of a dot's triangles (-)
// a pixel centre farther than this from a sliver stays outside it after the rasteriser has
// snapped the vertices to its sub-pixel grid (1/256 pixel or finer)                     (px)
constexpr double SLIVER_MARGIN_PX = 1.0 / 16.0;
// slivers of dots larger than this always hold pixel centres: they are drawn untested, which
// also keeps the test's pixel count small and its pixel numbers within range       (px)
constexpr double SLIVER_TEST_MAX_RADIUS_PX = 32.0;

struct TraceBuffers {
    float vertices[HISTORY_LEN][3 * CIRCLE_SEGMENTS];   // x, y, z of every dot's vertices
    GLuint indices[HISTORY_LEN * MAX_INDICES_PER_DOT];  // the triangles handed to the GL
};

static TraceBuffers trace_buffers = {};  // rewritten by every trace; no state between frames

// appends triangle (a, b, c) of the dot whose first vertex is base
static void add_triangle(GLuint base, int a, int b, int c, int* n) {
    GLuint* t = &trace_buffers.indices[*n];
    t[0] = base + static_cast<GLuint>(a % CIRCLE_SEGMENTS);
    t[1] = base + static_cast<GLuint>(b % CIRCLE_SEGMENTS);
    t[2] = base + static_cast<GLuint>(c % CIRCLE_SEGMENTS);
    *n += 3;
}

// what a sliver test needs of sliver k of the unit circle: the unit normal of its chord
// (towards the middle of its arc) and the bounding box of its six vertices
struct SliverShape {
    double nx[SLIVERS], ny[SLIVERS];                            // chord normals       (-)
    double x0[SLIVERS], x1[SLIVERS], y0[SLIVERS], y1[SLIVERS];  // bounding boxes (unit radius)
    double chord;  // distance of every chord from the centre (unit radius)
};

static const SliverShape& sliver_shape() {
    static const SliverShape shape = [] {
        const UnitCircle& u = unit_circle();
        SliverShape t = {};
        for (int k = 0; k < SLIVERS; ++k) {
            const double mid =
                (SLIVER_STEP * k + 0.5 * SLIVER_STEP) * (2.0 * CIRCLE_PI / CIRCLE_SEGMENTS);
            t.nx[k] = std::cos(mid);
            t.ny[k] = std::sin(mid);
            t.x0[k] = t.x1[k] = u.c[SLIVER_STEP * k];
            t.y0[k] = t.y1[k] = u.s[SLIVER_STEP * k];
            for (int j = 1; j <= SLIVER_STEP; ++j) {
                const int v = (SLIVER_STEP * k + j) % CIRCLE_SEGMENTS;
                t.x0[k] = std::fmin(t.x0[k], u.c[v]);
                t.x1[k] = std::fmax(t.x1[k], u.c[v]);
                t.y0[k] = std::fmin(t.y0[k], u.s[v]);
                t.y1[k] = std::fmax(t.y1[k], u.s[v]);
            }
        }
        t.chord = std::cos(CIRCLE_PI * SLIVER_STEP / CIRCLE_SEGMENTS);
        return t;
    }();
    return shape;
}

// whether a pixel centre lies within SLIVER_MARGIN_PX of sliver k of a circle of radius
// r_px about (cx, cy), all in pixels: the sliver lies inside the circle, beyond its chord
// and within the bounding box of its six vertices. Pixel (i, j) has its centre at
// (i + 0.5, j + 0.5).
static bool sliver_may_cover_a_pixel(double cx, double cy, double r_px, int k) {
    const SliverShape& t = sliver_shape();
    const double m = SLIVER_MARGIN_PX;
    const double chord = r_px * t.chord - m;  // nearest a pixel centre may be to the chord (px)
    const double outer = (r_px + m) * (r_px + m);
    const int i0 = static_cast<int>(std::ceil(cx + r_px * t.x0[k] - m - 0.5));
    const int i1 = static_cast<int>(std::floor(cx + r_px * t.x1[k] + m - 0.5));
    const int j0 = static_cast<int>(std::ceil(cy + r_px * t.y0[k] - m - 0.5));
    const int j1 = static_cast<int>(std::floor(cy + r_px * t.y1[k] + m - 0.5));
    for (int j = j0; j <= j1; ++j) {
        for (int i = i0; i <= i1; ++i) {
            const double dx = i + 0.5 - cx;
            const double dy = j + 0.5 - cy;
            if (dx * t.nx[k] + dy * t.ny[k] >= chord && dx * dx + dy * dy <= outer) {
                return true;
            }
        }
    }
    return false;
}

// a filled or outlined circle or half circle of radius r about centre (window units); the
// vertices are placed directly, without moving the origin, which spares the GL a matrix change
// per circle (a frame draws hundreds of them);
//   full: 120 vertices at k 2pi/120; half: 120 vertices at start - k pi/120 (stops one step
//   short of start - pi)
static void emit_round(GLenum mode, const Point2& centre, double r, bool half, double start) {
    glBegin(mode);
    if (half) {
        const double step = CIRCLE_PI / CIRCLE_SEGMENTS;
        for (int k = 0; k < CIRCLE_SEGMENTS; ++k) {
            const double phi = start - k * step;
            glVertex2d(centre.x + r * std::cos(phi), centre.y + r * std::sin(phi));
        }
    } else {
        const UnitCircle& u = unit_circle();
        for (int k = 0; k < CIRCLE_SEGMENTS; ++k) {
            glVertex2d(centre.x + r * u.c[k], centre.y + r * u.s[k]);
        }
    }
    glEnd();
}

// a round shape about centre: every size passes through to_window
static void draw_round(GLenum mode, const Point2& centre, double r, bool half, double start,
                       const Colour4& c) {
    const WindowSystemCall call;
    const Point2 cw = {to_window(centre.x), to_window(centre.y)};
    const double rw = to_window(r);
    begin_shape(c);
    if (drawable(cw) && drawable(rw) && std::isfinite(start)) {
        emit_round(mode, cw, rw, half, start);
    }
    end_shape();
}

// a rectangle with its corner at the rotation centre: (0,0) (w,0) (w,h) (0,h)
static void draw_box(GLenum mode, const Point2& corner, double w, double h, double angle,
                     const Colour4& c) {
    const WindowSystemCall call;
    const Point2 cw = {to_window(corner.x), to_window(corner.y)};
    const double ww = to_window(w);
    const double hw = to_window(h);
    begin_shape(c);
    if (drawable(cw) && drawable(ww) && drawable(hw) && std::isfinite(angle)) {
        glPushMatrix();
        glTranslated(cw.x, cw.y, 0.0);
        glRotated(angle / RAD_PER_DEG, 0.0, 0.0, 1.0);  // GL wants degrees
        glBegin(mode);
        glVertex2d(0.0, 0.0);
        glVertex2d(ww, 0.0);
        glVertex2d(ww, hw);
        glVertex2d(0.0, hw);
        glEnd();
        glPopMatrix();
    }
    end_shape();
}

// the viewport the frame is drawn into (px): the window's size, 800 x 800 unless the screen
// or the user made it another
static void viewport_size(double* width, double* height) {
    GLint vp[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, vp);
    *width = vp[2] > 0 ? vp[2] : 2.0 * HALF_WINDOW_PIXELS;
    *height = vp[3] > 0 ? vp[3] : 2.0 * HALF_WINDOW_PIXELS;
}

// the viewport's height against the 800 pixels the layout was drawn for: line widths follow
// it, so that a smaller window shows the same picture smaller
static double viewport_scale() {
    double w = 0.0;
    double h = 0.0;
    viewport_size(&w, &h);
    return h / (2.0 * HALF_WINDOW_PIXELS);
}

// The window library's bitmap font of a font of the window. Bitmap text keeps its pixel
// size whatever the window's: below the 800 pixels the layout was made for, each font takes
// the next smaller size, so that labels keep their places relative to the plots.
static void* glut_font(TextFont font) {
    const bool reduced = viewport_scale() < 1.0;
    switch (font) {
        case TextFont::large:
            return reduced ? GLUT_BITMAP_HELVETICA_12 : GLUT_BITMAP_HELVETICA_18;
        case TextFont::small:
            return reduced ? GLUT_BITMAP_HELVETICA_10 : GLUT_BITMAP_HELVETICA_12;
        case TextFont::tiny:
            return reduced ? GLUT_BITMAP_TIMES_ROMAN_10 : GLUT_BITMAP_HELVETICA_10;
    }
    return GLUT_BITMAP_HELVETICA_12;  // not reached: every font is named above
}

// the height of a font above its baseline and below it (px)
static void font_extent(TextFont font, double* ascent, double* descent) {
    const void* f = glut_font(font);
    const double size = f == GLUT_BITMAP_HELVETICA_18   ? 18.0
                        : f == GLUT_BITMAP_HELVETICA_12 ? 12.0
                                                        : 10.0;
    *ascent = 0.8 * size;
    *descent = 0.25 * size;
}

// the lengths of the dashes and gaps of a broken line pattern (window)
struct Dashes {
    double on, off;
};

static Dashes dashes_of(LinePattern pattern) {
    return pattern == LinePattern::dotted ? Dashes{DOT_ON, DOT_OFF} : Dashes{DASH_ON, DASH_OFF};
}

// The vertex pairs of the parts of segment a-b (window) that lie on the dashes, the curve
// having run *walked before a; *walked moves on by the segment's length. Position s along the
// segment lies on a dash when (walked + s) mod (on + off) < on.
static void emit_dashes(const Point2& a, const Point2& b, const Dashes& d, double* walked) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::hypot(dx, dy);  // (window)
    const double period = d.on + d.off;        // (window)
    double s = 0.0;                            // distance from a done (window)
    for (int n = 0; n < MAX_DASHES_PER_SEGMENT && s < length; ++n) {
        const double phase = std::fmod(*walked + s, period);
        const bool on = phase < d.on;
        const double end = std::fmin(length, s + (on ? d.on - phase : period - phase));
        if (on) {
            glVertex2d(a.x + dx * (s / length), a.y + dy * (s / length));
            glVertex2d(a.x + dx * (end / length), a.y + dy * (end / length));
        }
        s = end;
    }
    *walked += length;
}

//------------------------------------------------------------------ units

double to_window(double x) {
    return x * PIXELS_PER_METRE / HALF_WINDOW_PIXELS;
}

bool drawable(double v) {
    return std::isfinite(v) && std::fabs(v) < DRAWABLE_LIMIT;
}

//------------------------------------------------------------------ shapes

void draw_line(const Point2& a, const Point2& b, const Colour4& c) {
    const WindowSystemCall call;
    const Point2 aw = {to_window(a.x), to_window(a.y)};
    const Point2 bw = {to_window(b.x), to_window(b.y)};
    begin_shape(c);
    if (drawable(aw) && drawable(bw)) {
        glBegin(GL_LINES);
        glVertex2d(aw.x, aw.y);
        glVertex2d(bw.x, bw.y);
        glEnd();
    }
    end_shape();
}

void draw_thick_line(const Point2& a, const Point2& b, double width_m, const Colour4& c) {
    const WindowSystemCall call;
    const Point2 aw = {to_window(a.x), to_window(a.y)};
    const Point2 bw = {to_window(b.x), to_window(b.y)};
    const double width_px = to_window(width_m * PIXELS_PER_METRE) * viewport_scale();
    begin_shape(c);
    if (drawable(aw) && drawable(bw) && drawable(width_px) && width_px > 0.0) {
        glLineWidth(static_cast<GLfloat>(width_px));
        glBegin(GL_LINES);
        glVertex2d(aw.x, aw.y);
        glVertex2d(bw.x, bw.y);
        glEnd();
    }
    glLineWidth(static_cast<GLfloat>(THICK_LINE_RESTORE_PX));
    end_shape();
}

// a curve of many segments is one GL_LINES primitive: the same pixels as one primitive per
// segment, at a fraction of the cost in a software renderer
void draw_thick_polyline(const Point2* points, const bool* shown, int count, double width_m,
                         const Colour4& c, LinePattern pattern) {
    const WindowSystemCall call;
    const double width_px = to_window(width_m * PIXELS_PER_METRE) * viewport_scale();
    begin_shape(c);
    if (drawable(width_px) && width_px > 0.0 && count > 1) {
        glLineWidth(static_cast<GLfloat>(width_px));
        glBegin(GL_LINES);
        double walked = 0.0;  // length of the segments drawn so far (window)
        for (int i = 1; i < count; ++i) {
            const Point2 aw = {to_window(points[i - 1].x), to_window(points[i - 1].y)};
            const Point2 bw = {to_window(points[i].x), to_window(points[i].y)};
            if ((shown == nullptr || shown[i]) && drawable(aw) && drawable(bw)) {
                if (pattern == LinePattern::solid) {
                    glVertex2d(aw.x, aw.y);
                    glVertex2d(bw.x, bw.y);
                } else {
                    emit_dashes(aw, bw, dashes_of(pattern), &walked);
                }
            }
        }
        glEnd();
    }
    glLineWidth(static_cast<GLfloat>(THICK_LINE_RESTORE_PX));
    end_shape();
}

// Hundreds of dots and segments, one GL primitive each, would cost the software renderer more
// than everything else in the frame. They go in two primitives instead, all dots then all
// segments, and the depth buffer restores the drawing order: item n of the sequence (dot 0,
// dot 1, segment 0-1, dot 2, segment 1-2, ...) lies at depth 1 - (n + 1) * dz and only a
// nearer item may cover a pixel. The depth buffer is cleared first and the test switched off
// again afterwards; nothing else in the window uses depth.
void draw_trace(const Point2* dots, int count, double r, const Colour4& dot_colour,
                const Point2* path, const Colour4& path_colour) {
    const WindowSystemCall call;
    if (count < 1) {
        return;
    }
    count = count < HISTORY_LEN ? count : HISTORY_LEN;  // the buffers hold one run
    const double rw = to_window(r);
    const double dz = 2.0 / (2.0 * count + 2.0);  // depth step between two items (NDC)
    const auto dot_depth = [dz](int i) { return 1.0 - (i == 0 ? 1 : 2 * i) * dz; };
    const auto segment_depth = [dz](int i) { return 1.0 - (2 * i + 1) * dz; };
    const UnitCircle& u = unit_circle();

    begin_shape(dot_colour);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);

    // dots: vertex 120 i + k of the arrays is vertex k of the i-th dot shown. The slivers can
    // be judged in pixels only when a window unit is as many pixels across as up (a square
    // viewport); otherwise every sliver is drawn.
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    const double px_per_unit = 0.5 * viewport[2];  // (px/window)
    const bool cull_slivers =
        viewport[2] == viewport[3] && rw > 0.0 && rw * px_per_unit <= SLIVER_TEST_MAX_RADIUS_PX;
    int shown = 0;    // dots in the arrays
    int indices = 0;  // indices in the arrays
    for (int i = 0; i < count && drawable(rw); ++i) {
        const Point2 cw = {to_window(dots[i].x), to_window(dots[i].y)};
        if (!drawable(cw)) {
            continue;
        }
        const double cx = viewport[0] + (cw.x + 1.0) * px_per_unit;  // centre (px)
        const double cy = viewport[1] + (cw.y + 1.0) * 0.5 * viewport[3];
        const double reach = std::fabs(rw) * 0.5 * std::fmax(viewport[2], viewport[3]) + 1.0;
        if (cx < viewport[0] - reach || cx > viewport[0] + viewport[2] + reach
            || cy < viewport[1] - reach || cy > viewport[1] + viewport[3] + reach) {
            continue;  // wholly outside the window (reach in px): it could colour no pixel
        }
        const auto z = static_cast<float>(dot_depth(i));
        float* v = trace_buffers.vertices[shown];
        for (int k = 0; k < CIRCLE_SEGMENTS; ++k) {
            v[3 * k] = static_cast<float>(cw.x + rw * u.c[k]);
            v[3 * k + 1] = static_cast<float>(cw.y + rw * u.s[k]);
            v[3 * k + 2] = z;
        }
        const auto base = static_cast<GLuint>(shown * CIRCLE_SEGMENTS);
        for (int k = 1; k + 1 < SLIVERS; ++k) {
            add_triangle(base, 0, SLIVER_STEP * k, SLIVER_STEP * (k + 1), &indices);
        }
        for (int k = 0; k < SLIVERS; ++k) {
            if (!cull_slivers || sliver_may_cover_a_pixel(cx, cy, rw * px_per_unit, k)) {
                for (int j = 1; j + 1 <= SLIVER_STEP; ++j) {
                    add_triangle(base, SLIVER_STEP * k, SLIVER_STEP * k + j,
                                 SLIVER_STEP * k + j + 1, &indices);
                }
            }
        }
        ++shown;
    }
    if (indices > 0) {
        glEnableClientState(GL_VERTEX_ARRAY);
        glVertexPointer(3, GL_FLOAT, 0, trace_buffers.vertices);
        glDrawElements(GL_TRIANGLES, indices, GL_UNSIGNED_INT, trace_buffers.indices);
        glDisableClientState(GL_VERTEX_ARRAY);
    }

    // commanded path
    if (path != nullptr) {
        glColor4f(path_colour.r, path_colour.g, path_colour.b, path_colour.a);
        glBegin(GL_LINES);
        for (int i = 1; i < count; ++i) {
            const Point2 aw = {to_window(path[i - 1].x), to_window(path[i - 1].y)};
            const Point2 bw = {to_window(path[i].x), to_window(path[i].y)};
            if (drawable(aw) && drawable(bw)) {
                glVertex3d(aw.x, aw.y, segment_depth(i));
                glVertex3d(bw.x, bw.y, segment_depth(i));
            }
        }
        glEnd();
    }

    glDisable(GL_DEPTH_TEST);
    end_shape();
}

void draw_disc(const Point2& centre, double r, const Colour4& c) {
    draw_round(GL_POLYGON, centre, r, false, 0.0, c);
}

void draw_half_disc(const Point2& centre, double r, double start, const Colour4& c) {
    draw_round(GL_POLYGON, centre, r, true, start, c);
}

// the outline is the closed 120-gon: each vertex is sent once and the loop closes itself
void draw_circle(const Point2& centre, double r, const Colour4& c) {
    draw_round(GL_LINE_LOOP, centre, r, false, 0.0, c);
}

void draw_half_circle(const Point2& centre, double r, double start, const Colour4& c) {
    draw_round(GL_LINE_STRIP, centre, r, true, start, c);
}

void draw_rect(const Point2& corner, double w, double h, double angle, const Colour4& c) {
    draw_box(GL_POLYGON, corner, w, h, angle, c);
}

void draw_rect_outline(const Point2& corner, double w, double h, double angle, const Colour4& c) {
    draw_box(GL_LINE_LOOP, corner, w, h, angle, c);
}

// the two centre lines go first at 2 pixels, then all others at 1 pixel in one batch; the
// picture is that of drawing them line by line, and the width left behind is 1 pixel
void draw_grid(const Point2& centre, double angle, int n, double dx, double dy) {
    const WindowSystemCall call;
    const Point2 cw = {to_window(centre.x), to_window(centre.y)};
    const double dxw = to_window(dx);
    const double dyw = to_window(dy);
    const double X = n * dxw;  // half width of the grid  (window)
    const double Y = n * dyw;  // half height of the grid (window)
    begin_shape(BLACK);
    glPushMatrix();
    if (drawable(cw) && drawable(X) && drawable(Y) && std::isfinite(angle) && n >= 0) {
        glTranslated(cw.x, cw.y, 0.0);
        glRotated(angle / RAD_PER_DEG, 0.0, 0.0, 1.0);  // GL wants degrees
        glLineWidth(2.0f);
        glBegin(GL_LINES);
        glVertex2d(0.0, -Y);
        glVertex2d(0.0, Y);
        glVertex2d(-X, 0.0);
        glVertex2d(X, 0.0);
        glEnd();
        glLineWidth(1.0f);
        glBegin(GL_LINES);
        for (int j = -n; j <= n; ++j) {
            if (j != 0) {
                glVertex2d(j * dxw, -Y);
                glVertex2d(j * dxw, Y);
                glVertex2d(-X, j * dyw);
                glVertex2d(X, j * dyw);
            }
        }
        glEnd();
    }
    glLineWidth(1.0f);
    glPopMatrix();
    end_shape();
}

//------------------------------------------------------------------ text

// The text colour is set explicitly (near black, unlit) rather than left to the lighting state,
// so that the very first frame, drawn before any shape has switched lighting on, shows the
// same near-black text as every later one.
void draw_text(float x, float y, TextFont font, const char* text) {
    const WindowSystemCall call;
    if (!std::isfinite(x) || !std::isfinite(y) || text == nullptr) {
        return;
    }
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glColor4f(TEXT_GREY, TEXT_GREY, TEXT_GREY, 1.0f);
    glRasterPos2f(x, y);
    void* const bitmap = glut_font(font);
    for (const char* ch = text; *ch != '\0'; ++ch) {
        glutBitmapCharacter(bitmap, static_cast<unsigned char>(*ch));
    }
    glPopAttrib();
}

double text_width(TextFont font, const char* text) {
    const WindowSystemCall call;
    double w = 0.0;
    double h = 0.0;
    viewport_size(&w, &h);
    return glutBitmapLength(glut_font(font), reinterpret_cast<const unsigned char*>(text))
           / (w / 2.0);
}

void draw_label_ground(float x, float y, TextFont font, const char* text) {
    double w = 0.0;
    double h = 0.0;
    viewport_size(&w, &h);
    double ascent = 0.0;
    double descent = 0.0;
    font_extent(font, &ascent, &descent);
    const double pad = 2.0 / (w / 2.0);  // two pixels of ground round the letters
    draw_rect({x - pad, y - descent / (h / 2.0)}, text_width(font, text) + 2.0 * pad,
              (ascent + descent) / (h / 2.0), 0.0, WHITE);
}

void draw_label(float x, float y, TextFont font, const char* text) {
    draw_label_ground(x, y, font, text);
    draw_text(x, y, font, text);
}

PlotClip::PlotClip(const Point2& corner, double w, double h) {
    const WindowSystemCall call;
    double vw = 0.0;
    double vh = 0.0;
    viewport_size(&vw, &vh);
    // window units to pixels from the viewport's lower left corner, outward to whole pixels and
    // two more: a curve along the frame's edge (a torque at its limit) keeps its full width
    const double left = std::floor((corner.x + 1.0) / 2.0 * vw) - CLIP_MARGIN_PX;
    const double bottom = std::floor((corner.y + 1.0) / 2.0 * vh) - CLIP_MARGIN_PX;
    const double right = std::ceil((corner.x + w + 1.0) / 2.0 * vw) + CLIP_MARGIN_PX;
    const double top = std::ceil((corner.y + h + 1.0) / 2.0 * vh) + CLIP_MARGIN_PX;
    glScissor(static_cast<GLint>(left), static_cast<GLint>(bottom),
              static_cast<GLsizei>(std::fmax(right - left, 0.0)),
              static_cast<GLsizei>(std::fmax(top - bottom, 0.0)));
    glEnable(GL_SCISSOR_TEST);
}

PlotClip::~PlotClip() {
    const WindowSystemCall call;
    glDisable(GL_SCISSOR_TEST);
}

void draw_caption() {
    draw_text(-0.99f, 0.95f, TextFont::large,
              "robot motion control applied by linear control theory");
}

// reads: the current run's robot_type, gravity, motion, fb_type, cyl.Ki1, scara.Ki1 and
// whether it was accurate, with what its accurate integration met
void draw_status_labels(const Scene& scene) {
    const SceneRun& run = current_run(scene);
    const ParameterSet& ps = *run.experiment;
    const int robot_type = ps.settings.robot_type;
    const TextFont font = TextFont::large;

    // robot
    if (robot_type == 'a') {
        draw_text(-0.95f, 0.90f, font, "(a) cylindrical coordinate robot");
    } else if (robot_type == 'b') {
        draw_text(-0.95f, 0.90f, font, "(b) SCARA robot");
    }

    // plane of motion
    if (ps.settings.gravity == 'g') {
        draw_text(-0.85f, 0.85f, font, "vertical motion");
    } else if (ps.settings.gravity == 'h') {
        draw_text(-0.85f, 0.85f, font, "horizontal motion");
    }

    // command
    switch (ps.settings.motion) {
        case 'q':
            draw_text(-0.85f, 0.80f, font, "PTP step command");
            break;
        case 'p':
            draw_text(-0.85f, 0.80f, font, "PTP trapezoidal velocity command");
            break;
        case 'c':
            draw_text(-0.85f, 0.80f, font, "CP trapezoidal velocity command");
            break;
        default:  // other motion keys name no command
            break;
    }

    // control law: the integral gain is exactly zero when the third pole is zero
    const bool pd = (robot_type == 'a' && ps.model.cyl.Ki1 == 0.0)
                    || (robot_type == 'b' && ps.model.scara.Ki1 == 0.0);
    draw_text(-0.85f, 0.75f, font, pd ? "PD control, KI=0" : "PID control, KI>0");

    // velocity feedback, on the line of the control law
    if (ps.settings.fb_type == 'v') {
        draw_text(-0.45f, 0.75f, font, "velocity FB");
    } else if (ps.settings.fb_type == 'V') {
        draw_text(-0.45f, 0.75f, font, "velocity error FB");
    }

    draw_text(-0.85f, 0.70f, font, "1 grid=(0.1, 0.1)[m]");
    if (run.accurate) {
        draw_text(-0.85f, 0.65f, font, "accurate integration");
        if (run.accurate_stats != nullptr) {
            const AccurateStats& st = *run.accurate_stats;
            char line[128];
            std::snprintf(line, sizeof line, "%ld events, %ld stops, %ld slides%s", st.events,
                          st.stops, st.slides, st.budget_spent ? ", ended early" : "");
            draw_text(-0.85f, 0.60f, font, line);
        }
    }
}

}  // namespace robosim
