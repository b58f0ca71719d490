// The interactive program's state: the current experiment, the last run of each robot and
// what the window shows of it.
#include "app/session.h"

#include "planning/experiment.h"
#include "platform/console_io.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "sim/run.h"

#include <chrono>

namespace robosim {

Settings default_settings() {
    ParameterSet defaults = {};
    set_defaults(defaults);
    return defaults.settings;
}

HistorySet& history_of(Session& session, int robot_type) {
    return robot_type == 'b' ? *session.history_scara : *session.history_cyl;
}

Scene current_scene(const Session& session) {
    Scene scene = experiment_scene(session.experiment, *session.history_cyl, *session.history_scara,
                                   session.view, session.accurate,
                                   session.accurate ? &session.accurate_stats : nullptr,
                                   session.data_file_name.c_str());
    scene.caption_base = &session.caption_base;
    // a pin of the other robot has no place in this robot's view and scales: it waits
    for (int i = 0; i < MAX_PINNED_RUNS; ++i) {
        const PinnedRun* pin = session.pins[i].get();
        if (pin != nullptr
            && pin->experiment.settings.robot_type == session.experiment.settings.robot_type) {
            add_scene_run(scene, {&pin->experiment, pin->history.get(), pin->accurate,
                                  pin->accurate ? &pin->accurate_stats : nullptr,
                                  pin->source.c_str(), pinned_style(i)});
        }
    }
    return scene;
}

int pin_current_run(Session& session) {
    int slot = 0;
    for (int i = 0; i < MAX_PINNED_RUNS; ++i) {
        if (session.pins[i] == nullptr) {
            slot = i;
            break;
        }
        if (session.pins[i]->order < session.pins[slot]->order) {
            slot = i;
        }
    }
    auto pin = std::make_unique<PinnedRun>();
    pin->experiment = session.experiment;
    pin->history =
        std::make_unique<HistorySet>(history_of(session, session.experiment.settings.robot_type));
    pin->accurate = session.accurate;
    pin->accurate_stats = session.accurate_stats;
    pin->source = session.data_file_name;
    pin->order = ++session.pins_made;
    session.pins[slot] = std::move(pin);
    return slot;
}

void drop_pins(Session& session) {
    for (auto& pin : session.pins) {
        pin.reset();
    }
}

// the console's line of how far a long accurate run has come
struct ConsoleProgress {
    std::chrono::steady_clock::time_point start;
    double length;  // the run's simulated time (s)
    bool shown;
};

static void tell_console_progress(void* context, double t) {
    constexpr double AFTER = 0.5;  // a run shows its progress after this long (s)
    auto* line = static_cast<ConsoleProgress*>(context);
    const std::chrono::duration<double> spent = std::chrono::steady_clock::now() - line->start;
    if (spent.count() >= AFTER) {
        console_print("\r精密積分中 t = %.2f s / %.2f s", t, line->length);
        line->shown = true;
    }
}

ReachReport run_current_experiment(Session& session) {
    const Settings& s = session.experiment.settings;
    // the console shows how far an accurate run has come once it takes longer than a moment:
    // the window is not serviced meanwhile
    ConsoleProgress progress = {std::chrono::steady_clock::now(), s.n_sample * s.dt_sample, false};
    const AccurateProgress tell = {tell_console_progress, &progress};
    RunOptions options;
    options.accurate = session.accurate;
    options.progress = &tell;
    const ExperimentRun run = run_experiment(session.experiment, options);
    if (progress.shown) {
        console_print("\n");
    }
    if (run.refusal == RunRefusal::too_long) {
        console_print("サンプル数 %d が履歴の容量（最大 %d）を超えるため、計算しませんでした\n",
                      s.n_sample, HISTORY_LEN - 1);
        return {};
    }
    history_of(session, s.robot_type) = *run.history;
    if (!session.accurate) {
        return run.unreachable;
    }
    session.accurate_stats = run.accurate;
    if (session.accurate_stats.budget_spent) {
        const StiffestPole pole = stiffest_pole(session.experiment);
        console_print(
            "精密積分は計算の上限（%ld ステップ）に達したため t = %.3f s で打ち切りました。"
            "第%d軸の制御系が硬すぎます（最も速い極 %.4g 1/s）。通常積分（x "
            "キー）なら計算できます\n",
            session.accurate_stats.budget, session.accurate_stats.t_end, pole.joint + 1, pole.rate);
    }
    return run.unreachable;
}

//------------------------------------------------------------------ playback

void stop_playing(Playback& playback) {
    playback.playing = false;
    ++playback.generation;
}

void leave_window(Session& session) {
    stop_playing(session.playback);
    session.time_drag.reset();
    Settings& s = session.experiment.settings;
    s.error_gain = s.error_gain_default;
    session.view.anim_index = 0;
}

}  // namespace robosim
