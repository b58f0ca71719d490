// platform/output_file.h: files the programs write, replaced whole or not at all
#pragma once

#include <string>

namespace robosim {

//------------------------------------------------------------------ targets
// Why path cannot take an output, or an empty string if it can: only a regular file, new or
// existing, is a target. A device, FIFO, socket or folder is refused, as is an existing file
// whose mode makes it read-only for this user (as cp refuses it; a rename alone would replace
// it), and a name whose folder does not exist.
std::string output_target_problem(const std::string& path);

// whether the two names lead to one file: by device and inode where the file exists, else by
// the device and inode of the folder and the last part of the name ("p.png" and "./p.png")
bool same_file(const std::string& a, const std::string& b);

//------------------------------------------------------------------ writing
// A file being written: its bytes go to a temporary file in the target's folder, which takes
// the target's name only once it is complete, so a failure leaves every existing file as it
// was. While one is open, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM,
// SIGXCPU, SIGVTALRM and SIGPROF remove the temporary file before they end the process.
struct OutputFile {
    std::string path;  // the target as given
    std::string temp;  // the temporary file in the target's folder; empty when none is open
    int fd;            // descriptor of temp, -1 when none is open
};

// creates the temporary file for path; false with the reason if it cannot be made
bool begin_output(const std::string& path, OutputFile* out, std::string* error);

// syncs and closes the temporary file, gives it the target's permissions (an existing file's
// own, a new file's as the umask allows) and renames it over the target. On failure the
// temporary file is removed and the target is untouched.
bool commit_output(OutputFile* out, std::string* error);

// closes and removes the temporary file; the target is untouched. Safe to call twice.
void abandon_output(OutputFile* out);

// async-signal-safe: removes the temporary file of the output being written, if any. For a
// handler of a fault that ends the process (the X display going away while drawing).
void remove_unfinished_output();

// the whole of text into path as above (temporary file, then the rename); false with the
// reason if it could not be written (and, when asked, the errno of the call that failed; 0 where
// none did, as for a target that is a folder or a device), and the target untouched
bool write_output(const std::string& path, const std::string& text, std::string* error,
                  int* error_number = nullptr);

}  // namespace robosim
