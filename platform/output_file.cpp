// Output files replaced atomically: written beside the target under a hidden temporary name and
// renamed into place once synced, so that a full disk, a fault or a signal never leaves a half
// picture behind, and never removes a file robosim did not create.
#include "platform/output_file.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace robosim {

//------------------------------------------------------------------ helpers

static std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

static std::string last_part_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

static std::string quoted(const std::string& path) {
    return "'" + path + "'";
}

static const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode)) {
        return "a folder";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "a device";
    }
    if (S_ISFIFO(mode)) {
        return "a FIFO";
    }
    if (S_ISSOCK(mode)) {
        return "a socket";
    }
    return "not a regular file";
}

// the file a name leads to: the target of a symbolic link, so that the link stays a link
static bool resolve_target(const std::string& path, std::string* target, std::string* error) {
    struct stat st = {};
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
        *target = path;
        return true;
    }
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) {
        *error = quoted(path) + " is a link to nothing: " + std::strerror(errno);
        return false;
    }
    *target = real;
    std::free(real);
    return true;
}

//------------------------------------------------------------------ targets

std::string output_target_problem(const std::string& path) {
    if (path.empty()) {
        return "an empty file name";
    }
    std::string target;
    std::string error;
    if (!resolve_target(path, &target, &error)) {
        return error;
    }
    struct stat st = {};
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode)) {
            return quoted(path) + " is " + kind_of(st.st_mode) + ", not a file to write";
        }
        if (access(target.c_str(), W_OK) != 0) {
            return quoted(path) + " is read-only (" + std::strerror(errno) + ")";
        }
        return "";
    }
    if (errno != ENOENT) {
        return quoted(path) + ": " + std::strerror(errno);
    }
    const std::string folder = folder_of(target);
    if (stat(folder.c_str(), &st) != 0) {
        return "no folder " + quoted(folder) + " for " + quoted(path) + ": " + std::strerror(errno);
    }
    if (!S_ISDIR(st.st_mode)) {
        return quoted(folder) + " is not a folder";
    }
    return "";
}

bool same_file(const std::string& a, const std::string& b) {
    struct stat sa = {};
    struct stat sb = {};
    const bool has_a = stat(a.c_str(), &sa) == 0;
    const bool has_b = stat(b.c_str(), &sb) == 0;
    if (has_a || has_b) {
        return has_a && has_b && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    }
    // neither exists yet: the same name in the same folder
    return last_part_of(a) == last_part_of(b) && stat(folder_of(a).c_str(), &sa) == 0
           && stat(folder_of(b).c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
}

//------------------------------------------------------------------ cleanup on signals

// The temporary file of the output being written, for the signal handlers: set before the
// file is created, cleared after it is renamed or removed.
static char* volatile pending_temp = nullptr;
static struct sigaction previous_action[NSIG];
static bool cleanup_installed = false;

void remove_unfinished_output() {
    char* temp = pending_temp;
    if (temp != nullptr) {
        unlink(temp);
    }
}

static void on_ending_signal(int sig) {
    remove_unfinished_output();
    // the action found before, the default end or a handler of the program's own (the
    // terminal's guard, which puts the terminal back and ends the program in its turn)
    sigaction(sig, &previous_action[sig], nullptr);
    raise(sig);  // delivered when the handler returns: the usual end and exit status
}

static void install_cleanup() {
    if (cleanup_installed) {
        return;
    }
    cleanup_installed = true;
    // every signal whose default action ends the process and that someone may send while a
    // picture is drawn: the terminal's keys, kill and its user signals, the timers, and the
    // limit of CPU time (ulimit -t). A file size limit (SIGXFSZ) does not come here: the
    // programs ignore it, so that the write fails with EFBIG and is abandoned as any other.
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU,
                          SIGVTALRM, SIGPROF}) {
        struct sigaction old = {};
        // an ignored signal stays ignored (nohup); a handler someone else installed runs after
        // the cleanup
        if (sigaction(sig, nullptr, &old) != 0
            || ((old.sa_flags & SA_SIGINFO) == 0 && old.sa_handler == SIG_IGN)) {
            continue;
        }
        previous_action[sig] = old;
        struct sigaction act = {};
        act.sa_handler = on_ending_signal;
        sigemptyset(&act.sa_mask);
        sigaction(sig, &act, nullptr);
    }
}

