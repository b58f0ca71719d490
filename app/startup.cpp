// The start-up sequence: defaults, the start-up questions, the derived model and the whole
// chain of console dialogs. Only a lower-case 'y' reads a data file; the robot and motion keys
// are asked for again until they name a robot and a motion.
#include "app/startup.h"

#include "app/datafile.h"
#include "app/dialogs.h"
#include "app/experiment.h"
#include "app/report.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "platform/console.h"
#include "platform/console_io.h"

void run_startup(const char* data_file) {
    set_defaults(params);
    console_print("\n\nロボットの制御シミュレーション");
    console_print("\n\nロボット諸元・軌道データをファイルから読み込み？  yes:y  no:n");
    if (data_file != nullptr) {
        data_file_name = read_robot_file(params, data_file);  // as if 'y' and the name were typed
    } else if (console_read_key() == 'y') {
        data_file_name = read_robot_file(params);  // robot, mechanics, selectors and motion
    } else {
        params.settings.robot_type =
            ask_key("\nロボットの選択   a:円筒座標ロボット　b:SCARAロボット　type=", "ab",
                    "\n  type は a, b のどちらかを入力してください");
        params.settings.gravity = 'g';
        params.settings.fb_type = 'V';
        params.settings.motion = ask_key(
            "\n運動パターンの選択   q:PTP(step指令)　p:PTP(台形速度指令)　c:CP運動  pattern=",
            "qpc", "\n  pattern は q, p, c のどれかを入力してください");
        if (params.settings.motion == 'c') {
            ask_cp_kind(true);
        }
    }
    tell_unreachable(params, update_derived(params), true, &told_unreachable);
    last_key = '0';
    console_dialogs();
}
