// The software GL of the browser build. A vertex goes through the modelview and projection
// matrices (single precision, as a GL driver keeps them) and the viewport into window
// coordinates, y up, which are snapped to a grid of 1/256 pixel. Pixel (i, j) has its centre at
// (i + 0.5, j + 0.5) and is stored in row height - 1 - j of the frame buffer, so that the rows
// go top first.
//
// Triangles and polygons (a polygon is a fan from its first vertex) cover the pixel centres
// inside them; a centre exactly on an edge belongs to the triangle for which that edge is a
// top or a left edge (of the rows as stored), so that two triangles sharing an edge never both
// colour a pixel and never both leave it. Each row of a triangle is one span, solved exactly in
// integers from the three edge functions.
//
// A line one pixel wide colours the pixels whose diamond |x - xc| + |y - yc| < 1/2 it leaves
// (the diamond-exit rule): a strip of connected lines colours each shared end once; a line
// exactly between two rows (columns) takes the lower one. A wider line, of its width rounded to
// whole pixels, covers the same columns (x-major) or rows (y-major) as the thin one, each as far
// as the parallelogram reaching half the width above and below (left and right of) it.
//
// A bitmap's corner is the raster position less its origin, rounded down, where a raster
// position a rounding error short of a whole pixel counts as that pixel.
#include "platform/web/soft_gl.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace robosim::softgl {

//------------------------------------------------------------------ fonts

// one character of a bitmap font, as the window library hands it to its bitmap call
struct FontGlyph {
    int width, height;   // bitmap size                                  (px)
    float xorig, yorig;  // raster position within the bitmap            (px)
    float xmove, ymove;  // how far the raster position moves on         (px)
    int row;             // first byte of its rows in the font's row table
};

#include "platform/web/glut_fonts.inc"

struct FontTable {
    const FontGlyph* glyphs;    // characters 0 .. 255
    const unsigned char* rows;  // their bitmaps, bottom row first, whole bytes, leftmost bit high
};

static FontTable font_table(BitmapFont font) {
    switch (font) {
        case BitmapFont::helvetica_10:
            return {HELVETICA_10_GLYPHS, HELVETICA_10_ROWS};
        case BitmapFont::helvetica_12:
            return {HELVETICA_12_GLYPHS, HELVETICA_12_ROWS};
        case BitmapFont::helvetica_18:
            return {HELVETICA_18_GLYPHS, HELVETICA_18_ROWS};
        case BitmapFont::times_roman_10:
            return {TIMES_ROMAN_10_GLYPHS, TIMES_ROMAN_10_ROWS};
    }
    return {HELVETICA_12_GLYPHS, HELVETICA_12_ROWS};
}

//------------------------------------------------------------------ state

// GL's values of the enums this GL knows
constexpr unsigned LINES = 0x0001, LINE_LOOP = 0x0002, LINE_STRIP = 0x0003, TRIANGLES = 0x0004,
                   POLYGON = 0x0009;
constexpr unsigned LIGHTING = 0x0B50, DEPTH_TEST = 0x0B71, SCISSOR_TEST = 0x0C11;
constexpr unsigned CURRENT_BIT = 0x0001, DEPTH_BUFFER_BIT = 0x0100, ENABLE_BIT = 0x2000,
                   COLOR_BUFFER_BIT = 0x4000;
constexpr unsigned VIEWPORT = 0x0BA2, MODELVIEW = 0x1700, PROJECTION = 0x1701;
constexpr unsigned UNSIGNED_INT = 0x1405, FLOAT = 0x1406;

constexpr int SUBPIXEL_BITS = 8;                      // vertices snap to 1/256 pixel     (-)
constexpr int64_t ONE = int64_t{1} << SUBPIXEL_BITS;  // one pixel                  (1/256 px)
// vertices farther out than this are clipped to it first, which keeps the edge functions'
// products within 64 bits; nothing this far out is seen                        (px)
constexpr float GUARD_BAND = 1 << 15;
constexpr float RASTER_EPSILON = 1.0e-4f;  // a rounding error of a raster position (px)
constexpr int MATRIX_STACK_DEPTH = 32;     // GL's minimum is 32 for modelview       (-)
// the colour of a lit vertex: no light is switched on, so it is the scene's ambient light
// times the material's, both GL's defaults (0.2 each), with the material's diffuse alpha
constexpr float LIT_GREY = 0.2f * 0.2f;

// a column-major 4 x 4 matrix, as GL lays it out
struct Matrix {
    float m[16];
};

constexpr Matrix IDENTITY = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

// a vertex in window coordinates
struct Vertex {
    float x, y;  // (px, y up)
    float z;     // depth, 0 near .. 1 far (-)
};

