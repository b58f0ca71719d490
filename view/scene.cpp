// The scenes of the window: the runs a frame shows, one of them the current run, and the one
// scene the window shows after a run of the current experiment.
#include "view/scene.h"

#include <cassert>

namespace robosim {

//------------------------------------------------------------------ scenes

Scene experiment_scene(const ParameterSet& experiment, const HistorySet& cyl,
                       const HistorySet& scara, const ViewState& view, bool accurate,
                       const AccurateStats* accurate_stats, const char* source) {
    const bool scara_shown = experiment.settings.robot_type == 'b';
    Scene scene = {};
    scene.view = view;
    scene.runs[0] = {&experiment, scara_shown ? &scara : &cyl,
                     accurate,    accurate_stats,
                     source,      {WINDOW_COLOURS, LinePattern::solid, true}};
    scene.run_count = 1;
    scene.also_scaled = scara_shown ? nullptr : &scara;
    return scene;
}

RunStyle pinned_style(int i) {
    assert(i >= 0 && i < MAX_PINNED_RUNS);
    return {single_colour(PIN_COLOURS[i]), i % 2 == 0 ? LinePattern::dashed : LinePattern::dotted,
            false};
}

bool add_scene_run(Scene& scene, const SceneRun& run) {
    if (scene.run_count >= MAX_SCENE_RUNS) {
        return false;
    }
    scene.runs[scene.run_count++] = run;
    return true;
}

const SceneRun& current_run(const Scene& scene) {
    int current = -1;
    for (int r = 0; r < scene.run_count; ++r) {
        if (scene.runs[r].style.current) {
            assert(current < 0 && "a scene with two current runs");
            current = r;
        }
    }
    assert(current >= 0 && "a scene without a current run");
    return scene.runs[current];
}

}  // namespace robosim
