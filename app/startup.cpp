// The start-up sequence: defaults, the start-up questions, the derived model and the whole
// chain of console dialogs. Only a lower-case 'y' reads a data file; the robot and motion keys
// are asked for again until they name a robot and a motion.
#include "app/startup.h"

#include "app/datafile.h"
#include "app/dialogs.h"
#include "app/report.h"
#include "app/session.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "platform/console.h"
#include "platform/console_io.h"

namespace robosim {

void run_startup(Session& session, const char* data_file) {
    ParameterSet& ps = session.experiment;
    set_defaults(ps);
    console_print("\n\nロボットの制御シミュレーション");
    console_print("\n\nロボット諸元・軌道データをファイルから読み込み？  yes:y  no:n");
    if (data_file != nullptr) {
        session.data_file_name =
            read_robot_file(ps, data_file);  // as if 'y' and the name were typed
    } else if (console_read_key() == 'y') {
        session.data_file_name = read_robot_file(ps);  // robot, mechanics, selectors and motion
    } else {
        ps.settings.robot_type =
            ask_key("\nロボットの選択   a:円筒座標ロボット　b:SCARAロボット　type=", "ab",
                    "\n  type は a, b のどちらかを入力してください");
        ps.settings.gravity = 'g';
        ps.settings.fb_type = 'V';
        ps.settings.motion = ask_key(
            "\n運動パターンの選択   q:PTP(step指令)　p:PTP(台形速度指令)　c:CP運動  pattern=",
            "qpc", "\n  pattern は q, p, c のどれかを入力してください");
        if (ps.settings.motion == 'c') {
            ps.settings.cp = ask_cp_kind(ps.settings.cp, true);
        }
    }
    if (!session.data_file_name.empty()) {
        session.caption_base = ps.settings;  // the caption names what differs from the file
    }
    tell_unreachable(ps, update_derived(ps), true, &session.told_unreachable);
    session.last_key = '0';
    console_dialogs(session);
}

}  // namespace robosim
