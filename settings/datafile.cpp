// The robot data file. The reader knows which token comes next only from the values already
// read (robot type, motion pattern, path kind), so it reads line by line, the next line chosen
// by next_file_line, as the writer writes them. Every value goes through the setting table
// (store_setting), in the unit of the parameter set, so that the file, --set and the dialogs
// store the same bits; the writer asks the table for the value that reads back to them.
#include "settings/datafile.h"

#include "model/parameters.h"
#include "settings/setting_fields.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace robosim {

//------------------------------------------------------------------ layout

// clang-format off
static const FileItem ROBOT_TYPE[] = {{"robot_type", "(1) ロボットタイプ a/b"}};
static const FileItem CYL_ARM[] = {{"cyl.L", "(1-1) アーム長 L"}};
static const FileItem SCARA_ARM[] = {{"scara.L1", "(1-1) アーム長 L1"},
                                     {"scara.L2w", "(1-1) J2--Pw間距離"}};
static const FileItem WORK[] = {{"mw", "(1-2) ワーク質量 mw"}};
static const FileItem CYL_MOTORS[] = {{"cyl.PW1", "(1-3) モータパワー PW1"},
                                      {"cyl.PW2", "(1-3) モータパワー PW2"}};
static const FileItem SCARA_MOTORS[] = {{"scara.PW1", "(1-3) モータパワー PW1"},
                                        {"scara.PW2", "(1-3) モータパワー PW2"}};
static const FileItem CYL_GEAR1[] = {{"cyl.u1", "(1-4) 減速比 u1"},
                                     {"cyl.eta_fwd1", "(1-4) 順伝達効率 η1"}};
static const FileItem SCARA_GEAR1[] = {{"scara.u1", "(1-4) 減速比 u1"},
                                       {"scara.eta_fwd1", "(1-4) 順伝達効率 η1"}};
static const FileItem CYL_GEAR2[] = {{"cyl.u2", "(1-4) 減速比 u2"},
                                     {"cyl.eta_fwd2", "(1-4) 順伝達効率 η2"}};
static const FileItem SCARA_GEAR2[] = {{"scara.u2", "(1-4) 減速比 u2"},
                                       {"scara.eta_fwd2", "(1-4) 順伝達効率 η2"}};
static const FileItem GRAVITY[] = {{"gravity", "(1-5) 重力 g/h"}};
static const FileItem CONTROL1[] = {{"fn1", "(2-1) fn1"}, {"alpha1", "(2-1) α1"}};
static const FileItem CONTROL2[] = {{"fn2", "(2-1) fn2"}, {"alpha2", "(2-1) α2"}};
static const FileItem FB_TYPE[] = {{"fb_type", "(2-2) 速度FB v/V"}};
static const FileItem MOTION[] = {{"motion", "(3-1) 運動パターン q/p/c"}};
static const FileItem STEP[] = {{"step.x0", "(3-2) 始点 x0"}, {"step.y0", "(3-2) 始点 y0"},
                                {"step.xf", "(3-2) 終点 xf"}, {"step.yf", "(3-2) 終点 yf"}};
static const FileItem TRAP[] = {{"trap.x0", "(3-2) 始点 x0"}, {"trap.y0", "(3-2) 始点 y0"},
                                {"trap.xf", "(3-2) 終点 xf"}, {"trap.yf", "(3-2) 終点 yf"},
                                {"trap.tf", "(3-2) 位置決め時間 tf"}};
static const FileItem CP[] = {{"cp", "(3-2) CP軌道 cp"}};
static const FileItem LINE[] = {{"line.x0", "(3-3) 始点 x0"}, {"line.y0", "(3-3) 始点 y0"},
                                {"line.xf", "(3-3) 終点 xf"}, {"line.yf", "(3-3) 終点 yf"},
                                {"line.tf", "(3-3) 位置決め時間 tf"}};
static const FileItem CIRCLE[] = {{"circle.Ox", "(3-3) 円中心 Ox"}, {"circle.Oy", "(3-3) 円中心 Oy"},
                                  {"circle.rr", "(3-3) 半径 rr"},
                                  {"circle.tf", "(3-3) 運動時間 tf"}};
static const FileItem UCURVE[] = {{"ucurve.x0", "(3-3) 始点 x0"}, {"ucurve.y0", "(3-3) 始点 y0"},
                                  {"ucurve.xf", "(3-3) 終点 xf"}, {"ucurve.yf", "(3-3) 終点 yf"},
                                  {"ucurve.x1", "(3-3) 湾曲点 x1"}, {"ucurve.y1", "(3-3) 湾曲点 y1"},
                                  {"ucurve.x2", "(3-3) 湾曲点 x2"}, {"ucurve.y2", "(3-3) 湾曲点 y2"},
                                  {"ucurve.tf", "(3-3) 位置決め時間 tf"}};
