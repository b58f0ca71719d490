// The drawing primitives on a real GL window: where they put pixels, how wide their lines are,
// and the GL state they leave behind for the primitives and text that follow.
#include "view/draw.h"

#include "app/session.h"
#include "model/parameters.h"
#include "tests/view/view_fixture.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

using namespace robosim;

namespace {

using DrawPrimitives = ViewTest;

// red pixels in one pixel column between two window-unit heights
int red_run_in_column(const Picture& p, double x, double y0, double y1) {
    return p.count(x, y0, x, y1, is_red);
}

//------------------------------------------------------------------ state left behind

struct PrimitiveCase {
    std::string name;
    std::function<void()> draw;
    float width_after;  // line width left behind, 0 when the current one must stay (px)
};

std::vector<PrimitiveCase> primitive_cases(double size, double at) {
    const Point2 a = {at, at};
    const Point2 b = {at + size, at};
    return {
        {"line", [=] { draw_line(a, b, RED); }, 0.0f},
        {"thick line", [=] { draw_thick_line(a, b, 0.01, RED); }, 2.0f},
        {"disc", [=] { draw_disc(a, size, RED); }, 0.0f},
        {"half disc", [=] { draw_half_disc(a, size, 0.3, RED); }, 0.0f},
        {"circle", [=] { draw_circle(a, size, RED); }, 0.0f},
        {"half circle", [=] { draw_half_circle(a, size, 0.3, RED); }, 0.0f},
        {"rect", [=] { draw_rect(a, size, size, 0.3, RED); }, 0.0f},
        {"rect outline", [=] { draw_rect_outline(a, size, size, 0.3, RED); }, 0.0f},
        {"grid", [=] { draw_grid(a, 0.0, 3, size, size); }, 1.0f},
        {"polyline",
         [=] {
             const Point2 points[3] = {a, b, {at, at + size}};
             draw_thick_polyline(points, nullptr, 3, 0.01, RED, LinePattern::solid);
         },
         2.0f},
        {"trace",
         [=] {
             const Point2 points[3] = {a, b, {at, at + size}};
             draw_trace(points, 3, size, RED, points, BLUE);
         },
         0.0f},
    };
}

// every shape leaves lighting on and the matrix stack balanced, and only the thick line
// (2 px) and the grid (1 px) change the line width - also for zero and non-finite sizes
TEST_F(DrawPrimitives, LeaveLightingOnAndMatrixStackBalanced) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    for (const double size : {0.2, 0.0, nan}) {
        for (const double at : {0.0, nan}) {
            for (const PrimitiveCase& pc : primitive_cases(size, at)) {
                SCOPED_TRACE(pc.name + " size " + std::to_string(size) + " at "
                             + std::to_string(at));
                glDisable(GL_LIGHTING);
                glLineWidth(5.0f);
                GLint depth_before = 0;
                glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_before);
                pc.draw();
                GLint depth_after = 0;
                glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth_after);
                GLfloat width = 0.0f;
                glGetFloatv(GL_LINE_WIDTH, &width);
                EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
                EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
                EXPECT_EQ(depth_after, depth_before);
                EXPECT_EQ(width, pc.width_after > 0.0f ? pc.width_after : 5.0f);
                EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
            }
        }
    }
}

// shapes with a coordinate that is not a number, or absurdly far, draw nothing at all
TEST_F(DrawPrimitives, NonFiniteOrFarShapesDrawNothing) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    draw_line({nan, 0.0}, {0.5, 0.5}, RED);
    draw_thick_line({-0.5, -0.5}, {inf, 0.0}, 0.01, RED);
    draw_disc({0.0, 0.0}, nan, RED);
    draw_rect({0.0, 0.0}, 1.0e9, 0.5, 0.0, RED);
    draw_rect_outline({0.0, 0.0}, 0.5, 0.5, nan, RED);
    draw_half_circle({0.0, 0.0}, 0.5, inf, RED);
    const Picture p = read_back_buffer();
    EXPECT_EQ(p.count(-1.0, -1.0, 0.999, 0.999, is_red), 0);
}

//------------------------------------------------------------------ geometry