// name: a heap copy the handlers may read, or nullptr
static void set_pending(char* name) {
    char* old = pending_temp;
    pending_temp = name;
    std::free(old);
}

//------------------------------------------------------------------ writing

bool begin_output(const std::string& path, OutputFile* out, std::string* error) {
    *out = {path, "", -1};
    const std::string problem = output_target_problem(path);
    if (!problem.empty()) {
        *error = problem;
        return false;
    }
    std::string target;
    if (!resolve_target(path, &target, error)) {
        return false;
    }
    install_cleanup();
    // mkstemp fills in the name the handlers already see, so no moment leaves it unknown
    // the temporary name adds 8 bytes to the target's: a long name gives up its end, so that
    // every name a folder can hold can be written
    const std::string temp_suffix = ".XXXXXX";
    const std::string base = last_part_of(target).substr(0, NAME_MAX - 1 - temp_suffix.size());
    char* temp = strdup((folder_of(target) + "/." + base + temp_suffix).c_str());
    set_pending(temp);
    out->fd = mkstemp(temp);
    if (out->fd < 0) {
        *error =
            "cannot create a file in " + quoted(folder_of(target)) + ": " + std::strerror(errno);
        set_pending(nullptr);
        return false;
    }
    out->temp = temp;
    return true;
}

// the permissions the finished file gets: an existing target's own, else what a new file
// opened with mode 0666 would get under the umask
static void take_target_permissions(int fd, const std::string& target) {
    struct stat st = {};
    if (stat(target.c_str(), &st) == 0) {
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            // only root may give a file away; an ordinary user's file stays the user's
        }
        fchmod(fd, st.st_mode & 07777);
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

bool commit_output(OutputFile* out, std::string* error) {
    std::string target;
    if (out->fd < 0 || !resolve_target(out->path, &target, error)) {
        abandon_output(out);
        return false;
    }
    take_target_permissions(out->fd, target);
    const bool synced = fsync(out->fd) == 0;
    const int sync_errno = errno;
    const bool closed = close(out->fd) == 0;
    out->fd = -1;
    if (!synced || !closed) {
        *error =
            "cannot write " + quoted(out->path) + ": " + std::strerror(synced ? errno : sync_errno);
        abandon_output(out);
        return false;
    }
    if (rename(out->temp.c_str(), target.c_str()) != 0) {
        *error = "cannot replace " + quoted(out->path) + ": " + std::strerror(errno);
        abandon_output(out);
        return false;
    }
    out->temp.clear();
    set_pending(nullptr);
    return true;
}

void abandon_output(OutputFile* out) {
    if (out->fd >= 0) {
        close(out->fd);
        out->fd = -1;
    }
    if (!out->temp.empty()) {
        unlink(out->temp.c_str());
        out->temp.clear();
    }
    set_pending(nullptr);
}

bool write_output(const std::string& path, const std::string& text, std::string* error,
                  int* error_number) {
    OutputFile out;
    errno = 0;
    if (begin_output(path, &out, error)
        && write(out.fd, text.data(), text.size()) == static_cast<ssize_t>(text.size())
        && commit_output(&out, error)) {
        return true;
    }
    const int write_errno = errno;
    abandon_output(&out);
    if (error_number != nullptr) {
        *error_number = write_errno;
    }
    if (error->empty()) {
        *error = std::strerror(write_errno != 0 ? write_errno : EIO);
    }
    return false;
}

}  // namespace robosim
