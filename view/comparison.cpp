// What tells the runs of a frame apart. A student compares runs that differ in one or two
// settings, so every run is named by those settings, never by a number alone, and the figures
// that answer the lab question (overshoot, settling, torque) stand side by side in one table.
#include "view/comparison.h"

#include "analysis/summary.h"
#include "settings/setting_fields.h"
#include "view/draw.h"
#include "view/view_state.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace robosim {

//------------------------------------------------------------------ names

// the longest label a legend row holds beside its swatch within the robot view (characters)
constexpr std::size_t LABEL_MAX = 64;

static std::string joined(const std::vector<std::string>& parts, const char* between) {
    std::string out;
    for (const std::string& p : parts) {
        out += (out.empty() ? "" : between) + p;
    }
    return out;
}

std::string run_label(const SceneRun& run, const SceneRun& current) {
    std::vector<std::string> parts;
    for (const SettingDifference& d :
         setting_differences(current.experiment->settings, run.experiment->settings)) {
        parts.push_back(d.text);
    }
    if (run.accurate != current.accurate) {
        parts.emplace_back(run.accurate ? "accurate" : "fixed step");
    }
    std::string label = parts.empty() ? "same settings" : joined(parts, ", ");
    if (label.size() > LABEL_MAX) {
        label = label.substr(0, LABEL_MAX - 3) + "...";
    }
    return label;
}

std::string caption_differences(const Scene& scene) {
    if (scene.caption_base == nullptr) {
        return {};
    }
    // named by the caption's own fields already
    static const char* const NAMED[] = {"robot_type", "motion", "cp",  "gravity", "fb_type",
                                        "mw",         "fn1",    "fn2", "alpha1",  "alpha2"};
    std::vector<std::string> parts;
    for (const SettingDifference& d :
         setting_differences(*scene.caption_base, current_run(scene).experiment->settings)) {
        bool named = false;
        for (const char* n : NAMED) {
            named = named || d.name == n;
        }
        if (!named) {
            parts.push_back(d.text);
        }
    }
    return joined(parts, "    ");
}

//------------------------------------------------------------------ drawing

// a short sample of a run's stroke: its motor-1 angle colour, in its pattern
static void draw_swatch(const SceneRun& run, double x, double y) {
    const Point2 ends[2] = {{x, y + 0.012}, {x + RUN_SWATCH, y + 0.012}};
    draw_thick_polyline(ends, nullptr, 2, 0.008, run.style.colours.angle[0], run.style.pattern);
}

// the runs in the legend's and the table's order: the current run, then the others as listed
template <class Visit>
static void for_each_listed_run(const Scene& scene, Visit visit) {
    visit(current_run(scene), 0);
    int pin = 0;
    for (int r = 0; r < scene.run_count; ++r) {
        if (!scene.runs[r].style.current) {
            visit(scene.runs[r], ++pin);
        }
    }
}

void draw_run_legend(const Scene& scene) {
    if (scene.run_count < 2) {
        return;
    }
    const SceneRun& current = current_run(scene);
    int row = 0;
    for_each_listed_run(scene, [&](const SceneRun& run, int pin) {
        const double y = RUN_LEGEND_TOP - RUN_LEGEND_ROW * row++;
        const std::string label = pin == 0 ? std::string("this run") : run_label(run, current);
        const double text_x = RUN_LEGEND_LEFT + RUN_SWATCH + 0.02;
        // a white ground, so that the grid does not cross the words
        draw_rect({RUN_LEGEND_LEFT - 0.01, y - 0.012},
                  text_x - RUN_LEGEND_LEFT + text_width(TextFont::small, label.c_str()) + 0.02,
                  RUN_LEGEND_ROW - 0.004, 0.0, WHITE);
        draw_swatch(run, RUN_LEGEND_LEFT, y);
        draw_text(static_cast<float>(text_x), static_cast<float>(y), TextFont::small,
                  label.c_str());
    });
}

// a figure in at most 6 characters: "-" when it does not apply, "open" when never settled
static void format_figure(char* text, std::size_t size, bool applies, double v) {
    if (!applies) {
        std::snprintf(text, size, "-");
    } else if (std::isnan(v)) {
        std::snprintf(text, size, "open");
    } else {
        std::snprintf(text, size, "%.3g", v);
    }
}

void draw_response_table(const Scene& scene) {
    constexpr int COLUMNS = 9;       // two joints of four figures, then the path error
    constexpr double FIRST = 0.27;   // the first figure's column from the card's left edge
    constexpr double WIDTH = 0.118;  // one figure's column
    const double card_w = FIRST + WIDTH * COLUMNS + 0.02;
    const int rows = 3 + scene.run_count;
    const double top = FIGURES_BOTTOM + FIGURES_ROW * (rows + 0.5);
    draw_rect({FIGURES_LEFT, FIGURES_BOTTOM}, card_w, top - FIGURES_BOTTOM, 0.0, WHITE);
    draw_rect_outline({FIGURES_LEFT, FIGURES_BOTTOM}, card_w, top - FIGURES_BOTTOM, 0.0, BLACK);

    const auto row_y = [&](int row) { return static_cast<float>(top - FIGURES_ROW * (row + 1)); };
    const auto column_x = [&](int c) {
        return static_cast<float>(FIGURES_LEFT + FIRST + WIDTH * c);
    };
    const float left = static_cast<float>(FIGURES_LEFT + 0.02);
    char title[96];
    std::snprintf(title, sizeof title, "Response figures (settling after the command into %g %%)",
                  SETTLING_BAND * 100.0);
    draw_text(left, row_y(0), TextFont::small, title);
    static const char* const GROUPS[] = {"overshoot %", "settling s", "peak T Nm", "at limit %"};
    for (int g = 0; g < 4; ++g) {
        draw_text(column_x(2 * g), row_y(1), TextFont::small, GROUPS[g]);
        draw_text(column_x(2 * g), row_y(2), TextFont::tiny, "joint 1");
        draw_text(column_x(2 * g + 1), row_y(2), TextFont::tiny, "joint 2");
    }
    draw_text(column_x(8), row_y(1), TextFont::small, "path mm");

    int row = 3;
    for_each_listed_run(scene, [&](const SceneRun& run, int pin) {
        const float y = row_y(row++);
        const ResponseSummary f =
            summarize_response(*run.experiment, *run.history, run.experiment->settings.robot_type);
        draw_swatch(run, left, y);
        char name[16];
        std::snprintf(name, sizeof name, pin == 0 ? "this run" : "pin %d", pin);
        draw_text(static_cast<float>(left + RUN_SWATCH + 0.02), y, TextFont::small, name);
        for (int j = 0; j < 2; ++j) {
            const double values[4] = {f.overshoot_pct[j], f.settling_after_command[j],
                                      f.peak_drive_torque[j], f.limit_share_pct[j]};
            const bool applies[4] = {f.overshoot_applies[j], f.settling_applies[j], true, true};
            for (int g = 0; g < 4; ++g) {
                char text[24];
                format_figure(text, sizeof text, applies[g], values[g]);
                draw_text(column_x(2 * g + j), y, TextFont::tiny, text);
            }
        }
        char path[24];
        format_figure(path, sizeof path, f.cp, f.max_path_error_mm);
        draw_text(column_x(8), y, TextFont::tiny, path);
    });
}

}  // namespace robosim
