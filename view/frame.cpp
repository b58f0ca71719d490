// The frame: everything the window shows, rebuilt completely on every call from the scene: the
// view state and the runs, each with its experiment and histories. The drawing order is the
// layering: grid under robot, robot under markers and trace, all of them under the white panel, the
// panel under the graphs.
#include "view/frame.h"

#include "model/parameters.h"
#include "platform/window_system.h"
#include "platform/x_window.h"
#include "view/comparison.h"
#include "view/draw.h"
#include "view/graphs.h"
#include "view/robot_view.h"
#include "view/view_state.h"

#include <GL/gl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace robosim {

//------------------------------------------------------------------ readout and help

// The time and sample shown, at the bottom right: under the lowest graph's numbers, where
// nothing else is drawn.
static void draw_time_readout(const Scene& scene, int k) {
    const Settings& s = current_run(scene).experiment->settings;
    char text[96];
    const int n = std::snprintf(text, sizeof text, "t = %.2f s   sample %d / %d", k * s.dt_sample,
                                k, last_sample(s));
    if (scene.view.slowdown != 1 && n > 0 && static_cast<size_t>(n) < sizeof text) {
        std::snprintf(text + n, sizeof text - n, "   x1/%d", scene.view.slowdown);
    }
    // a longer line moves left rather than past the window's edge
    const double x = std::fmin(READOUT_X, 0.99 - text_width(TextFont::small, text));
    draw_text(static_cast<float>(x), static_cast<float>(READOUT_Y), TextFont::small, text);
}

// One line that tells experiments apart, at the bottom left on a strip of its own: the data
// file (or robot, motion and path) and the settings a student changes most.
static void draw_experiment_caption(const Scene& scene) {
    const SceneRun& run = current_run(scene);
    const Settings& s = run.experiment->settings;
    std::string what;
    if (run.source != nullptr && run.source[0] != '\0') {
        const char* slash = std::strrchr(run.source, '/');
        what = slash != nullptr ? slash + 1 : run.source;  // the name, not its folder
    } else {
        static const char* const PATHS[] = {"", "line", "circle", "U-curve", "sine"};
        what = s.robot_type == 'a' ? "cylindrical" : s.robot_type == 'b' ? "SCARA" : "no robot";
        what += s.motion == 'q'   ? ", PTP step"
                : s.motion == 'p' ? ", PTP trapezoid"
                : s.motion == 'c'
                    ? std::string(", CP ") + (s.cp >= 1 && s.cp <= 4 ? PATHS[s.cp] : "?")
                    : "";
    }
    char fixed[256];
    std::snprintf(fixed, sizeof fixed,
                  "%s    mw %.3g kg    fn %.3g / %.3g Hz    alpha %.3g / %.3g 1/s    gravity %s    "
                  "fb %s",
                  what.c_str(), s.mw, hz_of_omega(s.omega_n1), hz_of_omega(s.omega_n2), s.alpha1,
                  s.alpha2, s.gravity == 'g' ? "on" : "off", s.fb_type == 'v' ? "v" : "V");
    // every other setting that differs from the file's or the defaults, so that two runs
    // never share a caption; a long line takes the smaller font, and is cut only beyond it
    std::string text = fixed;
    if (const std::string more = caption_differences(scene); !more.empty()) {
        text += "    " + more;
    }
    const double width = 1.0 + s.graph_origin.x - PANEL_MARGIN;
    TextFont font = TextFont::small;
    if (text_width(font, text.c_str()) > width - 0.03) {
        font = TextFont::tiny;
        while (text.size() > 4 && text_width(font, text.c_str()) > width - 0.03) {
            text.erase(text.size() - 4);
            text += "...";
        }
    }
    draw_rect({-1.0, -1.0}, width, CAPTION_STRIP, 0.0, WHITE);
    draw_text(-0.985f, static_cast<float>(-1.0 + CAPTION_STRIP - 0.035), font, text.c_str());
}

// clang-format off
const KeyHelp WINDOW_KEY_HELP[] = {
    {"Space", "play / pause at the simulated pace"},
    {"s   BackSpace", "one sample on / back"},
    {"0   End", "first / last sample"},
    {"1  2  3  4", "playback pace 1/8, 1/4, 1/2, 1 (slow motion)"},
    {"mouse", "click or drag on a graph: show that time"},
    {"t   i", "torque / inertia graph"},
    {"R", "torque scale: +/-Tmax / the runs' own range"},
    {"w   W   z", "robot view smaller / larger; z fit to the run on / off"},
    {"g   h", "gravity on / off (new run)"},
    {"v   V", "velocity / velocity-error feedback (new run)"},
    {"x", "accurate integration on / off (new run)"},
    {"P   U", "pin this run for comparison / drop the pins"},
    {"f", "response figures of the runs on / off"},
    {"r", "read a robot data file (console)"},
    {"a   b", "cylindrical / SCARA robot (console)"},
    {"l  m  u  k", "arm and work, motors, gears, gains (console)"},
    {"q  p  c", "step, trapezoid, CP motion (console)"},
    {"o", "write the settings to a data file (console)"},
    {"?   F1", "show / hide this help"},
    {"ESC", "end"},
};
// clang-format on
const int WINDOW_KEY_HELP_COUNT = sizeof WINDOW_KEY_HELP / sizeof WINDOW_KEY_HELP[0];