// what glPushAttrib keeps of GL_CURRENT_BIT and GL_ENABLE_BIT
struct Attributes {
    unsigned mask;      // the groups kept
    float current[4];   // current colour
    float raster[3];    // raster position (px, px, depth)
    bool raster_valid;  // it lies within the window
    uint32_t raster_rgba;
    bool lighting, depth_test, scissor_test;
};

struct State {
    int width = 0, height = 0;     // frame buffer size (px)
    std::vector<uint32_t> pixels;  // RGBA bytes of each pixel, rows top first
    std::vector<float> depth;      // depth of each pixel, rows top first (-)
    float clear_rgba[4] = {0, 0, 0, 0};
    float current[4] = {1, 1, 1, 1};  // current colour
    bool lighting = false, depth_test = false, scissor_test = false;
    int view[4] = {0, 0, 0, 0};  // viewport x, y, width, height (px)
    int box[4] = {0, 0, 0, 0};   // scissor box x, y, width, height (px)
    float line_width = 1.0f;     // (px)
    unsigned matrix_mode = MODELVIEW;
    std::vector<Matrix> modelview = {IDENTITY};  // the stacks, top last
    std::vector<Matrix> projection = {IDENTITY};
    Matrix mvp = IDENTITY;        // projection times modelview, when not stale
    bool mvp_stale = false;       // a matrix changed since mvp was formed
    float raster[3] = {0, 0, 0};  // raster position (px, px, depth)
    bool raster_valid = true;
    uint32_t raster_rgba = 0xFFFFFFFF;   // colour latched with the raster position
    std::vector<Attributes> attributes;  // glPushAttrib's stack
    bool vertex_array = false;           // GL_VERTEX_ARRAY on
    int array_size = 0;                  // coordinates per array vertex (-)
    int array_stride = 0;                // bytes from one array vertex to the next
    const float* array = nullptr;        // the array's first vertex
    unsigned mode = 0;                   // primitive between glBegin and glEnd
    bool inside = false;                 // between glBegin and glEnd
    std::vector<Vertex> vertices;        // its vertices so far
    uint32_t rgba = 0;                   // its colour (that of its last vertex)
    // the rows and columns whose depth was written since the depth buffer was last cleared:
    // only they need clearing again (a frame's depth test covers the trace of the robot view)
    int depth_x0 = 0, depth_y0 = 0, depth_x1 = 0, depth_y1 = 0;
};

static State gl = {};

//------------------------------------------------------------------ helpers

// the RGBA bytes of a colour, as one 32-bit word in memory order
static uint32_t pack(const float c[4]) {
    unsigned char bytes[4];
    for (int i = 0; i < 3; ++i) {
        const float v = std::clamp(c[i], 0.0f, 1.0f);
        bytes[i] = static_cast<unsigned char>(std::lrint(v * 255.0f));
    }
    bytes[3] = 255;  // the page shows every pixel opaque
    uint32_t word = 0;
    std::memcpy(&word, bytes, 4);
    return word;
}

// the colour a vertex or raster position takes now
static uint32_t vertex_rgba() {
    if (gl.lighting) {
        const float lit[4] = {LIT_GREY, LIT_GREY, LIT_GREY, 1.0f};
        return pack(lit);
    }
    return pack(gl.current);
}

// the top of the current stack, to be changed: the product is formed again before use
static Matrix& top_matrix() {
    gl.mvp_stale = true;
    return gl.matrix_mode == PROJECTION ? gl.projection.back() : gl.modelview.back();
}

static std::vector<Matrix>& matrix_stack() {
    gl.mvp_stale = true;
    return gl.matrix_mode == PROJECTION ? gl.projection : gl.modelview;
}

// a times b
static Matrix product(const Matrix& a, const Matrix& b) {
    Matrix r = {};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float s = 0.0f;
            for (int k = 0; k < 4; ++k) {
                s += a.m[k * 4 + row] * b.m[col * 4 + k];
            }
            r.m[col * 4 + row] = s;
        }
    }
    return r;
}

// (x, y, z, 1) through the projection and modelview matrices: clip coordinates
static void to_clip(float x, float y, float z, float clip[4]) {
    if (gl.mvp_stale) {
        gl.mvp = product(gl.projection.back(), gl.modelview.back());
        gl.mvp_stale = false;
    }
    const Matrix& mvp = gl.mvp;
    for (int row = 0; row < 4; ++row) {
        clip[row] = mvp.m[row] * x + mvp.m[4 + row] * y + mvp.m[8 + row] * z + mvp.m[12 + row];
    }
}

