// Picture files and standard output under the faults a real file system offers: targets that
// are no files, a read-only file, a full file system, outputs that name the data file or each
// other, a full standard output, and a display that resets under concurrent runs.
#include "tests/e2e/batch_run.h"
#include "tests/e2e/window_harness.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// a scratch folder anyone may write in, removed with what is in it
class OutputFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char path[] = "/tmp/robosim-out-XXXXXX";
        ASSERT_NE(mkdtemp(path), nullptr);
        dir = path;
        chmod(path, 0777);  // the read-only case runs as an ordinary user
    }

    void TearDown() override {
        run_program("/bin/rm", {"-rf", dir}, environment_without({}));
    }

    std::string at(const std::string& name) const {
        return dir + "/" + name;
    }

    // every entry of the folder with its kind, permissions, inode and a hash of its bytes
    std::map<std::string, std::string> listing() const {
        std::map<std::string, std::string> entries;
        DIR* d = opendir(dir.c_str());
        for (dirent* e = readdir(d); e != nullptr; e = readdir(d)) {
            struct stat st = {};
            lstat(at(e->d_name).c_str(), &st);
            entries[e->d_name] = std::to_string(st.st_mode) + ":" + std::to_string(st.st_ino) + ":"
                                 + std::to_string(std::hash<std::string>()(
                                     S_ISREG(st.st_mode) ? slurp(at(e->d_name)) : ""));
        }
        closedir(d);
        return entries;
    }

    std::string dir;
};

// Each target is refused before the run with one line and the status, and the folder is left
// exactly as it was: no file removed, replaced or left behind.
TEST_F(OutputFolder, TargetsThatAreNoFileToWriteAreRefusedAndLeftAlone) {
    const std::string data = std::string(ROBOSIM_SOURCE_DIR) + "/examples/cyl_step.dat";
    ASSERT_EQ(run_program("/bin/cp", {data, at("F.dat")}, environment_without({})).status, 0);
    ASSERT_EQ(mkfifo(at("pipe").c_str(), 0644), 0);
    ASSERT_EQ(mkdir(at("sub").c_str(), 0755), 0);
    const bool device = mknod(at("full").c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0;
    const std::string folder_again = dir + "/../" + dir.substr(dir.rfind('/') + 1);
    std::ofstream(at("ro.png")) << "an earlier picture";
    chmod(at("ro.png").c_str(), 0444);
    std::vector<std::string> as_user = {ROBOSIM_BATCH_BIN};
    if (geteuid() == 0) {  // root may write any file: that case runs as an ordinary user
        run_program("/bin/cp", {as_user[0], dir}, environment_without({}));
        as_user = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups",
                   at("robosim-batch")};
    }

    struct Case {
        const char* name;
        std::vector<std::string> words;
        int status;
    };

    std::vector<Case> cases = {
        {"a FIFO", {"--gif", at("pipe")}, 1},
        {"a folder", {"--png", at("sub")}, 1},
        {"the data file", {at("F.dat"), "--png", dir + "/./F.dat"}, 2},
        {"one file twice", {"--png", at("p.png"), "--gif", folder_again + "/p.png"}, 2},
        {"a read-only file", {"--png", at("ro.png")}, 1},
    };
    if (device) {  // only root may make a device node
        cases.push_back({"a device", {"--png", at("full")}, 1});
    }
    for (const Case& c : cases) {
        const auto before = listing();
        std::vector<std::string> words = c.words;
        words.insert(words.begin(), as_user.begin() + 1, as_user.end());
        const ProgramRun run = run_program(as_user[0], words, environment_without({}));
        EXPECT_EQ(run.status, c.status) << c.name << "\n" << run.err;
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << c.name << "\n" << run.err;
        EXPECT_EQ(listing(), before) << c.name;
    }
}

// Every name a folder can hold is a target: the temporary name beside it gives up its end.
TEST_F(OutputFolder, NamesUpToTheLongestAFolderHoldsAreWritten) {
    const std::string name(255, 'n');
    EXPECT_EQ(run_batch_program({"--write-data", at(name)}).status, 0);
    EXPECT_EQ(listing().count(name), 1u);
    EXPECT_EQ(listing().size(), 3u);  // ., .. and the file: nothing left behind
}

