// The program's console. Output is UTF-8 text handed over by console_print; a Shift-JIS
// terminal gets it converted to CP932. Input is one byte buffer over standard input (or a
// descriptor set for a script), shared by the key read and the number and word reads.
//
// On a terminal the key read switches the terminal to non-canonical mode without echo for
// exactly one read(2), then restores it. The saved settings are put back as well at exit and
// by the handlers of every signal that ends or stops the program, so that the user's shell
// never inherits a terminal without echo. Keys typed ahead stay in the buffer: neither the
// switch nor the read drops them.
#include "platform/console.h"

#include "platform/console_io.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iconv.h>
#include <langinfo.h>
#include <termios.h>
#include <unistd.h>

namespace robosim {

//------------------------------------------------------------------ state

struct ConsoleInput {
    int fd;              // descriptor the answers come from
    bool is_terminal;    // fd is a terminal: keys are read raw, one key press each
    std::string buffer;  // bytes read from fd
    size_t pos;          // first byte of buffer not used yet
    size_t raw_end;      // bytes of buffer before this came from raw reads: key presses each
    char before;         // the byte read last before buffer, '\n' at the start of the input
    bool ended;          // a read met the end of input: no read waits for more
};

static ConsoleInput input = {STDIN_FILENO, false, {}, 0, 0, '\n', false};

static bool output_cp932 = false;  // the locale's character set is Shift-JIS: convert output

// Terminal settings for the raw key read. Plain objects written before raw_mode_on is set,
// because the signal handlers read them.
static struct termios saved_termios = {};       // the terminal as the user had it
static volatile sig_atomic_t terminal_fd = -1;  // the terminal whose settings are saved
static volatile sig_atomic_t raw_mode_on = 0;   // a key read holds the terminal raw now
static volatile sig_atomic_t continued = 0;     // a SIGCONT came since the last Ctrl-Z
static struct sigaction stop_action = {};       // the handler of Ctrl-Z, put back after each
static std::string stop_notice;                 // said when Ctrl-Z cannot stop the program
static bool terminal_guards_installed = false;  // the exit and signal handlers are in place

// Every signal whose default action ends the process. A handler another part of the process
// installed first (the sanitizers catch SEGV, BUS and FPE) is kept here and put back when the
// signal comes, so that it still has its say.
static const int FATAL_SIGNALS[] = {
    SIGHUP,    SIGINT,  SIGQUIT, SIGILL,  SIGTRAP, SIGABRT, SIGBUS,    SIGFPE,  SIGUSR1, SIGSEGV,
    SIGUSR2,   SIGPIPE, SIGALRM, SIGTERM, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGIO,   SIGSYS,
#ifdef SIGSTKFLT
    SIGSTKFLT,
#endif
#ifdef SIGPWR
    SIGPWR,
#endif
};
static struct sigaction previous[NSIG] = {};  // actions found before the guards, by signal

static const char STOP_NOTICE[] = "\n（Ctrl-Z：再開させるシェルがないので停止しません）";

constexpr unsigned char KEY_END_OF_TEXT = 4;  // Ctrl-D, the terminal's end-of-input key
constexpr unsigned char KEY_ESCAPE = 27;      // ESC, alone or starting a key's sequence
constexpr size_t READ_CHUNK = 4096;           // bytes asked of one read(2)         (bytes)

//------------------------------------------------------------------ terminal mode

// async-signal-safe: only tcsetattr and plain stores
static void restore_terminal() {
    if (raw_mode_on) {
        tcsetattr(terminal_fd, TCSANOW, &saved_termios);
        raw_mode_on = 0;
    }
}

// async-signal-safe as well: called again when the program continues after Ctrl-Z
static void enter_raw_mode() {
    struct termios raw = saved_termios;
    raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);  // one byte, no echo; ISIG kept
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    raw_mode_on = 1;  // set first, so that a signal during the switch restores the terminal
    tcsetattr(terminal_fd, TCSANOW, &raw);
}

