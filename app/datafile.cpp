// The console's side of the robot data files: the reading and its echo come from the settings
// library as a value and as text; here they meet the console.
#include "app/datafile.h"

#include "platform/console.h"
#include "platform/console_io.h"
#include "platform/output_file.h"
#include "settings/datafile.h"
#include "settings/messages_ja.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace robosim {

//------------------------------------------------------------------ reading

bool read_robot_data(ParameterSet& ps, const char* path, bool* refused, bool refuse_off_list) {
    const DataFileRead read = read_robot_data_file(path, ps, refuse_off_list);
    console_print("%s", data_file_text_ja(read, path).c_str());
    const bool refuse = refuses_file(read.error.problem);
    if (refused != nullptr) {
        *refused = refuse;
    }
    // a file that holds a value no robot can have is not applied at all
    if (!refuse) {
        ps = read.ps;
    }
    return read.error.problem == DataFileProblem::none;
}

std::string read_robot_file(ParameterSet& ps, const char* path) {
    console_print("\nファイル 'robot21.dat, robot22.dat, ...'から読み込み");
    console_print("\nファイル名入力　");
    const std::string name = path != nullptr ? path : console_read_line();  // any length
    console_print("\n読み込んだファイル名 = %s", name.c_str());
    return read_robot_data(ps, name.c_str()) ? name : std::string();
}

//------------------------------------------------------------------ writing

void write_robot_file(const ParameterSet& ps) {
    console_print("\n設定を書き出すファイル名入力　");
    const std::string name = console_read_line();  // the whole line: a name may hold blanks
    if (name.empty()) {
        console_print("\n  ファイル名が空なので、書き出しを取りやめました");
        return;
    }
    // whole or not at all: an existing file stays as it was when the write fails
    std::string why;
    int err = 0;
    struct stat st = {};
    if (write_output(name, robot_data_text(ps), &why, &err)) {
        console_print("\n書き出したファイル名 = %s", name.c_str());
    } else if (stat(name.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        console_print("\nファイル %s は通常のファイルではありません（%s）。書き出せません",
                      name.c_str(), file_kind_text_ja(file_kind_of(st.st_mode)));
    } else {
        console_print("\nファイル %s に書き出せません（%s）", name.c_str(),
                      error_text_ja(err != 0 ? err : EIO).c_str());
    }
}

}  // namespace robosim
