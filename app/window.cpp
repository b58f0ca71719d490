// robosim's graphics window: the platform's window with the frame and the key commands.
#include "app/window.h"

#include "app/experiment.h"
#include "app/keys.h"
#include "platform/x_window.h"
#include "view/frame.h"

const char WINDOW_CAPTION[] =
    "r:file, a,b:ロボット選択, l,m,u:メカ, g,h:重力, k:ゲイン, v,V:VFB, q,p,c:運動変更，t,i:"
    "Trq,II選択, W,w:振動拡大縮小，0:初期へ，s:継続";

// the window's display callback: the frame of the current experiment
static void display_current_frame() {
    display_frame(current_scene());
}

void open_window(int argc, char** argv) {
    run_window(
        argc, argv,
        {WINDOW_SIZE, WINDOW_CAPTION, display_current_frame, on_reshape, on_key, on_special_key});
}