// clip coordinates to window coordinates through the viewport and the depth range 0 .. 1
static Vertex to_window(const float clip[4]) {
    const float w = clip[3];
    const float half_w = 0.5f * static_cast<float>(gl.view[2]);
    const float half_h = 0.5f * static_cast<float>(gl.view[3]);
    return {clip[0] / w * half_w + (static_cast<float>(gl.view[0]) + half_w),
            clip[1] / w * half_h + (static_cast<float>(gl.view[1]) + half_h),
            clip[2] / w * 0.5f + 0.5f};
}

// the pixels a primitive may colour: the frame buffer within the viewport and, when on, the
// scissor box; x0 <= i < x1, y0 <= j < y1
struct Rect {
    int x0, y0, x1, y1;
};

static Rect drawing_box() {
    Rect r = {std::max(0, gl.view[0]), std::max(0, gl.view[1]),
              std::min(gl.width, gl.view[0] + gl.view[2]),
              std::min(gl.height, gl.view[1] + gl.view[3])};
    if (gl.scissor_test) {
        r.x0 = std::max(r.x0, gl.box[0]);
        r.y0 = std::max(r.y0, gl.box[1]);
        r.x1 = std::min(r.x1, gl.box[0] + gl.box[2]);
        r.y1 = std::min(r.y1, gl.box[1] + gl.box[3]);
    }
    return r;
}

static int64_t floor_div(int64_t a, int64_t b) {  // b > 0
    const int64_t q = a / b;
    return q * b > a ? q - 1 : q;
}

static int64_t snap(float v) {
    return std::llrint(static_cast<double>(v) * static_cast<double>(ONE));
}

//------------------------------------------------------------------ spans

// colours pixels i0 <= i < i1 of row j at depth z (when the depth test is on)
static void fill_span(int j, int i0, int i1, float z, uint32_t rgba) {
    const size_t row = static_cast<size_t>(gl.height - 1 - j) * static_cast<size_t>(gl.width);
    uint32_t* p = gl.pixels.data() + row;
    if (!gl.depth_test) {
        std::fill(p + i0, p + i1, rgba);
        return;
    }
    gl.depth_x0 = std::min(gl.depth_x0, i0);
    gl.depth_x1 = std::max(gl.depth_x1, i1);
    gl.depth_y0 = std::min(gl.depth_y0, j);
    gl.depth_y1 = std::max(gl.depth_y1, j + 1);
    float* d = gl.depth.data() + row;
    for (int i = i0; i < i1; ++i) {
        if (z < d[i]) {
            d[i] = z;
            p[i] = rgba;
        }
    }
}

//------------------------------------------------------------------ triangles

// whether a pixel centre on the directed edge (dx, dy) of a counter-clockwise triangle (y up)
// is inside: the top-left rule of the rows as stored, top first
static bool owns_edge(int64_t dx, int64_t dy) {
    return dy < 0 || (dy == 0 && dx > 0);
}

// a triangle of snapped window coordinates (1/256 px), at depth z
static void fill_snapped(const int64_t x[3], const int64_t y[3], float z, uint32_t rgba,
                         const Rect& clip) {
    int64_t X[3] = {x[0], x[1], x[2]};
    int64_t Y[3] = {y[0], y[1], y[2]};
    const int64_t area = (X[1] - X[0]) * (Y[2] - Y[0]) - (X[2] - X[0]) * (Y[1] - Y[0]);
    if (area == 0) {
        return;
    }
    if (area < 0) {
        std::swap(X[1], X[2]);
        std::swap(Y[1], Y[2]);
    }
    const int64_t ymin = std::min({Y[0], Y[1], Y[2]});
    const int64_t ymax = std::max({Y[0], Y[1], Y[2]});
    // rows whose centre may lie within: (j + 1/2) ONE in [ymin, ymax]
    const int j0 = static_cast<int>(std::max<int64_t>(clip.y0, floor_div(ymin - ONE / 2, ONE)));
    const int j1 = static_cast<int>(std::min<int64_t>(clip.y1 - 1, floor_div(ymax - ONE / 2, ONE)));
    // each edge k: E(i, j) = dx (PY - Y0) - dy (PX - X0) > 0 inside, with PX = i ONE + ONE/2
    int64_t a[3], b[3], dxs[3];
    for (int k = 0; k < 3; ++k) {
        const int n = (k + 1) % 3;
        const int64_t dx = X[n] - X[k];
        const int64_t dy = Y[n] - Y[k];
        a[k] = -ONE * dy;  // per pixel to the right
        dxs[k] = dx;
        b[k] = -dy * (ONE / 2 - X[k]) - dx * Y[k] + (owns_edge(dx, dy) ? 1 : 0);
    }
    for (int j = j0; j <= j1; ++j) {
        const int64_t py = static_cast<int64_t>(j) * ONE + ONE / 2;
        int64_t lo = clip.x0;
        int64_t hi = clip.x1;  // exclusive
        for (int k = 0; k < 3 && lo < hi; ++k) {
            const int64_t bk = b[k] + dxs[k] * py;  // a i + bk > 0 inside
            if (a[k] > 0) {
                lo = std::max(lo, floor_div(-bk, a[k]) + 1);
            } else if (a[k] < 0) {
                // i < bk / -a: the largest such i is ceil(bk / -a) - 1
                hi = std::min(hi, -floor_div(-bk, -a[k]));
            } else if (bk <= 0) {
                hi = lo;
            }
        }
        if (lo < hi) {
            fill_span(j, static_cast<int>(lo), static_cast<int>(hi), z, rgba);
        }
    }
}

