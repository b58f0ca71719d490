// robosim in a browser page: the same session, frame and keys as the console program, with the
// page's form in place of the console dialogs and its report panel in place of the terminal.
// main sets up the experiment of the start-up's default answers, runs it and opens the window on
// the canvas; the browser's event loop then takes over, and the session lives on after main.
#include "app/report.h"
#include "app/session.h"
#include "app/window.h"
#include "model/derive.h"
#include "planning/experiment.h"
#include "platform/console_io.h"
#include "platform/web/web_console.h"
#include "platform/web/web_window.h"
#include "settings/experiment_settings.h"
#include "view/view_state.h"

using namespace robosim;

// the page's one session, made at its first use (in main) and kept for as long as the page is
// open: the form's calls and the canvas's keys reach it after main has returned
static Session& page_session() {
    static Session session;
    return session;
}

// the sample the canvas shows, for the page's script
static int shown_sample() {
    return page_session().view.anim_index;
}

// the experiment of the start-up's default answers (the SCARA robot on the sine path, gravity
// on, fb V), its reports, its run and the view the dialogs' end resets to
static void start_page_session(Session& session) {
    ParameterSet& ps = session.experiment;
    set_start_defaults(ps);
    console_print("\n\nロボットの制御シミュレーション");
    tell_unreachable(ps, update_derived(ps), true, &session.told_unreachable);
    print_settings_derived(ps);
    tell_unreachable(ps, run_current_experiment(session), false, &session.told_unreachable);
    session.told_unreachable = {};
    session.last_key = '0';
    session.view = initial_view_state();
}

int main(int argc, char** argv) {
    install_page_console();
    set_window_sample_source(shown_sample);
    Session& session = page_session();
    start_page_session(session);
    open_window(session, argc, argv);
}
