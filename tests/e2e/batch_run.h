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

// this process's environment less the variables named in unset, for a child to start with
inline std::vector<std::string> environment_without(const std::vector<std::string>& unset) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        bool keep = true;
        for (const std::string& name : unset) {
            keep = keep && entry.compare(0, name.size() + 1, name + "=") != 0;
        }
        if (keep) {
            env.push_back(entry);
        }
    }
    return env;
}

// runs program with the given words, standard input from /dev/null, in the environment env
// ("NAME=value" entries)
inline ProgramRun run_program(const std::string& program, const std::vector<std::string>& words,
                              std::vector<std::string> env) {
    char out_path[] = "/tmp/robosim-batch-out-XXXXXX";
    char err_path[] = "/tmp/robosim-batch-err-XXXXXX";
    const int out_fd = mkstemp(out_path);
    const int err_fd = mkstemp(err_path);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out_fd, 1);
    posix_spawn_file_actions_adddup2(&actions, err_fd, 2);
    std::vector<std::string> all = {program};
    all.insert(all.end(), words.begin(), words.end());
    std::vector<char*> argv;
    for (std::string& w : all) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (std::string& e : env) {
        envp.push_back(e.data());
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    ProgramRun run = {-1, "", ""};
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) == 0) {
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

// runs robosim-batch with the given words, standard input from /dev/null, in this process's
// environment less the variables named in unset
inline ProgramRun run_batch_program(const std::vector<std::string>& words,
                                    const std::vector<std::string>& unset = {}) {
    return run_program(ROBOSIM_BATCH_BIN, words, environment_without(unset));
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