// every key of the window, in English, on a white card over the robot view
static void draw_help_panel() {
    const double top = HELP_TOP;
    const double bottom = top - HELP_LINE * (WINDOW_KEY_HELP_COUNT + 1.6);
    // its width: the widest line, which a small window's font makes relatively wider
    const TextFont font = TextFont::small;
    double width = HELP_WIDTH;
    for (int i = 0; i < WINDOW_KEY_HELP_COUNT; ++i) {
        width = std::fmax(width, 0.27 + text_width(font, WINDOW_KEY_HELP[i].what));
    }
    draw_rect({HELP_LEFT, bottom}, width, top - bottom, 0.0, WHITE);
    draw_rect_outline({HELP_LEFT, bottom}, width, top - bottom, 0.0, BLACK);
    draw_text(static_cast<float>(HELP_LEFT + 0.02), static_cast<float>(top - HELP_LINE), font,
              "Keys of the window");
    for (int i = 0; i < WINDOW_KEY_HELP_COUNT; ++i) {
        const auto y = static_cast<float>(top - HELP_LINE * (i + 2));
        draw_text(static_cast<float>(HELP_LEFT + 0.02), y, font, WINDOW_KEY_HELP[i].keys);
        draw_text(static_cast<float>(HELP_LEFT + 0.25), y, font, WINDOW_KEY_HELP[i].what);
    }
}

// reads: robot_type, graph_select, view_origin, graph_origin of the current run, the scene's
// view state and every run's histories
void compose_frame(const Scene& scene) {
    const WindowSystemCall call;  // the drawing allocates nothing of robosim's own
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    const Settings& settings = current_run(scene).experiment->settings;
    const int robot_type = settings.robot_type;
    const int k = clamp_sample(settings, scene.view.anim_index);
    draw_caption();
    draw_status_labels(scene);

    // grid: one cell is 0.1 m of robot space at every scale, centred on the robot base
    const double s = scene.view.robot_scale;
    const Point2 base = view_base(scene);
    draw_grid({s * base.x, s * base.y}, 0.0, GRID_HALF_CELLS, GRID_CELL * s, GRID_CELL * s);

    // the robot scene, then the white panel that hides it right of the graphs
    if (robot_type == 'a' || robot_type == 'b') {
        draw_robot_scene(scene, k);
        draw_rect({settings.graph_origin.x - PANEL_MARGIN, -1.0}, 1.0, 2.0, 0.0, WHITE);
    }

    draw_joint_graph(scene, k);
    if (settings.graph_select == 't') {
        draw_torque_graph(scene, k);
    } else if (settings.graph_select == 'i') {
        draw_inertia_graph(scene, k);
    }
    draw_run_legend(scene);
    draw_experiment_caption(scene);
    draw_time_readout(scene, k);
    if (scene.view.figures_shown) {
        draw_response_table(scene);
    }
    if (scene.view.help_shown) {
        draw_help_panel();
    }
}

void display_frame(const Scene& scene) {
    compose_frame(scene);
    end_frame();
}

void end_frame() {
    const WindowSystemCall call;
    glFlush();
    swap_window_buffers();
}

Point2 window_point(int x, int y, int width, int height) {
    // the GL row of an X row counts from the bottom
    return {2.0 * x / width - 1.0, 2.0 * (height - 1 - y) / height - 1.0};
}

// reads: graph_origin, graph_width, graph_select, torque_origin1, torque_origin2, torque_half1,
// torque_half2, inertia_origin, inertia_height
std::optional<double> graph_axis_at(const Settings& s, const Point2& p) {
    struct Band {
        double x0, bottom, top;  // the axis' start, and the graph's lowest and highest y
    };

    const Point2 J = s.graph_origin;
    const Point2 I = s.inertia_origin;
    const Point2 T1 = s.torque_origin1;
    const Point2 T2 = s.torque_origin2;
    const double h1 = s.torque_half1 + AXIS_OVERHANG;
    const double h2 = s.torque_half2 + AXIS_OVERHANG;
    const Band joint = {J.x, J.y + ERROR_BAND_LOW * GRAPH_HEIGHT - NUMBER_DROP,
                        J.y + GRAPH_AXIS_H + AXIS_OVERHANG};
    const Band lower[] = {{T1.x, T1.y - h1, T1.y + h1},
                          {T2.x, T2.y - h2, T2.y + h2},
                          {I.x, I.y - TITLE_DROP, I.y + s.inertia_height + AXIS_OVERHANG}};
    const auto holds = [&](const Band& b) {
        return p.x >= b.x0 - PANEL_MARGIN && p.x <= b.x0 + s.graph_width + PANEL_MARGIN
               && p.y >= b.bottom && p.y <= b.top;
    };
    if (holds(joint)) {
        return joint.x0;
    }
    for (int i = 0; i < 3; ++i) {
        if ((s.graph_select == 't' ? i < 2 : s.graph_select == 'i' && i == 2) && holds(lower[i])) {
            return lower[i].x0;
        }
    }
    return std::nullopt;
}

void on_reshape(int width, int height) {
    const WindowSystemCall call;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace robosim