// widths in metres at 400 pixels per metre: 0.01 is 4 pixels, 0.005 is 2 pixels
TEST_F(DrawPrimitives, ThickLineWidthIsFourHundredPixelsPerMetre) {
    draw_thick_line({-0.8, 0.5}, {0.8, 0.5}, 0.01, RED);
    draw_thick_line({-0.8, -0.5}, {0.8, -0.5}, 0.005, RED);
    draw_line({-0.8, 0.0}, {0.8, 0.0}, RED);  // the width the thick lines left: 2 pixels
    const Picture p = read_back_buffer();
    EXPECT_EQ(red_run_in_column(p, 0.1, 0.45, 0.55), 4);
    EXPECT_EQ(red_run_in_column(p, 0.1, -0.55, -0.45), 2);
    EXPECT_EQ(red_run_in_column(p, 0.1, -0.05, 0.05), 2);
}

// filled shapes cover their radius; the half disc runs clockwise from its start angle, so
// start pi/2 (straight up) fills the right half
TEST_F(DrawPrimitives, DiscsFillTheirRadiusAndHalfDiscsTheirSide) {
    draw_disc({-0.5, 0.0}, 0.1, RED);
    draw_half_disc({0.5, 0.0}, 0.1, PI / 2.0, BLUE);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(is_red(p.at(-0.5 + 0.09, 0.0)));
    EXPECT_TRUE(is_red(p.at(-0.5, -0.09)));
    EXPECT_TRUE(is_white(p.at(-0.5 + 0.11, 0.0)));
    EXPECT_TRUE(is_blue(p.at(0.5 + 0.05, 0.0)));
    EXPECT_TRUE(is_white(p.at(0.5 - 0.05, 0.0)));
    EXPECT_TRUE(is_white(p.at(0.5 + 0.05, 0.11)));
}

// outlines are closed (circle) or open (half circle) at the current width
TEST_F(DrawPrimitives, CircleIsClosedAndHalfCircleOpen) {
    draw_circle({-0.5, 0.0}, 0.2, RED);
    draw_half_circle({0.5, 0.0}, 0.2, PI / 2.0, BLUE);
    const Picture p = read_back_buffer();
    for (const double angle : {0.0, 1.0, 2.0, 3.0, 4.0, 5.0, 6.0}) {
        EXPECT_TRUE(p.near_point(-0.5 + 0.2 * std::cos(angle), 0.2 * std::sin(angle), 1, is_red))
            << "circle at angle " << angle;
    }
    EXPECT_TRUE(p.near_point(0.5 + 0.2, 0.0, 1, is_blue));   // on the clockwise half
    EXPECT_FALSE(p.near_point(0.5 - 0.2, 0.0, 2, is_blue));  // the other half stays open
    EXPECT_FALSE(p.near_point(0.5, 0.0, 6, is_blue));        // no chord through the centre
}

// the corner is the rotation centre and w runs along the turned x axis
TEST_F(DrawPrimitives, RectangleTurnsAboutItsCorner) {
    draw_rect({0.0, 0.0}, 0.4, 0.2, PI / 2.0, RED);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(is_red(p.at(-0.1, 0.3)));
    EXPECT_TRUE(is_white(p.at(0.1, 0.1)));
    EXPECT_TRUE(is_white(p.at(-0.1, 0.45)));
    EXPECT_TRUE(is_white(p.at(-0.25, 0.1)));
}

// a grid of 2n x 2n cells: centre lines 2 pixels wide, the others 1 pixel, none beyond n
TEST_F(DrawPrimitives, GridCentreLinesAreTwoPixelsAndOthersOne) {
    draw_grid({0.0, 0.0}, 0.0, 2, 0.25, 0.25);
    const Picture p = read_back_buffer();
    const auto black_run = [&](double x0, double x1) { return p.count(x0, 0.1, x1, 0.1, is_dark); };
    EXPECT_EQ(black_run(-0.05, 0.05), 2);                   // centre line
    EXPECT_EQ(black_run(0.20, 0.30), 1);                    // x = 0.25
    EXPECT_EQ(black_run(0.45, 0.55), 1);                    // x = 0.5, the outermost line
    EXPECT_EQ(black_run(0.70, 0.80), 0);                    // n = 2: nothing at 0.75
    EXPECT_EQ(p.count(0.1, -0.05, 0.1, 0.05, is_dark), 2);  // horizontal centre line
}

