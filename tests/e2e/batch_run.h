// tests/e2e/batch_run.h: runs the real robosim-batch and collects what it writes
#pragma once

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <map>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

extern char** environ;

struct ProgramRun {
    int status;       // exit status, or -1 when the program did not exit normally
    std::string out;  // standard output
    std::string err;  // standard error
};

inline std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// runs robosim-batch with the given words, standard input from /dev/null
inline ProgramRun run_batch_program(const std::vector<std::string>& words) {
    char out_path[] = "/tmp/robosim-batch-out-XXXXXX";
    char err_path[] = "/tmp/robosim-batch-err-XXXXXX";
    const int out_fd = mkstemp(out_path);
    const int err_fd = mkstemp(err_path);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
    std::vector<std::string> all = {ROBOSIM_BATCH_BIN};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& w : all) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ProgramRun run = {-1, "", ""};
    if (posix_spawn(&pid, ROBOSIM_BATCH_BIN, &actions, nullptr, argv.data(), environ) == 0) {
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        run.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(out_fd);
    close(err_fd);
    run.out = slurp(out_path);
    run.err = slurp(err_path);
    unlink(out_path);
    unlink(err_path);
    return run;
}

inline std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    std::stringstream ss(text);
    std::string part;
    while (std::getline(ss, part, sep)) {
        parts.push_back(part);
    }
    return parts;
}

// the CSV histories: one vector per column, by the header's names
inline std::map<std::string, std::vector<double>> read_histories(const std::string& text) {
    const std::vector<std::string> lines = split(text, '\n');
    std::map<std::string, std::vector<double>> columns;
    if (lines.empty()) {
        return columns;
    }
    const std::vector<std::string> names = split(lines[0], ',');
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> cells = split(lines[i], ',');
        for (size_t c = 0; c < names.size() && c < cells.size(); ++c) {
            columns[names[c]].push_back(std::strtod(cells[c].c_str(), nullptr));
        }
    }
    return columns;
}

// name,value lines (--plan, --summary --csv) in their order
inline std::vector<std::pair<std::string, double>> read_name_values(const std::string& text) {
    std::vector<std::pair<std::string, double>> rows;
    for (const std::string& line : split(text, '\n')) {
        const size_t comma = line.find(',');
        if (comma != std::string::npos) {
            rows.emplace_back(line.substr(0, comma),
                              std::strtod(line.substr(comma + 1).c_str(), nullptr));
        }
    }
    return rows;
}
