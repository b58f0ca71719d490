// robosim in a browser page: the same session, frame and keys as the console program, with the
// page's form in place of the console dialogs and its report panel in place of the terminal.
// main sets up the experiment of the start-up's default answers (the batch tool's), runs it and
// opens the window on the canvas; the browser's event loop then takes over, and the session lives
// on after main.
#include "app/form.h"
#include "app/session.h"
#include "app/window.h"
#include "platform/web/web_console.h"
#include "platform/web/web_window.h"

namespace robosim {

// the page's one session, made at its first use (in main) and kept for as long as the page is
// open: the form's calls (web/page_api.cpp) and the canvas's keys reach it after main has
// returned
Session& page_session();

Session& page_session() {
    static Session session;
    return session;
}

}  // namespace robosim

using namespace robosim;

// the sample the canvas shows, for the page's script
static int shown_sample() {
    return page_session().view.anim_index;
}

int main(int argc, char** argv) {
    install_page_console();
    set_window_sample_source(shown_sample);
    Session& session = page_session();
    start_form_session(session);
    open_window(session, argc, argv);
}
