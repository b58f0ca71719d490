// robosim's graphics window: the platform's window with the frame and the key commands.
#include "app/window.h"

#include "app/keys.h"
#include "platform/x_window.h"
#include "view/frame.h"

namespace robosim {

const char WINDOW_CAPTION[] =
    "r:file, a,b:ロボット選択, l,m,u:メカ, g,h:重力, k:ゲイン, v,V:VFB, q,p,c:運動変更，t,i:"
    "Trq,II選択, W,w:振動拡大縮小，0:初期へ，s:継続";

// The session the window shows and its keys change. The window library calls back without
// any context of ours, so this one pointer is how its callbacks reach the program's state.
static Session* window_session = nullptr;

// the window's display callback: the frame of the current experiment
static void display_current_frame() {
    display_frame(current_scene(*window_session));
}

static void on_window_key(unsigned char key, int x, int y) {
    on_key(*window_session, key, x, y);
}

static void on_window_special_key(int key, int x, int y) {
    on_special_key(*window_session, key, x, y);
}

static void on_window_pointer(const PointerEvent& event) {
    on_pointer(*window_session, event);
}

void on_play_timer(int generation) {
    if (window_session != nullptr) {
        play_tick(*window_session, generation);
    }
}

void open_window(Session& session, int argc, char** argv) {
    window_session = &session;
    run_window(argc, argv,
               {WINDOW_SIZE, WINDOW_CAPTION, display_current_frame, on_reshape, on_window_key,
                on_window_special_key, on_window_pointer});
}

}  // namespace robosim
