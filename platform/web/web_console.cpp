// The page's console: the reports of the experiment, in the Japanese the terminal shows, go to
// the page's report panel #panel, newest at the bottom. The page asks nothing on a console (its
// form does that), so a report that waits for a key, such as the message of a SCARA point out of
// reach, just goes on.
#include "platform/web/web_console.h"

#include "platform/console_io.h"

#include <emscripten.h>

namespace robosim {

// A report comes in many small pieces: each is added to the panel's last text node, and the
// panel is scrolled to its end once per animation frame rather than once per piece. (No === or =>
// here: the preprocessor would split them.)
// clang-format off
EM_JS(void, append_to_panel, (const char* utf8), {
    const panel = document.getElementById('panel');
    if (!panel) {
        return;
    }
    const text = UTF8ToString(utf8);
    const last = panel.lastChild;
    if (last && last.nodeType == Node.TEXT_NODE) {
        last.appendData(text);
    } else {
        panel.appendChild(document.createTextNode(text));
    }
    if (!Module.robosimPanelScroll) {
        Module.robosimPanelScroll = requestAnimationFrame(function() {
            Module.robosimPanelScroll = 0;
            panel.scrollTop = panel.scrollHeight;
        });
    }
});

// clang-format on

static void write_to_panel(const char* utf8) {
    append_to_panel(utf8);
}

// a key is never waited for: the page's reports go on at once
static int no_key() {
    return 0;
}

void install_page_console() {
    console_hooks = {write_to_panel, no_key};
}

}  // namespace robosim
