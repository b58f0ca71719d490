// The start-up sequence: defaults, the start-up questions, the derived model and the whole
// chain of console dialogs. Only a lower-case 'y' reads a data file; the robot and motion keys
// are stored as typed (the dialogs and the simulation know what to do with other values).
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

// the CP path kind, typed and ended with Enter. Only the kinds 1 .. 4 have a path, so any
// other answer, a word that is not a number included, is asked for again.
// reads and writes: cp
static void ask_cp_kind() {
    for (;;) {
        console_print("\nCP 軌道を選択　旧cp=%d = %s  cp=1:直線 2:円 3:U字形 4:正弦波 をキー  cp=",
                      params.settings.cp, cp_name(params.settings.cp));
        int cp = 0;
        if (console_read_int(&cp) == 1 && cp >= 1 && cp <= 4) {
            params.settings.cp = cp;
            return;
        }
        console_print("\n  cp は 1, 2, 3, 4 のどれかを入力してください");
    }
}

void run_startup() {
    set_defaults(params);
    console_print("\n\nロボットの制御シミュレーション");
    console_print("\n\nロボット諸元・軌道データをファイルから読み込み？  yes:y  no:n");
    if (console_read_key() == 'y') {
        read_robot_file(params);  // robot, mechanics, selectors and motion from the file
    } else {
        console_print("\nロボットの選択   a:円筒座標ロボット　b:SCARAロボット　type=");
        params.settings.robot_type = console_read_key();
        params.settings.gravity = 'g';
        params.settings.fb_type = 'V';
        console_print(
            "\n運動パターンの選択   q:PTP(step指令)　p:PTP(台形速度指令)　c:CP運動  pattern=");
        params.settings.motion = console_read_key();
        if (params.settings.motion == 'c') {
            ask_cp_kind();
        }
    }
    tell_unreachable(params, update_derived(params), true, &told_unreachable);
    last_key = '0';
    console_dialogs();
}