// the terminal as the user had it, then the signal's previous action: the default end with
// its usual status, or the handler that was there before
static void on_fatal_signal(int sig, siginfo_t* info, void*) {
    const int saved_errno = errno;
    restore_terminal();
    sigaction(sig, &previous[sig], nullptr);
    // a fault of the running instruction comes again on return, now to the previous action
    // with its true address; a signal sent by a process is sent again
    const bool fault = info != nullptr && info->si_code > 0  // from the kernel, not from kill
                       && (sig == SIGSEGV || sig == SIGBUS || sig == SIGFPE || sig == SIGILL);
    if (!fault) {
        std::raise(sig);  // held until the handler returns, then delivered
    }
    errno = saved_errno;
}

// Ctrl-Z: the terminal as the user had it, then the stop itself; once continued, the key read
// that was waiting goes on in raw mode. The kernel discards a stop from the terminal for a
// process group that no shell of the session could continue (an orphaned one, as when robosim
// leads its terminal's session: tmux new robosim), and stopping it by SIGSTOP would leave a
// process nobody may resume. Then the program goes on: the terminal is put back in the mode
// the read needs and a line says why nothing stopped.
static void on_stop_signal(int sig) {
    const int saved_errno = errno;
    const bool was_raw = raw_mode_on;
    restore_terminal();
    continued = 0;
    std::signal(sig, SIG_DFL);
    sigset_t stop_set;
    sigemptyset(&stop_set);
    sigaddset(&stop_set, sig);
    std::raise(sig);
    sigprocmask(SIG_UNBLOCK, &stop_set, nullptr);  // stops here, or is discarded
    sigprocmask(SIG_BLOCK, &stop_set, nullptr);
    sigaction(sig, &stop_action, nullptr);
    if (was_raw) {
        enter_raw_mode();
    }
    if (!continued && write(STDOUT_FILENO, stop_notice.data(), stop_notice.size()) < 0) {
        // nowhere left to say it
    }
    errno = saved_errno;
}

static void on_continue_signal(int) {
    continued = 1;
}