// clips a convex polygon to the guard band; returns its vertex count
static int clip_to_guard(std::vector<Vertex>* poly) {
    for (int side = 0; side < 4; ++side) {
        std::vector<Vertex> out;
        const size_t n = poly->size();
        const auto dist = [side](const Vertex& v) {
            const float c = side < 2 ? v.x : v.y;
            return side % 2 == 0 ? c + GUARD_BAND : GUARD_BAND - c;  // >= 0 inside
        };
        for (size_t i = 0; i < n; ++i) {
            const Vertex& p = (*poly)[i];
            const Vertex& q = (*poly)[(i + 1) % n];
            const float dp = dist(p);
            const float dq = dist(q);
            if (dp >= 0) {
                out.push_back(p);
            }
            if ((dp >= 0) != (dq >= 0)) {
                const float t = dp / (dp - dq);
                out.push_back(
                    {p.x + t * (q.x - p.x), p.y + t * (q.y - p.y), p.z + t * (q.z - p.z)});
            }
        }
        *poly = std::move(out);
    }
    return static_cast<int>(poly->size());
}

static bool in_guard(const Vertex& v) {
    return std::fabs(v.x) <= GUARD_BAND && std::fabs(v.y) <= GUARD_BAND;
}

// a triangle at one depth: the view's shapes are flat (one depth per shape)
static void fill_triangle(const Vertex& a, const Vertex& b, const Vertex& c, uint32_t rgba) {
    const Rect clip = drawing_box();
    if (clip.x0 >= clip.x1 || clip.y0 >= clip.y1) {
        return;
    }
    const float z = std::min({a.z, b.z, c.z});
    if (in_guard(a) && in_guard(b) && in_guard(c)) {
        const int64_t x[3] = {snap(a.x), snap(b.x), snap(c.x)};
        const int64_t y[3] = {snap(a.y), snap(b.y), snap(c.y)};
        fill_snapped(x, y, z, rgba, clip);
        return;
    }
    std::vector<Vertex> poly = {a, b, c};
    const int n = clip_to_guard(&poly);
    for (int k = 1; k + 1 < n; ++k) {
        const int64_t x[3] = {snap(poly[0].x), snap(poly[k].x), snap(poly[k + 1].x)};
        const int64_t y[3] = {snap(poly[0].y), snap(poly[k].y), snap(poly[k + 1].y)};
        fill_snapped(x, y, z, rgba, clip);
    }
}

//------------------------------------------------------------------ lines

// clips segment a-b to the guard band (Liang-Barsky); false when nothing is left
static bool clip_line(Vertex* a, Vertex* b) {
    double t0 = 0.0;
    double t1 = 1.0;
    const double dx = b->x - a->x;
    const double dy = b->y - a->y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a->x + GUARD_BAND, GUARD_BAND - a->x, a->y + GUARD_BAND,
                         GUARD_BAND - a->y};
    for (int k = 0; k < 4; ++k) {
        if (p[k] == 0.0) {
            if (q[k] < 0.0) {
                return false;
            }
        } else {
            const double t = q[k] / p[k];
            if (p[k] < 0.0) {
                t0 = std::max(t0, t);
            } else {
                t1 = std::min(t1, t);
            }
        }
    }
    if (t0 > t1) {
        return false;
    }
    const Vertex s = *a;
    const Vertex e = *b;
    *a = {static_cast<float>(s.x + t0 * dx), static_cast<float>(s.y + t0 * dy), s.z};
    *b = {static_cast<float>(s.x + t1 * dx), static_cast<float>(s.y + t1 * dy), e.z};
    return true;
}

