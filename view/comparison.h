// view/comparison.h: what tells the runs of a frame apart: the caption's settings, the legend
// of the runs pinned beside the current one and the table of their response figures
#pragma once

#include "view/scene.h"

#include <string>

namespace robosim {

//------------------------------------------------------------------ constants
constexpr double RUN_LEGEND_TOP = 0.55;    // baseline of the legend's first row          (window)
constexpr double RUN_LEGEND_LEFT = -0.97;  // left end of its swatches                     (window)
constexpr double RUN_LEGEND_ROW = 0.045;   // distance between two of its rows             (window)
constexpr double RUN_SWATCH = 0.06;        // length of a run's sample stroke              (window)
constexpr double FIGURES_BOTTOM = -0.93;   // bottom edge of the figures' card, above the caption
constexpr double FIGURES_LEFT = -0.985;    // its left edge                                (window)
constexpr double FIGURES_ROW = 0.042;      // distance between two of its rows             (window)

//------------------------------------------------------------------ names
// what a run differs in from the current one, as the legend names it: the settings that
// differ ("fn1 2 Hz, gravity off") and the integration ("accurate", "fixed step"), or "same
// settings" when nothing does
std::string run_label(const SceneRun& run, const SceneRun& current);

// the settings of the current run that differ from the scene's caption base and the caption's
// fixed fields do not name (robot, motion, mw, fn, alpha, gravity, fb), joined by "  "; empty
// without a base
std::string caption_differences(const Scene& scene);

//------------------------------------------------------------------ drawing
// the legend of a scene with more than one run, over the robot view under its status lines: a
// swatch of each run's stroke and colour with its label, the current run first
void draw_run_legend(const Scene& scene);

// the response figures of every run of the scene on a white card over the bottom of the robot
// view: overshoot, settling time after the command, peak drive torque and share at the torque
// limit per joint, and the largest path error of a CP motion
void draw_response_table(const Scene& scene);

}  // namespace robosim
