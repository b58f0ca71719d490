// view/frame.h: one frame of the window, drawn from its scene only
#pragma once

#include "view/scene.h"

#include <optional>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr int GRID_HALF_CELLS = 20;     // grid cells either side of the robot base      (-)
constexpr double GRID_CELL = 0.1;       // one grid cell in robot space                  (m)
constexpr double PANEL_MARGIN = 0.05;   // the white panel starts this left of the graphs (window)
constexpr double READOUT_X = 0.45;      // start of the time readout's baseline            (window)
constexpr double READOUT_Y = -0.975;    // its height, under the lowest graph              (window)
constexpr double CAPTION_STRIP = 0.05;  // height of the experiment's line at the bottom   (window)
constexpr double HELP_LEFT = -0.97;     // left edge of the help card                     (window)
constexpr double HELP_TOP = 0.0;        // its top edge                                   (window)
constexpr double HELP_WIDTH = 0.92;     // its width, clear of the graphs' panel           (window)
constexpr double HELP_LINE = 0.045;     // distance between two of its lines              (window)

//------------------------------------------------------------------ keys
// a key of the window and what it does, for the help card and the program's --help
struct KeyHelp {
    const char* keys;  // the key or keys, e.g. "s   BackSpace"
    const char* what;  // what they do, in English
};

extern const KeyHelp WINDOW_KEY_HELP[];  // every key of the window, in the card's order
extern const int WINDOW_KEY_HELP_COUNT;

//------------------------------------------------------------------ frame
// the whole picture without showing it: clear, caption and status labels, grid, the robot
// scene of anim_index under the white panel, the joint graph and the lower graph chosen by
// graph_select, the readout of time and sample, and the help card when it is shown; reads the
// scene, writes nothing
void compose_frame(const Scene& scene);

// the display callback: compose_frame, then end_frame
void display_frame(const Scene& scene);

// hands the finished frame to the window: glFlush, then the buffer swap
void end_frame();

//------------------------------------------------------------------ pointer
// The point in window units (-1 .. 1, y up) of the pixel (x, y) counted from the top left of a
// window of width x height pixels: the lower left corner of the pixel in GL's grid, where the
// pixel's own window coordinates start, so that a point drawn maps back to within a pixel.
Point2 window_point(int x, int y, int width, int height);

// The start of the time axis (window) of the graph that shows the window point p: the joint
// graph, or the lower graph graph_select chooses (either torque plot or the inertia plot), each
// with its numbers and a margin of PANEL_MARGIN either side of its axis; none where p is on no
// graph (the robot view, the legends between the plots, the readout and caption lines).
std::optional<double> graph_axis_at(const Settings& s, const Point2& p);

// the viewport covers the whole window and the projection is the identity: every view draws
// in the square -1 .. 1, stretched over the window (not letter-boxed)
void on_reshape(int width, int height);

}  // namespace robosim
