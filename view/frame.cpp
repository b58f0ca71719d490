// The frame: everything the window shows, rebuilt completely on every call from the parameter
// set, the view state and the histories. The drawing order is the layering: grid under robot,
// robot under markers and trace, all of them under the white panel, the panel under the graphs.
#include "view/frame.h"

#include "model/parameters.h"
#include "platform/window_system.h"
#include "view/draw.h"
#include "view/graphs.h"
#include "view/robot_view.h"
#include "view/view_state.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

// reads: robot_type, graph_select, view_origin, graph_origin, the scene's view state and histories
void compose_frame(const Scene& scene) {
    const WindowSystemCall call;  // the drawing allocates nothing of robosim's own
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    const int robot_type = scene.ps.settings.robot_type;
    const int k = clamp_sample(scene.ps.settings, scene.view.anim_index);
    draw_caption();
    draw_status_labels(scene, robot_type);

    // grid: one cell is 0.1 m of robot space at every scale
    const double s = scene.view.robot_scale;
    draw_grid({s * scene.ps.settings.view_origin.x, s * scene.ps.settings.view_origin.y}, 0.0,
              GRID_HALF_CELLS, GRID_CELL * s, GRID_CELL * s);

    // the robot scene, then the white panel that hides it right of the graphs
    if (robot_type == 'a' || robot_type == 'b') {
        draw_robot_scene(scene, robot_type, k);
        draw_rect({scene.ps.settings.graph_origin.x - PANEL_MARGIN, -1.0}, 1.0, 2.0, 0.0, WHITE);
    }

    draw_joint_graph(scene, robot_type, k);
    if (scene.ps.settings.graph_select == 't') {
        draw_torque_graph(scene, robot_type, k);
    } else if (scene.ps.settings.graph_select == 'i') {
        draw_inertia_graph(scene, robot_type, k);
    }
}

void display_frame(const Scene& scene) {
    compose_frame(scene);
    end_frame();
}

void end_frame() {
    const WindowSystemCall call;
    glFlush();
    glutSwapBuffers();
}

void on_reshape(int width, int height) {
    const WindowSystemCall call;
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
}
