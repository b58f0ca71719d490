// view/frame.h: one frame of the window, drawn from its scene only
#pragma once

#include "view/scene.h"

//------------------------------------------------------------------ constants
constexpr int GRID_HALF_CELLS = 20;    // grid cells either side of the robot base      (-)
constexpr double GRID_CELL = 0.1;      // one grid cell in robot space                  (m)
constexpr double PANEL_MARGIN = 0.05;  // the white panel starts this left of the graphs (window)

//------------------------------------------------------------------ frame
// the whole picture without showing it: clear, caption and status labels, grid, the robot
// scene of anim_index under the white panel, the joint graph and the lower graph chosen by
// graph_select; reads the scene, writes nothing
void compose_frame(const Scene& scene);

// the display callback: compose_frame, then end_frame
void display_frame(const Scene& scene);

// hands the finished frame to the window: glFlush, then the buffer swap
void end_frame();

// the viewport covers the whole window and the projection is the identity: every view draws
// in the square -1 .. 1, stretched over the window (not letter-boxed)
void on_reshape(int width, int height);