// the offset u >= 0 along the major axis, from a diamond's centre line, at which a line leaves
// the diamond: u + |d + m u| = 1/2, d the line's minor offset from the centre at the centre
// line, m its slope along the direction of travel (|m| <= 1)
static double diamond_exit(double d, double m) {
    if (1.0 + m > 0.0) {
        const double u = (0.5 - d) / (1.0 + m);
        if (d + m * u >= 0.0) {
            return u;
        }
    }
    return (0.5 + d) / (1.0 - m);
}

// a line as the diamond-exit rule sees it: endpoints snapped, in pixels, along its major axis
// (p) and its minor axis (q)
struct MajorRange {
    bool x_major;     // |dx| >= |dy|
    double p0, q0;    // start (px)
    double m;         // minor per major (-)
    int first, last;  // the cells along the major axis whose diamond the line leaves
};

// false when the line leaves no diamond
static bool major_range(const Vertex& a, const Vertex& b, MajorRange* r) {
    const double ax = static_cast<double>(snap(a.x)) / ONE;
    const double ay = static_cast<double>(snap(a.y)) / ONE;
    const double bx = static_cast<double>(snap(b.x)) / ONE;
    const double by = static_cast<double>(snap(b.y)) / ONE;
    r->x_major = std::fabs(bx - ax) >= std::fabs(by - ay);
    const double p0 = r->x_major ? ax : ay, q0 = r->x_major ? ay : ax;
    const double p1 = r->x_major ? bx : by, q1 = r->x_major ? by : bx;
    if (p0 == p1) {
        return false;  // a point: no diamond is left
    }
    r->p0 = p0;
    r->q0 = q0;
    r->m = (q1 - q0) / (p1 - p0);
    const double s = p1 > p0 ? 1.0 : -1.0;  // direction of travel on the major axis
    // whether the line leaves the diamond of cell c; it leaves a diamond within 1/2 of the
    // centre, so only the cells at the ends need the exact exit
    const auto leaves = [&](int c) {
        const double pc = c + 0.5;
        const double q = q0 + (pc - p0) * r->m;
        const double d = q - (std::ceil(q) - 0.5);  // -1/2 < d <= 1/2
        const double exit = pc + s * diamond_exit(d, r->m * s);
        return s * (exit - p0) > 0.0 && s * (p1 - exit) >= 0.0;
    };
    const int c0 = static_cast<int>(std::floor(std::min(p0, p1))) - 1;
    const int c1 = static_cast<int>(std::floor(std::max(p0, p1))) + 1;
    r->first = c0;
    while (r->first <= c1 && !leaves(r->first)) {
        ++r->first;
    }
    r->last = c1;
    while (r->last >= r->first && !leaves(r->last)) {
        --r->last;
    }
    return r->first <= r->last;
}

// a line one pixel wide: in each cell along the major axis, the pixel the line crosses at
// the cell's centre; a line exactly between two rows (or columns) goes to the lower one
static void thin_line(const Vertex& a, const Vertex& b, uint32_t rgba, const Rect& clip) {
    MajorRange r = {};
    if (!major_range(a, b, &r)) {
        return;
    }
    const float z = std::min(a.z, b.z);
    for (int c = r.first; c <= r.last; ++c) {
        const double q = r.q0 + (c + 0.5 - r.p0) * r.m;
        const int minor = static_cast<int>(std::ceil(q)) - 1;
        const int i = r.x_major ? c : minor;
        const int j = r.x_major ? minor : c;
        if (i >= clip.x0 && i < clip.x1 && j >= clip.y0 && j < clip.y1) {
            fill_span(j, i, i + 1, z, rgba);
        }
    }
}