// a trace looks as if drawn item by item: dot 0, dot 1, segment 0-1, dot 2, segment 1-2
TEST_F(DrawPrimitives, TraceKeepsTheDrawingOrderOfItsItems) {
    const Point2 dots[3] = {{-0.3, 0.0}, {0.05, 0.1}, {0.1, 0.1}};
    const Point2 path[3] = {{0.0, 0.1}, {0.2, 0.1}, {0.2, 0.3}};
    glLineWidth(2.0f);
    draw_trace(dots, 3, 0.02, RED, path, BLUE);
    const Picture p = read_back_buffer();
    EXPECT_TRUE(is_blue(p.at(0.05, 0.1)));   // segment 0-1 over dot 1
    EXPECT_TRUE(is_red(p.at(0.05, 0.115)));  // dot 1 beside the segment
    EXPECT_TRUE(is_red(p.at(0.1, 0.1)));     // dot 2 over segment 0-1
    EXPECT_TRUE(is_blue(p.at(0.2, 0.2)));    // segment 1-2
    EXPECT_TRUE(is_red(p.at(-0.3, 0.0)));    // dot 0
    EXPECT_TRUE(is_blue(p.at(0.16, 0.1)));   // segment 0-1 beyond the dots

    // without a path only the dots; a dot that is not a number is left out
    glClear(GL_COLOR_BUFFER_BIT);
    const Point2 with_nan[2] = {{std::nan(""), 0.0}, {0.5, 0.5}};
    draw_trace(with_nan, 2, 0.02, RED, nullptr, BLUE);
    const Picture q = read_back_buffer();
    EXPECT_EQ(q.count(-1.0, -1.0, 0.999, 0.999, is_blue), 0);
    EXPECT_TRUE(is_red(q.at(0.5, 0.5)));
}

// the trace's dots cover exactly the pixels of the same discs drawn one by one, for dots at
// arbitrary sub-pixel places, on the window's edges and far outside it, and of radii from under
// a pixel to 40 pixels
TEST_F(DrawPrimitives, TraceDotsArePixelForPixelTheDiscs) {
    unsigned state = 12345u;
    const auto uniform = [&state] {  // 0 .. 1, a fixed sequence
        state = state * 1103515245u + 12345u;
        return static_cast<double>((state >> 8) % 100000u) / 100000.0;
    };
    // a dot of the trace at scales 0.9, 1 and 1/0.9, the goal marker, the hub, and larger
    for (const double r : {0.002, 0.0072, 0.008, 0.008 / 0.9, 0.01, 0.0245, 0.05, 0.1}) {
        constexpr int COUNT = 105;
        Point2 dots[COUNT];
        for (int i = 0; i < 100; ++i) {
            dots[i] = {-0.9 + 0.18 * (i % 10) + 0.01 * uniform(),
                       -0.9 + 0.18 * (i / 10) + 0.01 * uniform()};
        }
        dots[100] = {-1.0 - 0.5 * r, 0.3};
        dots[101] = {1.0 + 0.5 * r, -0.3};
        dots[102] = {0.3, -1.0 + 0.01 * uniform()};
        dots[103] = {-0.3, 1.0 + 0.01 * uniform()};
        dots[104] = {5.0, 5.0};
        glClear(GL_COLOR_BUFFER_BIT);
        draw_trace(dots, COUNT, r, RED, nullptr, BLUE);
        const Picture trace = read_back_buffer();
        glClear(GL_COLOR_BUFFER_BIT);
        for (const Point2& d : dots) {
            draw_disc(d, r, RED);
        }
        const Picture discs = read_back_buffer();
        EXPECT_EQ(trace.rgb, discs.rgb) << "radius " << r;
    }
}

//------------------------------------------------------------------ text

// text is near black even in a first frame, drawn before any shape switched lighting on and
// with white as the current colour
TEST_F(DrawPrimitives, TextIsNearBlackInTheFirstFrame) {
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    draw_caption();
    const Picture p = read_back_buffer();
    const int dark = p.count(-0.99, 0.94, -0.2, 0.99, [](const Rgb& c) {
        return c.r < 40 && c.g < 40 && c.b < 40 && c.r == c.g && c.g == c.b;
    });
    EXPECT_GT(dark, 200);  // the ink of a 53-character line in 18-pixel Helvetica
    EXPECT_EQ(p.count(-1.0, -1.0, 0.999, 0.999, is_red), 0);
}

TEST_F(DrawPrimitives, EmptyTextDrawsNothing) {
    draw_text(0.0f, 0.0f, TextFont::large, "");
    const Picture p = read_back_buffer();
    EXPECT_EQ(p.count(-1.0, -1.0, 0.999, 0.999, is_dark), 0);
}

//------------------------------------------------------------------ status labels

