// tests/platform/soft_gl_frame.h: the batch tool's picture of a robot data file, drawn by the
// window's own frame code through the browser build's software GL instead of the desktop's
#pragma once

#include "planning/experiment.h"
#include "platform/web/soft_gl.h"
#include "settings/datafile.h"
#include "sim/run.h"
#include "view/frame.h"
#include "view/scene.h"
#include "view/view_state.h"

#include <memory>
#include <string>

// a data file's experiment and run as the batch tool draws them, and the scene of them
struct SoftScene {
    robosim::ParameterSet ps;
    robosim::Settings as_read;  // the caption names what differs from these
    std::unique_ptr<robosim::HistorySet> history, none;
    std::string source;
    robosim::Scene scene;
};

// the scene of robosim-batch FILE --graph graph; nullptr if the file is not read whole
inline std::unique_ptr<SoftScene> soft_scene(const std::string& data_file, char graph) {
    using namespace robosim;
    auto s = std::make_unique<SoftScene>();
    set_defaults(s->ps);
    const DataFileRead read = read_robot_data_file(data_file.c_str(), s->ps, true);
    if (read.error.problem != DataFileProblem::none) {
        return nullptr;
    }
    s->ps = read.ps;
    s->as_read = s->ps.settings;
    update_derived(s->ps);
    s->history = std::move(run_experiment(s->ps, {}).history);
    s->none = std::make_unique<HistorySet>();
    s->source = data_file;
    const bool scara = s->ps.settings.robot_type == 'b';
    s->scene =
        experiment_scene(s->ps, scara ? *s->none : *s->history, scara ? *s->history : *s->none,
                         initial_view_state(), false, nullptr, s->source.c_str());
    s->scene.caption_base = &s->as_read;
    s->ps.settings.graph_select = graph;
    return s;
}

// sample k of the scene on a fresh size x size frame buffer, set up as the batch tool sets up
// its drawable: white clear colour, the viewport the whole picture
inline void draw_soft_frame(const robosim::Scene& scene, int k, int size) {
    using namespace robosim;
    softgl::resize(size, size);
    softgl::clear_colour(1.0f, 1.0f, 1.0f, 1.0f);
    on_reshape(size, size);
    Scene shown = scene;
    shown.view.anim_index = clamp_sample(current_run(scene).experiment->settings, k);
    compose_frame(shown);
}