static const FileItem SINE[] = {{"sine.x0", "(3-3) 始点 x0"}, {"sine.y0", "(3-3) 始点 y0"},
                                {"sine.L", "(3-3) 波長 L"}, {"sine.A", "(3-3) 振幅 A"},
                                {"sine.tf", "(3-3) 運動時間 tf"}};

// clang-format on

std::span<const FileItem> file_line_items(FileLine line, int robot_type) {
    const bool cyl = robot_type == 'a';
    switch (line) {
        case FileLine::robot_type:
            return ROBOT_TYPE;
        case FileLine::cyl_arm:
            return CYL_ARM;
        case FileLine::scara_arm:
            return SCARA_ARM;
        case FileLine::work:
            return WORK;
        case FileLine::motors:
            return cyl ? CYL_MOTORS : SCARA_MOTORS;
        case FileLine::gear1:
            return cyl ? CYL_GEAR1 : SCARA_GEAR1;
        case FileLine::gear2:
            return cyl ? CYL_GEAR2 : SCARA_GEAR2;
        case FileLine::gravity:
            return GRAVITY;
        case FileLine::control1:
            return CONTROL1;
        case FileLine::control2:
            return CONTROL2;
        case FileLine::fb_type:
            return FB_TYPE;
        case FileLine::motion:
            return MOTION;
        case FileLine::step:
            return STEP;
        case FileLine::trap:
            return TRAP;
        case FileLine::cp:
            return CP;
        case FileLine::line:
            return LINE;
        case FileLine::circle:
            return CIRCLE;
        case FileLine::ucurve:
            return UCURVE;
        case FileLine::sine:
            return SINE;
        case FileLine::end:
            break;  // nothing follows: no tokens
    }
    return {};
}

FileLine next_file_line(FileLine line, const Settings& s) {
    const bool robot = s.robot_type == 'a' || s.robot_type == 'b';
    switch (line) {
        case FileLine::robot_type:
            return s.robot_type == 'a'   ? FileLine::cyl_arm
                   : s.robot_type == 'b' ? FileLine::scara_arm
                                         : FileLine::work;
        case FileLine::cyl_arm:
        case FileLine::scara_arm:
            return FileLine::work;
        case FileLine::work:
            return robot ? FileLine::motors : FileLine::gravity;  // another type has no motors
        case FileLine::motors:
            return FileLine::gear1;
        case FileLine::gear1:
            return FileLine::gear2;
        case FileLine::gear2:
            return FileLine::gravity;
        case FileLine::gravity:
            return FileLine::control1;
        case FileLine::control1:
            return FileLine::control2;
        case FileLine::control2:
            return FileLine::fb_type;
        case FileLine::fb_type:
            return FileLine::motion;
        case FileLine::motion:
            return s.motion == 'q'   ? FileLine::step
                   : s.motion == 'p' ? FileLine::trap
                   : s.motion == 'c' ? FileLine::cp
                                     : FileLine::end;
        case FileLine::cp: {
            const FileLine paths[] = {FileLine::line, FileLine::circle, FileLine::ucurve,
                                      FileLine::sine};
            return s.cp >= 1 && s.cp <= 4 ? paths[s.cp - 1] : FileLine::end;
        }
        case FileLine::step:
        case FileLine::trap:
        case FileLine::line:
        case FileLine::circle:
        case FileLine::ucurve:
        case FileLine::sine:
        case FileLine::end:
            break;  // the motion's data ends the file
    }
    return FileLine::end;
}

// whether line holds one selector (a character, or the path kind) rather than numbers
static bool is_selector_line(FileLine line) {
    return line == FileLine::robot_type || line == FileLine::gravity || line == FileLine::fb_type
           || line == FileLine::motion || line == FileLine::cp;
}

// the field of a selector line, as const or not
template <class S>
static auto& selector_field(S& s, FileLine line) {
    switch (line) {
        case FileLine::robot_type:
            return s.robot_type;
        case FileLine::gravity:
            return s.gravity;
        case FileLine::fb_type:
            return s.fb_type;
        case FileLine::motion:
            return s.motion;
        default:
            return s.cp;  // the one selector line left
    }
}

//------------------------------------------------------------------ tokens

struct TokenStream {
    std::string_view text;  // the whole file
    size_t pos;             // first byte not read yet
};

static bool is_blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// a stop of the reading at item, at byte position of the file, over token
static DataFileError stop_at(DataFileProblem problem, const FileItem& item, size_t position,
                             const std::string& token) {
    DataFileError error;
    error.problem = problem;
    error.item = &item;
    error.position = position;
    error.token = token;
    return error;
}