// a line of the current width: a wider line covers the same cells along its major axis as a
// thin one, each as far as the parallelogram reaches to either side
static void line(Vertex a, Vertex b, uint32_t rgba) {
    Rect clip = drawing_box();
    if (clip.x0 >= clip.x1 || clip.y0 >= clip.y1 || !clip_line(&a, &b)) {
        return;
    }
    const float w = std::max(1.0f, std::round(gl.line_width));  // (px)
    if (w <= 1.0f) {
        thin_line(a, b, rgba, clip);
        return;
    }
    MajorRange r = {};
    if (!major_range(a, b, &r)) {
        return;
    }
    if (r.x_major) {
        clip.x0 = std::max(clip.x0, r.first);
        clip.x1 = std::min(clip.x1, r.last + 1);
    } else {
        clip.y0 = std::max(clip.y0, r.first);
        clip.y1 = std::min(clip.y1, r.last + 1);
    }
    // the parallelogram, a pixel or more longer at each end so that the cells alone end it;
    // lengthened by whole multiples of itself, its sides stay exactly on the snapped line
    const int64_t ax = snap(a.x), ay = snap(a.y);
    const int64_t dx = snap(b.x) - ax, dy = snap(b.y) - ay;
    const int64_t major = r.x_major ? std::llabs(dx) : std::llabs(dy);  // > 0: cells exist
    const int64_t t = (ONE + major - 1) / major;
    const int64_t sx = ax - t * dx, sy = ay - t * dy;              // start, moved back
    const int64_t fx = ax + (t + 1) * dx, fy = ay + (t + 1) * dy;  // end, moved on
    const int64_t half = static_cast<int64_t>(w) * ONE / 2;        // (1/256 px)
    const int64_t ox = r.x_major ? 0 : half;
    const int64_t oy = r.x_major ? half : 0;
    const int64_t x[4] = {sx - ox, fx - ox, fx + ox, sx + ox};
    const int64_t y[4] = {sy - oy, fy - oy, fy + oy, sy + oy};
    const float z = std::min(a.z, b.z);
    const int64_t t0x[3] = {x[0], x[1], x[2]};
    const int64_t t0y[3] = {y[0], y[1], y[2]};
    const int64_t t1x[3] = {x[0], x[2], x[3]};
    const int64_t t1y[3] = {y[0], y[2], y[3]};
    fill_snapped(t0x, t0y, z, rgba, clip);
    fill_snapped(t1x, t1y, z, rgba, clip);
}

//------------------------------------------------------------------ primitives

static void draw_primitive() {
    const std::vector<Vertex>& v = gl.vertices;
    const size_t n = v.size();
    switch (gl.mode) {
        case LINES:
            for (size_t k = 0; k + 1 < n; k += 2) {
                line(v[k], v[k + 1], gl.rgba);
            }
            break;
        case LINE_STRIP:
        case LINE_LOOP:
            for (size_t k = 0; k + 1 < n; ++k) {
                line(v[k], v[k + 1], gl.rgba);
            }
            if (gl.mode == LINE_LOOP && n > 1) {
                line(v[n - 1], v[0], gl.rgba);
            }
            break;
        case TRIANGLES:
            for (size_t k = 0; k + 2 < n; k += 3) {
                fill_triangle(v[k], v[k + 1], v[k + 2], gl.rgba);
            }
            break;
        case POLYGON:
            for (size_t k = 1; k + 1 < n; ++k) {
                fill_triangle(v[0], v[k], v[k + 1], gl.rgba);
            }
            break;
        default:  // a mode this GL does not draw: nothing
            break;
    }
}

//------------------------------------------------------------------ frame buffer

void resize(int width, int height) {
    gl.width = std::max(0, width);
    gl.height = std::max(0, height);
    const size_t n = static_cast<size_t>(gl.width) * static_cast<size_t>(gl.height);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    gl.pixels.assign(n, pack(black));
    gl.depth.assign(n, 1.0f);
    gl.depth_x0 = gl.width;
    gl.depth_y0 = gl.height;
    gl.depth_x1 = 0;
    gl.depth_y1 = 0;
    viewport(0, 0, gl.width, gl.height);
    scissor(0, 0, gl.width, gl.height);
}

const unsigned char* rgba() {
    return reinterpret_cast<const unsigned char*>(gl.pixels.data());
}

int width() {
    return gl.width;
}

int height() {
    return gl.height;
}

//------------------------------------------------------------------ the GL calls

void begin(unsigned mode) {
    gl.mode = mode;
    gl.inside = true;
    gl.vertices.clear();
}

void end() {
    if (gl.inside) {
        draw_primitive();
    }
    gl.inside = false;
    gl.vertices.clear();
}

void vertex(double x, double y, double z) {
    if (!gl.inside) {
        return;
    }
    float clip[4];
    to_clip(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z), clip);
    if (!(clip[3] > 0.0f)) {
        return;  // behind the eye: the view's matrices never put a vertex there
    }
    gl.vertices.push_back(to_window(clip));
    gl.rgba = vertex_rgba();
}

void colour(float r, float g, float b, float a) {
    gl.current[0] = r;
    gl.current[1] = g;
    gl.current[2] = b;
    gl.current[3] = a;
}

void line_width(float width) {
    if (width > 0.0f) {
        gl.line_width = width;
    }
}

void matrix_mode(unsigned mode) {
    if (mode == MODELVIEW || mode == PROJECTION) {
        gl.matrix_mode = mode;
    }
}

void load_identity() {
    top_matrix() = IDENTITY;
}

void push_matrix() {
    std::vector<Matrix>& stack = matrix_stack();
    if (static_cast<int>(stack.size()) < MATRIX_STACK_DEPTH) {
        stack.push_back(stack.back());
    }
}

