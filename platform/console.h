// platform/console.h: the program's console: text out, single keys, numbers and words in
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace robosim {

// Input comes through one buffer, so that keys and numbers can be mixed in one script:
// - on a terminal a key is one key press, read in raw mode without echo and without Enter
//   (the terminal is restored at once, at exit and on a fatal signal); numbers and file names
//   are typed as lines with the terminal's own echo and editing;
// - from a pipe or a file a key is the next character that is not white space.
// At the end of input every read says so on standard error and ends the program with a
// non-zero status: no question is ever answered by a closed input. Once a read has met the end
// (on a terminal: Ctrl-D on an empty line), no later read waits for more.

//------------------------------------------------------------------ set-up
// makes this console the model's console (console_hooks): output in UTF-8, or in CP932 when
// the locale's character set is Shift-JIS; input from standard input
void install_console();

// takes the answers from fd from now on and forgets what was buffered; for scripted runs and
// tests (fd 0 is standard input)
void console_set_input(int fd);

// what happens when no answer is left for a question: by default a message on standard error
// and exit status 1. It must not return; a fuzzing harness installs one that throws.
extern void (*console_end_of_input)();

//------------------------------------------------------------------ input
// one key: its character code (0 .. 255)
int console_read_key();

// numbers with the meaning of scanf("%lf %lf ..."): each field in turn takes the next
// number, white space (line ends included) between them. Input that is not a number stops
// the reading: that field and the rest stay unchanged and the rest of the line is discarded.
// On a terminal the rest of the typed line after the last field is dropped with a notice, so
// that it cannot answer the next question. Returns the count of fields stored.
int console_read_doubles(std::initializer_list<double*> fields);
int console_read_doubles(double* const* fields, size_t count);

// one integer with the meaning of scanf("%d"), the same rules; returns 1 if stored, else 0
int console_read_int(int* field);

// One line of any length without the blanks around it, blanks inside kept ("my file.dat"); an
// empty line gives "". On a terminal it is the next typed line. In a script a line that an
// earlier answer began counts when more than blanks follow that answer ("y NAME"), else the
// next line does. A last line without a line end counts as it is.
std::string console_read_line();

//------------------------------------------------------------------ output encoding
// whether a character set name (as nl_langinfo(CODESET) gives it) is Shift-JIS or CP932
bool charset_is_shift_jis(const char* codeset);

// the text in CP932; a character CP932 lacks becomes '?', and a byte that is not valid UTF-8
// passes as it stands (it may already be in the terminal's encoding, as a typed file name is)
std::string utf8_to_cp932(const std::string& utf8);

}  // namespace robosim
