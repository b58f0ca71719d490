// The program's current experiment: its settings, model and plan, the last run of each robot
// and what the window shows of it.
#include "app/experiment.h"

#include "platform/console_io.h"
#include "sim/accurate.h"
#include "sim/history.h"
#include "sim/run.h"

#include <chrono>

ParameterSet params = {};
HistorySet history_cyl = {};
HistorySet history_scara = {};
ViewState view_state = {};
bool accurate_integration = false;
AccurateStats accurate_stats = {};
ReachReport told_unreachable = {};
std::string data_file_name;

HistorySet* history_of(int robot_type) {
    return robot_type == 'b' ? &history_scara : &history_cyl;
}

Scene current_scene() {
    return experiment_scene(params, history_cyl, history_scara, view_state, accurate_integration,
                            accurate_integration ? &accurate_stats : nullptr,
                            data_file_name.c_str());
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

ReachReport run_current_experiment() {
    const Settings& s = params.settings;
    // the console shows how far an accurate run has come once it takes longer than a moment:
    // the window is not serviced meanwhile
    ConsoleProgress progress = {std::chrono::steady_clock::now(), s.n_sample * s.dt_sample, false};
    const AccurateProgress tell = {tell_console_progress, &progress};
    RunOptions options;
    options.accurate = accurate_integration;
    options.progress = &tell;
    const ExperimentRun run = run_experiment(params, options);
    if (progress.shown) {
        console_print("\n");
    }
    if (run.refusal == RunRefusal::too_long) {
        console_print("サンプル数 %d が履歴の容量（最大 %d）を超えるため、計算しませんでした\n",
                      s.n_sample, HISTORY_LEN - 1);
        return {};
    }
    *history_of(s.robot_type) = *run.history;
    if (!accurate_integration) {
        return run.unreachable;
    }
    accurate_stats = run.accurate;
    if (accurate_stats.budget_spent) {
        const StiffestPole pole = stiffest_pole(params);
        console_print(
            "精密積分は計算の上限（%ld ステップ）に達したため t = %.3f s で打ち切りました。"
            "第%d軸の制御系が硬すぎます（最も速い極 %.4g 1/s）。通常積分（x "
            "キー）なら計算できます\n",
            accurate_stats.budget, accurate_stats.t_end, pole.joint + 1, pole.rate);
    }
    return run.unreachable;
}