// one label row: its text and position, or no text
struct LabelRow {
    float x, y;
    const char* text;  // nullptr: nothing on this row
};

// the status block drawn for the settings, row by row, equals each expected text drawn alone
// at its place: the block chooses the right text for every selector
struct StatusCase {
    int robot_type, gravity, motion, fb_type;
    double ki1;  // joint-1 integral gain of the robot shown (N*m/(rad*s))
    std::vector<LabelRow> rows;
};

class StatusLabels : public ViewTest, public ::testing::WithParamInterface<StatusCase> {};

void PrintTo(const StatusCase& sc, std::ostream* os) {
    *os << "robot " << static_cast<char>(sc.robot_type) << " gravity "
        << static_cast<char>(sc.gravity) << " motion " << static_cast<char>(sc.motion) << " fb "
        << static_cast<char>(sc.fb_type) << " Ki1 " << sc.ki1;
}

TEST_P(StatusLabels, ShowTheTextOfEverySelector) {
    const StatusCase& sc = GetParam();
    params.settings.robot_type = sc.robot_type;
    params.settings.gravity = sc.gravity;
    params.settings.motion = sc.motion;
    params.settings.fb_type = sc.fb_type;
    params.model.cyl.Ki1 = sc.robot_type == 'a' ? sc.ki1 : 1.0;
    params.model.scara.Ki1 = sc.robot_type == 'b' ? sc.ki1 : 0.0;
    draw_status_labels(current_scene());
    const Picture block = read_back_buffer();
    for (const LabelRow& row : sc.rows) {
        SCOPED_TRACE(row.text != nullptr ? row.text : "(empty row)");
        glClear(GL_COLOR_BUFFER_BIT);
        if (row.text != nullptr) {
            draw_text(row.x, row.y, TextFont::large, row.text);
        }
        const Picture alone = read_back_buffer();
        // the band of one row: 5 pixels of descender below the baseline, 14 above it; the
        // feedback label shares the control row, so rows are split at x = -0.47
        const double x0 = row.x < -0.5f ? -1.0 : -0.47;
        const double x1 = row.x < -0.5f ? -0.47 : 0.999;
        int differing = 0;
        for (int r = block.row(row.y) - 5; r <= block.row(row.y) + 14; ++r) {
            for (int c = block.col(x0); c <= block.col(x1); ++c) {
                differing += is_dark(block.px(c, r)) != is_dark(alone.px(c, r)) ? 1 : 0;
            }
        }
        EXPECT_EQ(differing, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    , StatusLabels,
    ::testing::Values(StatusCase{'a',
                                 'g',
                                 'q',
                                 'v',
                                 0.0,
                                 {{-0.95f, 0.90f, "(a) cylindrical coordinate robot"},
                                  {-0.85f, 0.85f, "vertical motion"},
                                  {-0.85f, 0.80f, "PTP step command"},
                                  {-0.85f, 0.75f, "PD control, KI=0"},
                                  {-0.45f, 0.75f, "velocity FB"},
                                  {-0.85f, 0.70f, "1 grid=(0.1, 0.1)[m]"}}},
                      StatusCase{'b',
                                 'h',
                                 'p',
                                 'V',
                                 1.0e-12,
                                 {{-0.95f, 0.90f, "(b) SCARA robot"},
                                  {-0.85f, 0.85f, "horizontal motion"},
                                  {-0.85f, 0.80f, "PTP trapezoidal velocity command"},
                                  {-0.85f, 0.75f, "PID control, KI>0"},
                                  {-0.45f, 0.75f, "velocity error FB"}}},
                      StatusCase{'b',
                                 'g',
                                 'c',
                                 'V',
                                 0.0,
                                 {{-0.85f, 0.80f, "CP trapezoidal velocity command"},
                                  {-0.85f, 0.75f, "PD control, KI=0"}}},
                      // selectors outside their sets draw no row, and the gain of the robot not
                      // shown does not count
                      StatusCase{'x',
                                 'x',
                                 'x',
                                 'x',
                                 0.0,
                                 {{-0.95f, 0.90f, nullptr},
                                  {-0.85f, 0.85f, nullptr},
                                  {-0.85f, 0.80f, nullptr},
                                  {-0.85f, 0.75f, "PID control, KI>0"},
                                  {-0.45f, 0.75f, nullptr},
                                  {-0.85f, 0.70f, "1 grid=(0.1, 0.1)[m]"}}}));

}  // namespace