// the token for item and where it starts; an early end of the file and a byte no value can
// hold stop the reading with the problem in *error
static bool take_token(TokenStream* ts, const FileItem& item, std::string* token, size_t* start,
                       DataFileError* error) {
    while (ts->pos < ts->text.size() && is_blank(ts->text[ts->pos])) {
        ++ts->pos;
    }
    *start = ts->pos;
    if (ts->pos == ts->text.size()) {
        *error = stop_at(DataFileProblem::ended_early, item, ts->pos, "");
        return false;
    }
    while (ts->pos < ts->text.size() && !is_blank(ts->text[ts->pos])) {
        ++ts->pos;
    }
    *token = std::string(ts->text.substr(*start, ts->pos - *start));
    // a control character (NUL among them) cannot be part of any value
    for (size_t i = 0; i < token->size(); ++i) {
        const auto c = static_cast<unsigned char>((*token)[i]);
        if (c < 0x20 || c == 0x7F) {
            *error = stop_at(DataFileProblem::control_byte, item, *start + i, token->substr(0, i));
            error->byte = c;
            return false;
        }
    }
    return true;
}

// a decimal number as the whole token, of a value the item's rule allows
static bool read_real(TokenStream* ts, const FileItem& item, const Settings& s, double* value,
                      DataFileError* error) {
    std::string token;
    size_t start = 0;
    if (!take_token(ts, item, &token, &start, error)) {
        return false;
    }
    double v = 0.0;
    const NumberWord word = read_number_word(token, &v);
    const SettingRule rule = setting_rule(item.setting);
    if (word == NumberWord::not_a_number) {
        *error = stop_at(DataFileProblem::not_a_number, item, start, token);
    } else if (word == NumberWord::beyond_double) {
        *error = stop_at(DataFileProblem::beyond_double, item, start, token);
        error->value = v;
    } else if (!value_allowed(rule, v, s)) {
        *error = stop_at(DataFileProblem::not_allowed, item, start, token);
        error->value = v;
        error->rule = rule;
    } else {
        *value = v;
        return true;
    }
    return false;
}

// a decimal integer as the whole token; a value beyond int has no path, so it is not taken
static bool read_integer(TokenStream* ts, const FileItem& item, int* value, std::string* token,
                         size_t* start, DataFileError* error) {
    if (!take_token(ts, item, token, start, error)) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(token->c_str(), &end, 10);
    if (end == token->c_str() || end != token->c_str() + token->size() || errno == ERANGE
        || v < INT_MIN || v > INT_MAX) {
        *error = stop_at(DataFileProblem::not_an_integer, item, *start, *token);
        return false;
    }
    *value = static_cast<int>(v);
    return true;
}

// a selector: one character; a longer word is no selector and stops the reading
static bool read_character(TokenStream* ts, const FileItem& item, int* value, std::string* token,
                           size_t* start, DataFileError* error) {
    if (!take_token(ts, item, token, start, error)) {
        return false;
    }
    if (token->size() != 1) {
        *error = stop_at(DataFileProblem::not_one_character, item, *start, *token);
        return false;
    }
    *value = static_cast<unsigned char>((*token)[0]);
    return true;
}

//------------------------------------------------------------------ lines

// A selector line: the value is stored as it stands. One outside its list selects no branch, as
// the file format defines it, and the reading goes on; where the file is to be refused instead,
// the reading stops there.
static bool read_selector_line(TokenStream* ts, Settings& s, bool refuse_off_list,
                               FileLineRead* read, DataFileError* error) {
    const FileItem& item = file_line_items(read->line, s.robot_type)[0];
    int& field = selector_field(s, read->line);
    std::string token;
    size_t start = 0;
    const bool ok = read->line == FileLine::cp
                        ? read_integer(ts, item, &field, &token, &start, error)
                        : read_character(ts, item, &field, &token, &start, error);
    if (!ok) {
        return false;
    }
    read->choice = field;
    // the path kind is compared as its number reads, "01" as 1
    const std::string word = read->line == FileLine::cp ? std::to_string(field) : token;
    const char* choices = selector_choices(item.setting);
    const bool listed = word.size() == 1 && std::strchr(choices, word[0]) != nullptr;
    if (!listed && refuse_off_list) {
        *error = stop_at(DataFileProblem::off_list, item, start, word);
        return false;
    }
    return true;
}

// a line of values, each stored as soon as it is read
static bool read_value_line(TokenStream* ts, Settings& s, FileLineRead* read,
                            DataFileError* error) {
    const std::span<const FileItem> items = file_line_items(read->line, s.robot_type);
    for (size_t i = 0; i < items.size(); ++i) {
        double v = 0.0;
        if (!read_real(ts, items[i], s, &v, error)) {
            return false;
        }
        store_setting(s, items[i].setting, v);
        read->values[i] = v;
    }
    return true;
}

