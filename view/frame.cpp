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

// reads: robot_type, graph_select, view_origin, graph_origin, view_state, the histories
void compose_frame() {
    const WindowSystemCall call;  // the drawing allocates nothing of robosim's own
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();

    const int robot_type = params.robot_type;
    const int k = clamp_sample(view_state.anim_index);
    draw_caption();
    draw_status_labels(robot_type);

    // grid: one cell is 0.1 m of robot space at every scale
    const double s = view_state.robot_scale;
    draw_grid({s * params.view_origin.x, s * params.view_origin.y}, 0.0, GRID_HALF_CELLS,
              GRID_CELL * s, GRID_CELL * s);

    // the robot scene, then the white panel that hides it right of the graphs
    if (robot_type == 'a' || robot_type == 'b') {
        draw_robot_scene(robot_type, k);
        draw_rect({params.graph_origin.x - PANEL_MARGIN, -1.0}, 1.0, 2.0, 0.0, WHITE);
    }

    draw_joint_graph(robot_type, k);
    if (params.graph_select == 't') {
        draw_torque_graph(robot_type, k);
    } else if (params.graph_select == 'i') {
        draw_inertia_graph(robot_type, k);
    }
}

void display_frame() {
    compose_frame();
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