void pop_matrix() {
    std::vector<Matrix>& stack = matrix_stack();
    if (stack.size() > 1) {
        stack.pop_back();
    }
}

void translate(double x, double y, double z) {
    Matrix t = IDENTITY;
    t.m[12] = static_cast<float>(x);
    t.m[13] = static_cast<float>(y);
    t.m[14] = static_cast<float>(z);
    top_matrix() = product(top_matrix(), t);
}

void rotate(double angle_deg, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    if (!(length > 0.0)) {
        return;
    }
    const float a = static_cast<float>(angle_deg) * (3.14159265358979323846f / 180.0f);
    const float s = std::sin(a);
    const float c = std::cos(a);
    const float ux = static_cast<float>(x / length);
    const float uy = static_cast<float>(y / length);
    const float uz = static_cast<float>(z / length);
    const float k = 1.0f - c;
    Matrix r = IDENTITY;
    r.m[0] = ux * ux * k + c;
    r.m[1] = uy * ux * k + uz * s;
    r.m[2] = ux * uz * k - uy * s;
    r.m[4] = ux * uy * k - uz * s;
    r.m[5] = uy * uy * k + c;
    r.m[6] = uy * uz * k + ux * s;
    r.m[8] = ux * uz * k + uy * s;
    r.m[9] = uy * uz * k - ux * s;
    r.m[10] = uz * uz * k + c;
    top_matrix() = product(top_matrix(), r);
}

void enable(unsigned cap, bool on) {
    if (cap == LIGHTING) {
        gl.lighting = on;
    } else if (cap == DEPTH_TEST) {
        gl.depth_test = on;
    } else if (cap == SCISSOR_TEST) {
        gl.scissor_test = on;
    }
}

void depth_func(unsigned /*func*/) {
    // GL_LESS is the only test this GL draws with
}

void push_attrib(unsigned mask) {
    Attributes a = {};
    a.mask = mask;
    std::copy(gl.current, gl.current + 4, a.current);
    std::copy(gl.raster, gl.raster + 3, a.raster);
    a.raster_valid = gl.raster_valid;
    a.raster_rgba = gl.raster_rgba;
    a.lighting = gl.lighting;
    a.depth_test = gl.depth_test;
    a.scissor_test = gl.scissor_test;
    gl.attributes.push_back(a);
}

void pop_attrib() {
    if (gl.attributes.empty()) {
        return;
    }
    const Attributes a = gl.attributes.back();
    gl.attributes.pop_back();
    if ((a.mask & CURRENT_BIT) != 0) {
        std::copy(a.current, a.current + 4, gl.current);
        std::copy(a.raster, a.raster + 3, gl.raster);
        gl.raster_valid = a.raster_valid;
        gl.raster_rgba = a.raster_rgba;
    }
    if ((a.mask & ENABLE_BIT) != 0) {
        gl.lighting = a.lighting;
        gl.depth_test = a.depth_test;
        gl.scissor_test = a.scissor_test;
    }
}

void clear(unsigned mask) {
    Rect r = {0, 0, gl.width, gl.height};
    if (gl.scissor_test) {
        r = {std::max(0, gl.box[0]), std::max(0, gl.box[1]),
             std::min(gl.width, gl.box[0] + gl.box[2]), std::min(gl.height, gl.box[1] + gl.box[3])};
    }
    if (r.x0 >= r.x1 || r.y0 >= r.y1) {
        return;
    }
    const uint32_t colour_word = pack(gl.clear_rgba);
    for (int j = r.y0; j < r.y1 && (mask & COLOR_BUFFER_BIT) != 0; ++j) {
        const size_t row = static_cast<size_t>(gl.height - 1 - j) * static_cast<size_t>(gl.width);
        std::fill(gl.pixels.data() + row + r.x0, gl.pixels.data() + row + r.x1, colour_word);
    }
    // the depth cleared is the part of the box written since the last clear
    const Rect d = {std::max(r.x0, gl.depth_x0), std::max(r.y0, gl.depth_y0),
                    std::min(r.x1, gl.depth_x1), std::min(r.y1, gl.depth_y1)};
    for (int j = d.y0; j < d.y1 && d.x0 < d.x1 && (mask & DEPTH_BUFFER_BIT) != 0; ++j) {
        const size_t row = static_cast<size_t>(gl.height - 1 - j) * static_cast<size_t>(gl.width);
        std::fill(gl.depth.data() + row + d.x0, gl.depth.data() + row + d.x1, 1.0f);
    }
    if ((mask & DEPTH_BUFFER_BIT) != 0 && r.x0 == 0 && r.y0 == 0 && r.x1 == gl.width
        && r.y1 == gl.height) {
        gl.depth_x0 = gl.width;
        gl.depth_y0 = gl.height;
        gl.depth_x1 = 0;
        gl.depth_y1 = 0;
    }
}