// a circle or a sine derives its ends from its data, even after a stop, so that the record
// stays consistent with what was read, and is the current motion
static void derive_path_ends(FileLine line, ParameterSet& ps) {
    PatternRecord* p = nullptr;
    if (line == FileLine::circle) {
        p = &ps.settings.circle;
        derive_circle_ends(*p);
    } else if (line == FileLine::sine) {
        p = &ps.settings.sine;
        derive_sine_end(*p);
    } else {
        return;  // the other patterns give their ends themselves
    }
    ps.plan.x0 = p->x0;
    ps.plan.y0 = p->y0;
    ps.plan.xf = p->xf;
    ps.plan.yf = p->yf;
}

//------------------------------------------------------------------ reading

bool refuses_file(DataFileProblem problem) {
    return problem == DataFileProblem::beyond_double || problem == DataFileProblem::not_allowed
           || problem == DataFileProblem::off_list;
}

DataFileRead read_robot_data_text(std::string_view text, const ParameterSet& start,
                                  bool refuse_off_list) {
    DataFileRead r;
    r.ps = start;
    TokenStream ts = {text, text.starts_with("\xEF\xBB\xBF") ? size_t{3} : size_t{0}};
    Settings& s = r.ps.settings;
    for (FileLine line = FileLine::robot_type; line != FileLine::end;
         line = next_file_line(line, s)) {
        FileLineRead read;
        read.line = line;
        const bool whole = is_selector_line(line)
                               ? read_selector_line(&ts, s, refuse_off_list, &read, &r.error)
                               : read_value_line(&ts, s, &read, &r.error);
        derive_path_ends(line, r.ps);
        if (!whole) {
            return r;
        }
        r.lines.push_back(read);
    }
    return r;
}

FileKind file_kind_of(unsigned mode) {
    if (S_ISREG(mode)) {
        return FileKind::regular;
    }
    if (S_ISDIR(mode)) {
        return FileKind::folder;
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return FileKind::device;
    }
    if (S_ISFIFO(mode)) {
        return FileKind::fifo;
    }
    return FileKind::other;
}

// The whole file into text, or the problem. Opened without waiting, so a FIFO with no writer is
// refused at once rather than waited on.
static DataFileError load_file(const char* path, std::string* text) {
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        DataFileError error;
        error.problem = DataFileProblem::cannot_open;
        error.err = errno;
        return error;
    }
    struct stat st = {};
    bool ok = fstat(fd, &st) == 0;
    if (ok && !S_ISREG(st.st_mode)) {
        close(fd);
        DataFileError error;
        error.problem = DataFileProblem::not_regular;
        error.kind = file_kind_of(st.st_mode);
        return error;
    }
    // read with the bound itself, not by the size fstat tells: a file may grow while read
    char chunk[4096];
    while (ok && text->size() <= MAX_DATA_FILE_BYTES) {
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0) {
            text->append(chunk, static_cast<size_t>(n));
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
        }
    }
    const int read_errno = errno;
    close(fd);
    DataFileError error;
    if (!ok) {
        error.problem = DataFileProblem::cannot_read;
        error.err = read_errno;
    } else if (text->size() > MAX_DATA_FILE_BYTES) {
        error.problem = DataFileProblem::too_large;
    }
    return error;
}

DataFileRead read_robot_data_file(const char* path, const ParameterSet& start,
                                  bool refuse_off_list) {
    std::string text;
    const DataFileError loaded = load_file(path, &text);
    if (loaded.problem != DataFileProblem::none) {
        DataFileRead r;
        r.ps = start;
        r.error = loaded;
        return r;
    }
    return read_robot_data_text(text, start, refuse_off_list);
}

//------------------------------------------------------------------ writing

// the shortest decimal that reads back to v exactly, without an exponent where one is not
// needed (110, not 1.1e+02)
static std::string real_text(double v) {
    char text[40];
    for (const bool plain : {true, false}) {
        for (int digits = 1; digits <= 17; ++digits) {
            std::snprintf(text, sizeof text, "%.*g", digits, v);
            const bool exact = std::strtod(text, nullptr) == v || !std::isfinite(v);
            if (exact && (!plain || std::strchr(text, 'e') == nullptr)) {
                return text;
            }
        }
    }
    return text;
}

std::string robot_data_text(const ParameterSet& ps) {
    const Settings& s = ps.settings;
    std::string t;
    for (FileLine line = FileLine::robot_type; line != FileLine::end;
         line = next_file_line(line, s)) {
        if (line == FileLine::cp) {
            t += std::to_string(s.cp);
        } else if (is_selector_line(line)) {
            t.push_back(static_cast<char>(selector_field(s, line)));
        } else {
            bool first = true;
            for (const FileItem& item : file_line_items(line, s.robot_type)) {
                t += (first ? "" : " ") + real_text(setting_file_value(s, item.setting));
                first = false;
            }
        }
        t.push_back('\n');
    }
    return t;
}

}  // namespace robosim
