// view/scene.h: what a frame is drawn from
#pragma once

#include "planning/plan.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "view/view_state.h"

// Everything the window shows, handed to every drawing function that reads more than its
// arguments: the experiment, the history sets of both robots (the joint graph's scale spans
// both) and the view state. The view only reads it.
struct Scene {
    const ParameterSet& ps;   // the experiment shown
    const HistorySet& cyl;    // the last run of robot 'a'
    const HistorySet& scara;  // the last run of robot 'b'
    const ViewState& view;    // sample shown, zoom, error gain
    bool accurate;            // the runs were integrated in the accurate mode
    const char* source = "";  // the robot data file the experiment was read from; "" none
    const AccurateStats* accurate_stats = nullptr;  // what an accurate run met, if known
};

// the history set of a robot type: 'b' the SCARA set, every other type the cylindrical set
inline const HistorySet& shown_history(const Scene& scene, int robot_type) {
    return robot_type == 'b' ? scene.scara : scene.cyl;
}
