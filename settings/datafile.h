// settings/datafile.h: robot data files, one whole experiment as a stream of tokens: the file's
// layout, its reader (the experiment read, or where and why the reading stopped) and its writer
#pragma once

#include "planning/plan.h"
#include "settings/setting_fields.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace robosim {

// File format: tokens separated by white space (blanks, tabs, line ends); only their order
// matters. In order: robot type 'a' or 'b'; arm length L ('a') or L1 and the distance from
// joint 2 to the work ('b'); work mass; motor powers PW1 PW2; u1 eta1; u2 eta2 (forward
// efficiencies); gravity 'g' or 'h'; fn1 alpha1; fn2 alpha2 (Hz, 1/s); feedback 'v' or 'V';
// motion 'q', 'p' or 'c'; then the data of that motion: 'q' x0 y0 xf yf, 'p' x0 y0 xf yf tf,
// 'c' the path kind 1 .. 4 and its data (1: x0 y0 xf yf tf, 2: Ox Oy rr tf,
// 3: x0 y0 xf yf x1 y1 x2 y2 tf, 4: x0 y0 L A tf). SI units otherwise; see docs/examples.md.
// A UTF-8 byte-order mark at the start, as some editors save one, is no part of the first token.

// A whole experiment is a few hundred bytes; a file beyond this is no robot data file, and a
// bound keeps a device such as /dev/zero or a huge file from filling the memory.
constexpr size_t MAX_DATA_FILE_BYTES = 64 * 1024;  // (bytes)

//------------------------------------------------------------------ layout
// the lines of a file as the writer writes them; the reader reads the same tokens in the same
// order, whatever the line ends. Which line follows depends on the selectors read before it.
enum class FileLine {
    robot_type,  // 'a' or 'b'
    cyl_arm,     // L
    scara_arm,   // L1 L2w
    work,        // mw
    motors,      // PW1 PW2 of the robot of robot_type
    gear1,       // u1 eta_fwd1
    gear2,       // u2 eta_fwd2
    gravity,     // 'g' or 'h'
    control1,    // fn1 alpha1 (Hz, 1/s)
    control2,    // fn2 alpha2
    fb_type,     // 'v' or 'V'
    motion,      // 'q', 'p' or 'c'
    step,        // x0 y0 xf yf
    trap,        // x0 y0 xf yf tf
    cp,          // the path kind 1 .. 4
    line,        // x0 y0 xf yf tf
    circle,      // Ox Oy rr tf
    ucurve,      // x0 y0 xf yf x1 y1 x2 y2 tf
    sine,        // x0 y0 L A tf
    end,         // nothing follows
};

// the most values one line holds (the U-curve's)
constexpr int MAX_LINE_VALUES = 9;

// one token of the file: the setting it holds and its name on the console
struct FileItem {
    const char* setting;   // as set_setting names it whole: "robot_type", "mw", "scara.L2w"
    const char* label_ja;  // the console's name where the reading stops: "(1-2) ワーク質量 mw"
};

// the tokens of line, in order, for a robot of robot_type (its record holds the mechanics)
std::span<const FileItem> file_line_items(FileLine line, int robot_type);

// the line after line in a file of the experiment s: the selectors of s choose the branch, and
// one outside its list chooses none (the work mass follows any robot type; a motion or path
// kind outside its list ends the file)
FileLine next_file_line(FileLine line, const Settings& s);

//------------------------------------------------------------------ reading
// why a reading stopped
enum class DataFileProblem {
    none,               // read to its end
    cannot_open,        // err says why
    not_regular,        // a folder, device or FIFO (kind)
    cannot_read,        // err says why
    too_large,          // over MAX_DATA_FILE_BYTES
    ended_early,        // the file ends before item
    control_byte,       // a control character (NUL among them) inside a token
    not_a_number,       // a token that is no decimal number where a number is due
    not_an_integer,     // a token that is no int where the path kind is due
    not_one_character,  // a selector of more than one character
    beyond_double,      // a number out of the range of a double (value: 0 or infinity)
    not_allowed,        // a number rule does not allow
    off_list,           // a selector or path kind outside its list, where that refuses the file
};

// what a path names that is no regular file
enum class FileKind { regular, folder, device, fifo, other };

// where and why a reading stopped; the programs put it into their own words
struct DataFileError {
    DataFileProblem problem = DataFileProblem::none;  // none: the file was read to its end
    const FileItem* item = nullptr;          // the token that stopped it; nullptr: the file
    size_t position = 0;                     // byte of the file: the token, the control byte,
                                             // or the end of a file that ended early
    std::string token;                       // the token, up to a control byte
    int byte = 0;                            // the control byte's code
    double value = 0.0;                      // what a number beyond a double reads as
    SettingRule rule = SettingRule::finite;  // the rule a value not allowed breaks
    int err = 0;                             // errno of an open or read that failed
    FileKind kind = FileKind::regular;       // what a path that is no regular file names
};

// one line read whole, with its values as the file gives them (Hz, joint 2 to the work); a
// selector or path kind outside its list is one too, when it does not refuse the file
struct FileLineRead {
    FileLine line = FileLine::end;
    double values[MAX_LINE_VALUES] = {};  // the numbers of a line of values, in order
    int choice = 0;                       // a selector's character code, or the path kind
};

// a reading's outcome: the experiment with what the file gave, the lines read whole in order
// (for the echo), and where the reading stopped
struct DataFileRead {
    ParameterSet ps = {};             // the experiment read, up to where the reading stopped
    std::vector<FileLineRead> lines;  // the lines read whole
    DataFileError error;              // problem none: read to its end
};

// whether a problem refuses the whole file (an impossible value, or a choice outside its list
// where that refuses), so that none of it is to be used; else the values read up to the stop
// are kept
bool refuses_file(DataFileProblem problem);

// reads the experiment in text (the whole file) over start: every value is stored as soon as
// it is read, in the unit of the parameter set (a frequency read in Hz as 2 pi fn), so that a
// file that stops early leaves fields that all mean what they say. A circle or sine derives its
// ends, and makes them the current motion's (plan x0 y0 xf yf), even after a stop. A selector
// outside its list selects no branch and the reading goes on, or with refuse_off_list stops
// with off_list.
DataFileRead read_robot_data_text(std::string_view text, const ParameterSet& start,
                                  bool refuse_off_list);

// reads the file at path as read_robot_data_text does: a regular file of at most
// MAX_DATA_FILE_BYTES, opened without waiting (a FIFO with no writer is refused at once). A file
// that cannot be read gives start back with the problem.
DataFileRead read_robot_data_file(const char* path, const ParameterSet& start,
                                  bool refuse_off_list);

// what a file's mode (st_mode) names
FileKind file_kind_of(unsigned mode);

//------------------------------------------------------------------ writing
// the settings of ps that a robot data file holds, as a file in the format above (one line per
// group, every number as the shortest decimal that reads back to the same double); reading it
// gives the same experiment again
std::string robot_data_text(const ParameterSet& ps);

}  // namespace robosim