// installs handler for sig unless the signal is ignored (as nohup does with SIGHUP)
static void guard_signal(int sig, void (*handler)(int)) {
    struct sigaction old = {};
    if (sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction act = {};
    act.sa_handler = handler;
    sigemptyset(&act.sa_mask);
    act.sa_flags = SA_RESTART;
    sigaction(sig, &act, nullptr);
}

// guards sig, which ends the process, unless it is ignored; the action found is kept to be
// put back when the signal comes
static void guard_fatal_signal(int sig) {
    if (sig <= 0 || sig >= NSIG || sigaction(sig, nullptr, &previous[sig]) != 0
        || previous[sig].sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction act = {};
    act.sa_sigaction = on_fatal_signal;
    sigemptyset(&act.sa_mask);
    // on the alternate stack when there is one, as a stack overflow needs
    act.sa_flags = SA_SIGINFO | SA_RESTART | SA_ONSTACK;
    sigaction(sig, &act, nullptr);
}

static void install_terminal_guards() {
    if (terminal_guards_installed) {
        return;
    }
    terminal_guards_installed = true;
    std::atexit(restore_terminal);
    for (const int sig : FATAL_SIGNALS) {
        guard_fatal_signal(sig);
    }
    for (int sig = SIGRTMIN; sig <= SIGRTMAX; ++sig) {
        guard_fatal_signal(sig);  // real-time signals end the process too
    }
    stop_notice = STOP_NOTICE;
    if (output_cp932) {
        stop_notice = utf8_to_cp932(STOP_NOTICE);
    }
    guard_signal(SIGTSTP, on_stop_signal);
    sigaction(SIGTSTP, nullptr, &stop_action);
    guard_signal(SIGCONT, on_continue_signal);
}

//------------------------------------------------------------------ input buffer

static bool is_space(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// no question can be answered any more: say so and end, rather than wait or repeat forever
static void stop_at_end_of_input() {
    std::fflush(stdout);
    std::fputs("\nrobosim: end of input, no answer left for the question; stopping\n", stderr);
    std::exit(EXIT_FAILURE);
}

void (*console_end_of_input)() = stop_at_end_of_input;

[[noreturn]] static void end_of_input() {
    console_end_of_input();
    std::abort();  // an installed handler that returns would leave the question unanswered
}

// appends what fd has now (on a terminal: one typed line); false at the end of input
static bool refill() {
    if (input.ended) {
        return false;
    }
    if (input.pos == input.buffer.size()) {
        if (!input.buffer.empty()) {
            input.before = input.buffer.back();
        }
        input.buffer.clear();
        input.pos = 0;
        input.raw_end = 0;
    }
    char chunk[READ_CHUNK];
    for (;;) {
        const ssize_t n = read(input.fd, chunk, sizeof chunk);
        if (n > 0) {
            input.buffer.append(chunk, static_cast<size_t>(n));
            return true;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        // end of file, or an error that no retry mends. A terminal gives more after Ctrl-D,
        // but as any line editor takes it, the input has ended: Ctrl-D after a partial line
        // hands that line over, and a second one ends the input then and there.
        input.ended = true;
        return false;
    }
}

// skips white space, line ends included, reading on as needed
static void skip_space() {
    for (;;) {
        while (input.pos < input.buffer.size()
               && is_space(static_cast<unsigned char>(input.buffer[input.pos]))) {
            ++input.pos;
        }
        if (input.pos < input.buffer.size()) {
            return;
        }
        if (!refill()) {
            end_of_input();
        }
    }
}

// the word that starts at pos, complete even when a pipe delivered it in pieces
static std::string peek_word() {
    for (;;) {
        size_t end = input.pos;
        while (end < input.buffer.size()
               && !is_space(static_cast<unsigned char>(input.buffer[end]))) {
            ++end;
        }
        if (end < input.buffer.size() || !refill()) {
            return input.buffer.substr(input.pos, end - input.pos);
        }
    }
}

// drops everything up to and including the next line end
static void discard_rest_of_line() {
    for (;;) {
        const size_t nl = input.buffer.find('\n', input.pos);
        if (nl != std::string::npos) {
            input.pos = nl + 1;
            return;
        }
        input.pos = input.buffer.size();
        if (!refill()) {
            return;
        }
    }
}

// text without the white space around it
static std::string trimmed(const std::string& text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && is_space(static_cast<unsigned char>(text[first]))) {
        ++first;
    }
    while (last > first && is_space(static_cast<unsigned char>(text[last - 1]))) {
        --last;
    }
    return text.substr(first, last - first);
}

// On a terminal an answer is a typed line: what follows the values a question asks for, up to
// the end of that line, answers nothing and must not answer the next question. It is dropped,
// and a notice says so when it is more than blanks. Piped input stays one stream of tokens.
static void drop_rest_of_typed_line() {
    if (!input.is_terminal) {
        return;
    }
    const size_t nl = input.buffer.find('\n', input.pos);
    const size_t end = nl == std::string::npos ? input.buffer.size() : nl;
    const std::string rest = trimmed(input.buffer.substr(input.pos, end - input.pos));
    input.pos = nl == std::string::npos ? input.buffer.size() : nl + 1;
    if (!rest.empty()) {
        console_print("\n  （同じ行の残り「%s」は使いません）", rest.c_str());
    }
}

// the key presses typed so far on the terminal, without echo and without Enter, appended to
// the buffer: at least one, and all that were typed ahead; false at the end of input
static bool refill_raw() {
    std::fflush(stdout);
    if (tcgetattr(input.fd, &saved_termios) != 0) {
        return false;  // the terminal has gone away
    }
    terminal_fd = input.fd;
    enter_raw_mode();
    const bool more = refill();
    restore_terminal();
    input.raw_end = input.buffer.size();
    return more;
}

// length of the escape sequence one key sends (an arrow key: ESC [ A, ESC O A) starting at
// at, which holds ESC; 1 for an ESC alone
static size_t escape_sequence_length(size_t at) {
    const std::string& b = input.buffer;
    if (at + 1 >= input.raw_end || (b[at + 1] != '[' && b[at + 1] != 'O')) {
        return 1;
    }
    // parameter and intermediate bytes (0x20 .. 0x3F), then one final byte (0x40 .. 0x7E)
    size_t end = at + 2;
    while (end < input.raw_end && b[end] >= 0x20 && b[end] <= 0x3F) {
        ++end;
    }
    return end < input.raw_end && b[end] >= 0x40 && b[end] <= 0x7E ? end + 1 - at : 1;
}

//------------------------------------------------------------------ output

static void write_console(const char* utf8) {
    if (output_cp932) {
        const std::string text = utf8_to_cp932(utf8);
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        std::fputs(utf8, stdout);
    }
    // every question must be visible before its answer is read; a user who cannot see the
    // questions cannot answer them, so output that does not arrive ends the program
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fprintf(stderr, "robosim: cannot write the console output (%s); stopping\n",
                     std::strerror(errno));
        std::exit(EXIT_FAILURE);
    }
}

//------------------------------------------------------------------ set-up

void console_set_input(int fd) {
    input.fd = fd;
    input.is_terminal = isatty(fd) == 1;
    input.buffer.clear();
    input.pos = 0;
    input.raw_end = 0;
    input.before = '\n';
    input.ended = false;
    if (input.is_terminal) {
        install_terminal_guards();
    }
}

void install_console() {
    std::setlocale(LC_CTYPE, "");  // character set only: numbers keep the "C" decimal point
    output_cp932 = charset_is_shift_jis(nl_langinfo(CODESET));
    console_set_input(STDIN_FILENO);
    console_hooks.write_text = write_console;
    console_hooks.read_key = console_read_key;
}

//------------------------------------------------------------------ input

int console_read_key() {
    for (;;) {
        // answers already buffered (the rest of a script line, or typed ahead) come first
        while (input.pos < input.buffer.size()) {
            const size_t at = input.pos++;
            const auto c = static_cast<unsigned char>(input.buffer[at]);
            if (at < input.raw_end) {
                // a key pressed on the terminal answers as it is, Enter and space included;
                // a key that sends a sequence of bytes is one key press, its first byte
                if (c == KEY_END_OF_TEXT) {
                    end_of_input();
                }
                if (c == KEY_ESCAPE) {
                    input.pos = at + escape_sequence_length(at);
                }
                return c;
            }
            if (!is_space(c)) {
                return c;
            }
        }
        if (!(input.is_terminal ? refill_raw() : refill())) {
            end_of_input();
        }
    }
}

int console_read_doubles(std::initializer_list<double*> fields) {
    return console_read_doubles(fields.begin(), fields.size());
}

int console_read_doubles(double* const* fields, size_t count) {
    int stored = 0;
    for (size_t i = 0; i < count; ++i) {
        double* field = fields[i];
        skip_space();
        const std::string word = peek_word();
        char* end = nullptr;
        const double value = std::strtod(word.c_str(), &end);
        if (end == word.c_str()) {
            discard_rest_of_line();  // not a number: it must not answer the next questions
            return stored;
        }
        *field = value;
        input.pos += static_cast<size_t>(end - word.c_str());
        ++stored;
    }
    drop_rest_of_typed_line();
    return stored;
}

int console_read_int(int* field) {
    skip_space();
    const std::string word = peek_word();
    char* end = nullptr;
    long value = std::strtol(word.c_str(), &end, 10);
    if (end == word.c_str()) {
        discard_rest_of_line();
        return 0;
    }
    // a number beyond the range of int is stored as the nearest int
    if (value > INT_MAX) {
        value = INT_MAX;
    } else if (value < INT_MIN) {
        value = INT_MIN;
    }
    *field = static_cast<int>(value);
    input.pos += static_cast<size_t>(end - word.c_str());
    drop_rest_of_typed_line();
    return 1;
}

// the rest of the line from pos, without its line end, which is taken too; reads on as needed
// and takes a last line without a line end as it is
static std::string take_line() {
    size_t scanned = 0;  // bytes after pos known to hold no line end
    for (;;) {
        const size_t nl = input.buffer.find('\n', input.pos + scanned);
        if (nl != std::string::npos) {
            std::string line = input.buffer.substr(input.pos, nl - input.pos);
            input.pos = nl + 1;
            return line;
        }
        scanned = input.buffer.size() - input.pos;
        if (!refill()) {
            if (scanned == 0) {
                end_of_input();
            }
            std::string line = input.buffer.substr(input.pos);
            input.pos = input.buffer.size();
            return line;
        }
    }
}

std::string console_read_line() {
    const bool line_start =
        input.pos > 0 ? input.buffer[input.pos - 1] == '\n' : input.before == '\n';
    std::string line = trimmed(take_line());
    // In a script an earlier answer may end the line this one starts on ("y NAME"); if
    // nothing but blanks follows it there, the answer is the next line
    if (line.empty() && !line_start && !input.is_terminal) {
        line = trimmed(take_line());
    }
    return line;
}

//------------------------------------------------------------------ output encoding

bool charset_is_shift_jis(const char* codeset) {
    if (codeset == nullptr) {
        return false;
    }
    // compare without case, hyphens and underscores: Shift_JIS, SHIFT-JIS, sjis, ...
    std::string key;
    for (const char* p = codeset; *p != '\0'; ++p) {
        if (*p != '-' && *p != '_') {
            key += static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
        }
    }
    for (const char* name :
         {"SHIFTJIS", "SJIS", "CP932", "WINDOWS31J", "MS932", "MSKANJI", "CSSHIFTJIS", "IBM943"}) {
        if (key == name) {
            return true;
        }
    }
    return false;
}

// length of the well-formed UTF-8 sequence at s (at most left bytes), 0 if there is none
static size_t utf8_sequence_length(const unsigned char* s, size_t left) {
    size_t len = 0;
    if (s[0] < 0x80) {
        return 1;
    } else if ((s[0] & 0xE0) == 0xC0) {
        len = 2;
    } else if ((s[0] & 0xF0) == 0xE0) {
        len = 3;
    } else if ((s[0] & 0xF8) == 0xF0) {
        len = 4;
    } else {
        return 0;
    }
    if (len > left) {
        return 0;
    }
    for (size_t i = 1; i < len; ++i) {
        if ((s[i] & 0xC0) != 0x80) {
            return 0;
        }
    }
    return len;
}

std::string utf8_to_cp932(const std::string& utf8) {
    static iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return utf8;  // no converter on this system: UTF-8 is the best left to give
    }
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // initial shift state
    std::string source = utf8;                      // iconv wants a writable input pointer
    char* in = source.data();
    size_t in_left = source.size();
    std::string out;
    char chunk[READ_CHUNK];
    while (in_left > 0) {
        char* dst = chunk;
        size_t dst_left = sizeof chunk;
        const size_t rc = iconv(cd, &in, &in_left, &dst, &dst_left);
        out.append(chunk, static_cast<size_t>(dst - chunk));
        if (rc != static_cast<size_t>(-1) || errno == E2BIG) {
            continue;
        }
        const size_t len = utf8_sequence_length(reinterpret_cast<unsigned char*>(in), in_left);
        if (len == 0) {
            out += *in;  // not UTF-8: pass the byte on as it stands
            ++in;
            --in_left;
        } else {
            out += '?';  // a character CP932 lacks
            in += len;
            in_left -= len;
        }
    }
    return out;
}

}  // namespace robosim
