// The program's graphics window in the browser: the page's canvas #canvas. The software GL draws
// each frame into its own RGBA buffer, and one putImageData over the wasm heap shows it, so a
// frame costs no copy in C++ and none in the page's script.
//
// The browser owns the event loop. run_window draws the first frame and hands control back to
// it with the runtime kept alive; the page's script sends the keys and the left mouse button
// through the exported functions at the end of this file (it maps KeyboardEvent.key to the
// window library's characters and codes, and the pointer to canvas pixels), and the timer and
// the redraws are the browser's setTimeout and requestAnimationFrame. There is no display to
// check and no other client that could destroy the canvas: the page is closed with its tab.
#include "platform/web/web_window.h"

#include "platform/web/soft_gl.h"
#include "platform/x_window.h"

#include <GL/gl.h>

#include <emscripten.h>
#include <emscripten/html5.h>

namespace robosim {

//------------------------------------------------------------------ the canvas

// the callbacks of the window run_window opened; all nullptr before
static WindowSetup window = {};
static bool redraw_pending = false;  // a redraw waits for the next animation frame
// the sample of the scene being shown, asked at each frame shown; nullptr: always 0
static int (*scene_sample)() = nullptr;
static int shown_sample = 0;  // the sample of the frame last shown

// The canvas's ImageData is made once over the software GL's buffer in the wasm heap and kept
// while that buffer stays where it is: a new size, or the heap's growth (which detaches the
// old ArrayBuffer), makes it anew. The page's Module.onFrameShown counts the frames. (The
// preprocessor splits JavaScript's === and => into two tokens: the page's code here does
// without them.)
// clang-format off
EM_JS(void, put_frame_on_canvas, (const unsigned char* pixels, int width, int height), {
    let shown = Module.robosimCanvasImage;
    if (!shown || shown.buffer != HEAPU8.buffer || shown.pixels != pixels
        || shown.image.width != width || shown.image.height != height) {
        const canvas = document.getElementById('canvas');
        const data = new Uint8ClampedArray(HEAPU8.buffer, pixels, width * height * 4);
        shown = {
            buffer : HEAPU8.buffer,
            pixels : pixels,
            image : new ImageData(data, width, height),
            context : canvas.getContext('2d')
        };
        Module.robosimCanvasImage = shown;
    }
    shown.context.putImageData(shown.image, 0, 0);
    if (Module.onFrameShown) {
        Module.onFrameShown();
    }
});
// clang-format on

// clang-format off
// the caption is the page's line above the canvas, as the desktop's is the title bar
EM_JS(void, show_caption, (const char* utf8), {
    const line = document.getElementById('caption');
    if (line) {
        line.textContent = UTF8ToString(utf8);
    }
});

// clang-format on

static EM_BOOL redraw_now(double /*time*/, void* /*data*/) {
    redraw_pending = false;
    window.display();
    return EM_FALSE;  // once: the next redraw is asked for anew
}

// a timer's callback and value, carried through the browser's timer as its one pointer
struct TimerCall {
    void (*callback)(int value);
    int value;
};

static void run_timer(void* data) {
    const TimerCall call = *static_cast<const TimerCall*>(data);
    delete static_cast<const TimerCall*>(data);
    call.callback(call.value);
}

//------------------------------------------------------------------ start-up

// no window library reads the words of a page's program
WindowOptions window_options(int /*argc*/, char** /*argv*/) {
    return {nullptr, nullptr, 0};
}

// the canvas is laid out by the page at the window's own size; no screen to fit it to
int open_window_size(int size, int /*screen_width*/, int /*screen_height*/) {
    return size;
}

const char* place_window(const char* /*geometry*/, int default_size, int /*screen_width*/,
                         int /*screen_height*/, WindowPlace* place) {
    *place = {default_size, default_size, 0, 0, false};
    return nullptr;
}

// the browser that runs the page draws it: nothing can be missing
const char* display_problem(const char* /*display_name*/, int /*rendering*/, int* screen_width,
                            int* screen_height) {
    // the batch tool under node has no page: its pictures are refused before any run
    if (EM_ASM_INT({ return typeof document == 'undefined' ? 1 : 0; }) != 0) {
        return "the batch tool under node has none (the page in the browser draws the frames; the "
               "native robosim-batch writes picture files)";
    }
    if (screen_width != nullptr && screen_height != nullptr) {
        *screen_width = EM_ASM_INT({ return screen.width; });
        *screen_height = EM_ASM_INT({ return screen.height; });
    }
    return nullptr;
}

void set_window_sample_source(int (*sample)()) {
    scene_sample = sample;
}

void run_window(int /*argc*/, char** /*argv*/, const WindowSetup& setup) {
    window = setup;
    // the canvas's pixels are the frame's: as many as the window has, whatever the CSS says
    emscripten_set_canvas_element_size("#canvas", setup.size, setup.size);
    softgl::resize(setup.size, setup.size);
    show_caption(setup.caption);
    glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    setup.reshape(setup.size, setup.size);
    setup.display();
    // main ends here, but the session and the page's calls into it live on
    emscripten_exit_with_live_runtime();
}

// the page is closed by its tab, never by the program: the call that asked for the end ends
// here, and the page goes on taking keys
void close_window_and_exit(int /*status*/) {
    emscripten_exit_with_live_runtime();
}

bool window_is_open() {
    return true;
}

void start_window_timer(unsigned ms, void (*callback)(int value), int value) {
    emscripten_async_call(run_timer, new TimerCall{callback, value}, static_cast<int>(ms));
}

void request_redraw() {
    if (!redraw_pending) {
        redraw_pending = true;
        emscripten_request_animation_frame(redraw_now, nullptr);
    }
}

void swap_window_buffers() {
    shown_sample = scene_sample != nullptr ? scene_sample() : 0;
    put_frame_on_canvas(softgl::rgba(), softgl::width(), softgl::height());
}

// the page sends each key as it comes and no console dialog ever holds them back
void drop_window_keys() {}

}  // namespace robosim

//------------------------------------------------------------------ the page's input

using robosim::window;

extern "C" {

EMSCRIPTEN_KEEPALIVE void robosim_window_key(int character) {
    if (window.key != nullptr) {
        window.key(static_cast<unsigned char>(character), 0, 0);
    }
}

EMSCRIPTEN_KEEPALIVE void robosim_window_special(int key) {
    if (window.special != nullptr) {
        window.special(key, 0, 0);
    }
}

EMSCRIPTEN_KEEPALIVE void robosim_window_pointer(int kind, int x, int y) {
    if (window.pointer == nullptr || kind < robosim::PointerEvent::press
        || kind > robosim::PointerEvent::release) {
        return;
    }
    window.pointer({static_cast<robosim::PointerEvent::Kind>(kind), x, y, robosim::softgl::width(),
                    robosim::softgl::height()});
}

EMSCRIPTEN_KEEPALIVE int robosim_window_sample(void) {
    return robosim::shown_sample;
}
}
