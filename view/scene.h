// view/scene.h: what a frame is drawn from: the view state and the runs it shows, each in a
// style of its own
#pragma once

#include "planning/plan.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "view/colour.h"
#include "view/view_state.h"

namespace robosim {

//------------------------------------------------------------------ constants
constexpr int MAX_SCENE_RUNS = 5;  // runs one frame shows: the current one and four beside it (-)

//------------------------------------------------------------------ styles
// how the curves of a run are stroked
enum class LinePattern {
    solid,   // unbroken: the current run
    dashed,  // long dashes with short gaps
    dotted,  // short dashes with longer gaps
};

// the colours of a run's curves and trace, by what they show; [0] motor 1, [1] motor 2
struct RunColours {
    Colour4 angle[2];    // motor angles
    Colour4 command;     // commanded motor angles, and the commanded path of the robot view
    Colour4 error[2];    // magnified motor-angle errors
    Colour4 torque[5];   // drive, inertia, Coriolis, gravity and friction torque
    Colour4 inertia[2];  // inertia seen by each motor
    Colour4 trace;       // the actual work point in the robot view
};

// the window's own colours: the current run's curves and the legends that name them
constexpr RunColours WINDOW_COLOURS = {
    {RED, BLACK}, BLUE, {GREEN, YELLOW}, {RED, BLUE, GREEN, YELLOW, MAGENTA}, {RED, BLACK}, RED};

// a muted colour for every curve and the trace of a run shown beside the current one
constexpr RunColours single_colour(Colour4 c) {
    return {{c, c}, c, {c, c}, {c, c, c, c, c}, {c, c}, c};
}

// the runs pinned beside the current one, in the order they were pinned: each in a muted colour
// of its own, dashed and dotted in turn, so that four of them and the current run stay apart
constexpr int MAX_PINNED_RUNS = 4;
constexpr Colour4 PIN_COLOURS[MAX_PINNED_RUNS] = {
    {0.55f, 0.55f, 0.55f, 0.0f},  // grey
    {0.45f, 0.60f, 0.90f, 0.0f},  // light blue
    {0.95f, 0.60f, 0.25f, 0.0f},  // orange
    {0.75f, 0.45f, 0.80f, 0.0f},  // lilac
};

// how one run of a frame is drawn
struct RunStyle {
    RunColours colours;   // its curves and trace
    LinePattern pattern;  // the stroke of its curves, and of its work point's path
    // The run the window is about: the robot, the markers, the goal and rotor lines, the
    // status lines and the scales are its own, and it is drawn after every other run. Another
    // run adds its curves and the path of its work point, under the current run's.
    bool current;
};

// the style of the pinned run i (0 .. MAX_PINNED_RUNS - 1)
RunStyle pinned_style(int i);

//------------------------------------------------------------------ runs
// one run a frame shows: what was run, what it recorded and how it is drawn
struct SceneRun {
    const ParameterSet* experiment;       // the experiment run
    const HistorySet* history;            // its samples 0 .. n_sample
    bool accurate;                        // integrated in the accurate mode
    const AccurateStats* accurate_stats;  // what the accurate run met; nullptr when not known
    const char* source;  // the robot data file the experiment was read from; "" none
    RunStyle style;
};

// Everything the window shows, handed to every drawing function that reads more than its
// arguments. The view only reads it.
struct Scene {
    ViewState view;                 // sample shown, zoom, error gain, help card
    SceneRun runs[MAX_SCENE_RUNS];  // runs[0 .. run_count - 1]; exactly one is the current run
    int run_count;                  // (-)
    // a history the motor-angle and inertia scales span beside the runs' own: robot (b)'s
    // last run while robot (a) is shown, as the window has always scaled them; nullptr none
    const HistorySet* also_scaled;
    // the settings the caption names the current run's differences from: the data file's as
    // read, or the defaults; nullptr names none
    const Settings* caption_base;
};

//------------------------------------------------------------------ scenes
// The scene of an experiment as the window shows it after its run: the run of its robot
// alone (history the set of robot_type, 'b' scara and every other type cyl), in the window's
// colours; the scales of any robot but (b) span scara too.
Scene experiment_scene(const ParameterSet& experiment, const HistorySet& cyl,
                       const HistorySet& scara, const ViewState& view, bool accurate,
                       const AccurateStats* accurate_stats, const char* source);

// adds run to the scene after the others; false, and the scene unchanged, when it is full
bool add_scene_run(Scene& scene, const SceneRun& run);

// the run the window is about, the one marked current
const SceneRun& current_run(const Scene& scene);

// draw(run) for every run of the scene in drawing order: the others as listed, then the
// current run, so that it lies over them
template <class Draw>
void for_each_run(const Scene& scene, Draw draw) {
    for (int r = 0; r < scene.run_count; ++r) {
        if (!scene.runs[r].style.current) {
            draw(scene.runs[r]);
        }
    }
    draw(current_run(scene));
}

}  // namespace robosim