void clear_colour(float r, float g, float b, float a) {
    gl.clear_rgba[0] = r;
    gl.clear_rgba[1] = g;
    gl.clear_rgba[2] = b;
    gl.clear_rgba[3] = a;
}

void viewport(int x, int y, int width, int height) {
    if (width >= 0 && height >= 0) {
        gl.view[0] = x;
        gl.view[1] = y;
        gl.view[2] = width;
        gl.view[3] = height;
    }
}

void get_integer(unsigned name, int* values) {
    if (name == VIEWPORT) {
        std::copy(gl.view, gl.view + 4, values);
    }
}

void scissor(int x, int y, int width, int height) {
    if (width >= 0 && height >= 0) {
        gl.box[0] = x;
        gl.box[1] = y;
        gl.box[2] = width;
        gl.box[3] = height;
    }
}

void raster_pos(float x, float y) {
    float clip[4];
    to_clip(x, y, 0.0f, clip);
    const float w = clip[3];
    gl.raster_valid =
        w > 0.0f && std::fabs(clip[0]) <= w && std::fabs(clip[1]) <= w && std::fabs(clip[2]) <= w;
    if (gl.raster_valid) {
        const Vertex v = to_window(clip);
        gl.raster[0] = v.x;
        gl.raster[1] = v.y;
        gl.raster[2] = v.z;
        gl.raster_rgba = vertex_rgba();
    }
}

void vertex_array(bool on) {
    gl.vertex_array = on;
}

void vertex_pointer(int size, unsigned type, int stride, const void* pointer) {
    if (type != FLOAT || size < 2 || size > 4 || stride < 0) {
        return;
    }
    gl.array_size = size;
    gl.array_stride = stride == 0 ? size * static_cast<int>(sizeof(float)) : stride;
    gl.array = static_cast<const float*>(pointer);
}

void draw_elements(unsigned mode, int count, unsigned type, const void* indices) {
    if (!gl.vertex_array || gl.array == nullptr || type != UNSIGNED_INT || count <= 0
        || gl.inside) {
        return;
    }
    const auto* index = static_cast<const uint32_t*>(indices);
    const auto* base = reinterpret_cast<const unsigned char*>(gl.array);
    begin(mode);
    gl.vertices.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) {
        const auto* p = reinterpret_cast<const float*>(
            base + static_cast<size_t>(index[k]) * static_cast<size_t>(gl.array_stride));
        vertex(p[0], p[1], gl.array_size > 2 ? p[2] : 0.0f);
    }
    end();
}

//------------------------------------------------------------------ bitmap text

void bitmap_character(BitmapFont font, int character) {
    if (character < 1 || character > 255 || !gl.raster_valid) {
        return;
    }
    const FontTable table = font_table(font);
    const FontGlyph& g = table.glyphs[character];
    const Rect clip = drawing_box();
    const int x0 = static_cast<int>(std::floor(gl.raster[0] + RASTER_EPSILON - g.xorig));
    const int y0 = static_cast<int>(std::floor(gl.raster[1] + RASTER_EPSILON - g.yorig));
    const int row_bytes = (g.width + 7) / 8;
    const unsigned char* bits = table.rows + g.row;
    for (int r = 0; r < g.height; ++r) {
        const int j = y0 + r;
        if (j < clip.y0 || j >= clip.y1) {
            continue;
        }
        for (int c = 0; c < g.width; ++c) {
            const int i = x0 + c;
            if (i >= clip.x0 && i < clip.x1 && (bits[r * row_bytes + c / 8] & (0x80 >> (c % 8)))) {
                gl.pixels[static_cast<size_t>(gl.height - 1 - j) * static_cast<size_t>(gl.width)
                          + static_cast<size_t>(i)] = gl.raster_rgba;
            }
        }
    }
    gl.raster[0] += g.xmove;
    gl.raster[1] += g.ymove;
}

int bitmap_length(BitmapFont font, const unsigned char* text) {
    if (text == nullptr) {
        return 0;
    }
    const FontTable table = font_table(font);
    int widest = 0;
    int line_length = 0;
    for (const unsigned char* ch = text; *ch != '\0'; ++ch) {
        if (*ch == '\n') {
            line_length = 0;
        } else {
            line_length += static_cast<int>(table.glyphs[*ch].xmove);
            widest = std::max(widest, line_length);
        }
    }
    return widest;
}

}  // namespace robosim::softgl