// A file system that fills up while the GIF is written: status 1, and the earlier file of that
// name stays whole, with nothing else left behind. A small tmpfs where one can be mounted,
// else a file size limit, which fails the write in the same way.
TEST_F(OutputFolder, FullFileSystemKeepsTheEarlierFileWhole) {
    pid_t xvfb = 0;
    const std::string display = start_xvfb(&xvfb);
    ASSERT_FALSE(display.empty());
    const std::string earlier = at("earlier");
    std::ofstream(earlier) << std::string(16384, 'p');
    const char* script = R"sh(
        export d="$1/fs" earlier="$2" tool="$3"
        body='mount -t tmpfs -o size=24k none "$d" 2>/dev/null || ulimit -f 24
              cp "$earlier" "$d/p.gif" && "$tool" --gif "$d/p.gif"; s=$?
              cmp -s "$earlier" "$d/p.gif" || s=98; [ "$(ls -A "$d")" = p.gif ] || s=99; exit $s'
        if unshare -m true 2>/dev/null; then exec unshare -m bash -c "$body"; fi
        exec bash -c "$body")sh";
    mkdir(at("fs").c_str(), 0755);
    std::vector<std::string> env = environment_without({"DISPLAY"});
    env.push_back("DISPLAY=" + display);
    const ProgramRun run =
        run_program("/bin/bash", {"-c", script, "sh", dir, earlier, ROBOSIM_BATCH_BIN}, env);
    stop_xvfb(&xvfb);
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("cannot write the GIF"), std::string::npos) << run.err;
}

// A signal that ends robosim-batch while it draws the GIF removes the temporary file, and the
// process ends as that signal ends it.
TEST_F(OutputFolder, EndingSignalWhileDrawingLeavesNoTemporaryFile) {
    pid_t xvfb = 0;
    const std::string display = start_xvfb(&xvfb);
    for (const int sig : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGXCPU,
                          SIGVTALRM, SIGPROF}) {
        const pid_t pid = fork();
        if (pid == 0) {
            for (int s = 1; s < SIGRTMIN; ++s) {
                signal(s, SIG_DFL);  // the test runner may have ignored some
            }
            const rlimit no_core = {0, 0};
            setrlimit(RLIMIT_CORE, &no_core);
            setenv("DISPLAY", display.c_str(), 1);
            execl(ROBOSIM_BATCH_BIN, ROBOSIM_BATCH_BIN, "--gif", at("g.gif").c_str(), nullptr);
            _exit(127);
        }
        EXPECT_TRUE(eventually([&] { return listing().size() == 3; })) << "no temporary file";
        kill(pid, sig);
        int wstatus = 0;
        waitpid(pid, &wstatus, 0);
        EXPECT_TRUE(WIFSIGNALED(wstatus) && WTERMSIG(wstatus) == sig) << sig;
        EXPECT_EQ(listing().size(), 2u) << sig;  // "." and ".." alone
    }
    stop_xvfb(&xvfb);
}

// a standard output that takes nothing is a failure, whatever was asked for
TEST(OutputStreams, FullStandardOutputIsReported) {
    for (const char* option : {"--help", "--plan", "--summary", "--fb=v"}) {
        const ProgramRun run = run_program(
            "/bin/sh", {"-c", "exec \"$0\" \"$1\" >/dev/full", ROBOSIM_BATCH_BIN, option},
            environment_without({}));
        EXPECT_EQ(run.status, 1) << option;
        EXPECT_NE(run.err.find("cannot write the standard output: No space left on device"),
                  std::string::npos)
            << option << "\n"
            << run.err;
    }
}

// A server that resets whenever its last client leaves, and three picture runs at once, again
// and again: each run's display check, drawing connection and window library connection may
// meet the server in the middle of its reset.
TEST_F(OutputFolder, ConcurrentPictureRunsSurviveAResettingDisplay) {
    pid_t xvfb = 0;
    const std::string display = start_xvfb(&xvfb, true);
    ASSERT_FALSE(display.empty());
    std::vector<std::string> env = environment_without({"DISPLAY"});
    env.push_back("DISPLAY=" + display);
    const char* script = "for i in 1 2 3; do \"$0\" --png \"$1/p$i.png\" & p[$i]=$!; done; "
                         "s=0; for i in 1 2 3; do wait ${p[$i]} || s=1; done; exit $s";
    for (int round = 0; round < 8; ++round) {
        const ProgramRun run =
            run_program("/bin/bash", {"-c", script, ROBOSIM_BATCH_BIN, dir}, env);
        EXPECT_EQ(run.status, 0) << "round " << round << "\n" << run.err;
    }
    stop_xvfb(&xvfb);
}

}  // namespace
