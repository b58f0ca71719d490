// The settings asked by a form. A form asks every dialog at once, so its answers are checked
// whole before any is applied; what follows is the console dialogs' own end.
#include "app/form.h"

#include "app/datafile.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "platform/console_io.h"
#include "settings/experiment_settings.h"

namespace robosim {

void start_form_session(Session& session) {
    set_start_defaults(session.experiment);  // the batch tool's start: the same first run
    session.caption_base = session.experiment.settings;
    session.last_key = '0';
    final_stage(session);
}

DialogRefusal answer_form(Session& session,
                          const std::vector<std::pair<std::string, std::string>>& answers) {
    Settings& s = session.experiment.settings;
    const Settings before = s;
    const DialogRefusal refusal = apply_dialog_answers(s, answers);
    if (!refusal.setting.empty()) {
        console_print("\n  %s", refusal.message.c_str());
        return refusal;
    }
    // no longer the experiment the file describes, as after the keys a b q p c
    if (s.robot_type != before.robot_type || s.motion != before.motion) {
        session.data_file_name.clear();
        session.caption_base = default_settings();
    }
    leave_window(session);
    final_stage(session);
    return {};
}

std::string read_form_file(Session& session, const char* path) {
    leave_window(session);
    ParameterSet& ps = session.experiment;
    console_print("\n読み込んだファイル名 = %s", path);
    bool refused = false;
    const bool whole = read_robot_data(ps, path, &refused);
    if (whole) {
        session.data_file_name = path;
        session.caption_base = ps.settings;
    }
    final_stage(session);
    if (refused) {
        return std::string("the file holds a value no robot can have; nothing of it is used");
    }
    return whole ? std::string()
                 : std::string("the file ends early or holds a word that is no number");
}

}  // namespace robosim
