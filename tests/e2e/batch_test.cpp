// The real robosim-batch program: its CSV against an in-process run, its exit statuses.
#include "batch/batch.h"

#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "platform/console_io.h"
#include "sim/history.h"
#include "sim/run.h"
#include "tests/e2e/batch_run.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <tuple>
#include <unistd.h>
#include <vector>

using namespace robosim;

//------------------------------------------------------------------ histories

struct BatchCase {
    char robot, motion, cp, gravity, fb;
};

class BatchCsvTest : public ::testing::TestWithParam<BatchCase> {};

TEST_P(BatchCsvTest, RowsReadBackToTheHistoriesOfTheSameRun) {
    const BatchCase c = GetParam();
    const ProgramRun run =
        run_batch_program({"--robot", std::string(1, c.robot), "--motion", std::string(1, c.motion),
                           "--cp", std::string(1, c.cp), "--gravity", std::string(1, c.gravity),
                           "--fb", std::string(1, c.fb)});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_EQ(lines.size(), 202u);  // header and samples 0 .. 200
    EXPECT_EQ(lines[0],
              "k,t,theta_1,theta_2,theta_ref_1,theta_ref_2,theta_err_1,theta_err_2,pos_x,pos_y,"
              "pos_ref_x,pos_ref_y,pos_err_x,pos_err_y,tau_drive_1,tau_drive_2,tau_inertia_1,"
              "tau_inertia_2,tau_coriolis_1,tau_coriolis_2,tau_gravity_1,tau_gravity_2,"
              "tau_friction_1,tau_friction_2,inertia_seen_1,inertia_seen_2");

    // the same experiment in this process, as the final stage of the dialogs runs it
    ParameterSet params = {};
    set_defaults(params);
    params.settings.robot_type = c.robot;
    params.settings.motion = c.motion;
    params.settings.cp = c.cp - '0';
    params.settings.gravity = c.gravity;
    params.settings.fb_type = c.fb;
    update_derived(params);
    const ExperimentRun ran = run_experiment(params, {});
    const HistorySet& h = *ran.history;
    const double(*fields[])[2] = {h.theta,        h.theta_ref,   h.theta_err,    h.pos,
                                  h.pos_ref,      h.pos_err,     h.tau_drive,    h.tau_inertia,
                                  h.tau_coriolis, h.tau_gravity, h.tau_friction, h.inertia_seen};
    for (int k = 0; k <= 200; ++k) {
        const std::vector<std::string> cells = split(lines[k + 1], ',');
        ASSERT_EQ(cells.size(), 26u) << "row " << k;
        EXPECT_EQ(std::stoi(cells[0]), k);
        EXPECT_EQ(std::strtod(cells[1].c_str(), nullptr), k * params.settings.dt_sample);
        for (int f = 0; f < 12; ++f) {
            for (int j = 0; j < 2; ++j) {
                // %.17g reads back to the very same double
                ASSERT_EQ(std::strtod(cells[2 + 2 * f + j].c_str(), nullptr), fields[f][k][j])
                    << "row " << k << " column " << 2 + 2 * f + j;
            }
        }
    }
    EXPECT_TRUE(run.err.empty()) << run.err;
}

INSTANTIATE_TEST_SUITE_P(Experiments, BatchCsvTest,
                         ::testing::Values(BatchCase{'b', 'c', '4', 'g', 'V'},
                                           BatchCase{'a', 'p', '4', 'h', 'v'},
                                           BatchCase{'a', 'c', '2', 'g', 'V'},
                                           BatchCase{'b', 'q', '1', 'h', 'V'},
                                           BatchCase{'b', 'c', '3', 'g', 'v'}));

//------------------------------------------------------------------ command line

TEST(BatchProgram, NoOptionsRunTheDefaultExperiment) {
    const ProgramRun plain = run_batch_program({});
    const ProgramRun spelled = run_batch_program(
        {"--robot", "b", "--motion", "c", "--cp", "4", "--gravity", "g", "--fb", "V"});
    ASSERT_EQ(plain.status, 0);
    EXPECT_EQ(plain.out, spelled.out);
}

TEST(BatchProgram, PlanWritesNameValueLines) {
    const ProgramRun run = run_batch_program({"--robot", "a", "--plan"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_EQ(lines.size(), 39u);
    EXPECT_EQ(lines[0].rfind("IM1,", 0), 0u);
    EXPECT_EQ(lines[38].rfind("vm,", 0), 0u);
    // the cylindrical defaults: JM1 = 4.55e-5 to the printed 3 digits
    const double jm1 = std::strtod(lines[6].substr(4).c_str(), nullptr);
    EXPECT_NEAR(jm1, 4.55e-5, 0.005e-5);
}

TEST(BatchProgram, WrongArgumentsGiveOneUsageLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> wrong = {
        {"--cp", "5"},
        {"--robot", "x"},
        {"--fast"},
        {"--fb"},
        // picture options: values out of range or not numbers, and options that need another
        {"--png"},
        {"--png", "a.png", "--sample", "-1"},
        {"--png", "a.png", "--sample", "201"},  // beyond the run's last sample
        {"--png", "a.png", "--sample", "12x"},
        {"--png", "a.png", "--scale", "0"},
        {"--png", "a.png", "--scale", "nan"},
        {"--png", "a.png", "--scale", "-2"},
        {"--png", "a.png", "--graph", "x"},
        {"--gif", "a.gif", "--every", "0"},
        {"--gif", "a.gif", "--every", "two"},
        {"--sample", "3"},
        {"--every", "3"},
        {"--graph", "i"},
        {"--scale", "0.5"},
        {"--png", "a.png", "--every", "3"},
        {"--gif", "a.gif", "--sample", "3"},
        {"--png", "same", "--gif", "same"},
        {"--plan", "--png", "a.png"},
        {"--csv"},
        {"--plan", "--summary"},
        {""},
        // settings: unknown, without a value, impossible, or not of this experiment
        {"--set", "mwx=1"},
        {"--set", "mw"},
        {"--set", "mw=-1"},
        {"--set", "fn1=nan"},
        {"--set", "cp=9"},
        {"--set", "L2w=0.1"},  // no longer than the tool offset wc
        {"--motion", "q", "--set", "tf=3"},
        {"--set", "L1=0.5", "--set", "robot_type=a"},  // the cylindrical robot has no L1
        {"--steps-per-sample", " 5"},
        // several runs: sweeps that are none, and outputs of one run
        {"--sweep", "fn1"},
        {"--sweep", "fn1=2,,4"},
        {"--sweep", "fn1=2:4"},
        {"--sweep", "fn1=2:4:0"},
        {"--sweep", "fn=2,4"},
        {"--sweep", "fn1=2,4", "--sweep", "mw=1,-1"},
        {"--jobs", "0"},
        {"--band", "2"},
        {"--summary", "--band", "0"},
        {"--sweep", "fn1=2,4", "--plan"},
        {"--sweep", "fn1=1:6:6", "--png", "a.png"},
        {"--sweep", "robot_type=a,b", "--png", "a.png"},
        {"--sweep", "fn1=2,4", "--write-data", "a.dat"},
        {"--sweep", "fn1=0:1:10000", "--sweep", "fn2=0:1:10000"},
        {"--png", "a.png", "--scale", " 2"},
    };
    // refusals whose reason is the point; a record the run does not use is not written either
    const std::string unwritten = "/tmp/robosim-unwritten-" + std::to_string(getpid());
    const std::vector<std::pair<std::vector<std::string>, std::string>> told = {
        {{"--set", "mw=1e309"}, "out of the range of a double (it would read as infinity)"},
        {{"--set", "tf=1e-400"}, "out of the range of a double (it would read as 0)"},
        {{"--set", "mw= 1"}, "not a number"},
        {{"--set", "fn1=1e308", "--write-data", unwritten}, "it must be |fn| <= 2.86e+307"},
        {{"--set", "circle.tf=1"}, "'circle.tf' is not a setting of this experiment"},
        {{"--robot", "a", "--set", "scara.PW1=50"}, "runs the cylindrical robot (a) on the sine"},
        {{"--cp", "2", "--set", "sine.L=0.3", "--write-data", unwritten}, "'sine.L' is not"},
        {{"--set", "zeta2=0.7", "--write-data", unwritten}, "cannot hold the damping ratio zeta2"},
    };
    const auto refused = [](const std::vector<std::string>& words) {
        const ProgramRun run = run_batch_program(words);
        EXPECT_EQ(run.status, 2) << words[0] << " " << words.back();
        EXPECT_TRUE(run.out.empty());
        EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << run.err;  // exactly one line
        EXPECT_NE(run.err.find("usage: robosim-batch"), std::string::npos);
        return run.err;
    };
    for (const std::vector<std::string>& words : wrong) {
        refused(words);
    }
    for (const auto& [words, reason] : told) {
        EXPECT_NE(refused(words).find(reason), std::string::npos) << reason;
    }
    EXPECT_NE(access(unwritten.c_str(), F_OK), 0);
}

// A plan whose numbers overflow is told as a run that diverged; a point beyond astronomical arms
// is out of reach all the same.
TEST(BatchProgram, PlanOfNumbersThatAreNotFiniteEndsWithStatusThree) {
    const std::string plan = "the plan is not finite: ", reach = "reach 1.000e+308 .. 1.000e+308";
    const std::vector<std::tuple<std::vector<std::string>, int, std::string>> cases = {
        {{"--set", "tf=1e-320", "--plan"}, 3, plan + "am1 is infinite\n"},
        {{"--set", "fn1=2e307", "--plan"}, 3, plan + "Kp1 is infinite\n"},
        {{"--set", "A=1e308", "--plan"}, 3, plan + "sf is infinite\n"},
        {{"--robot", "a", "--set", "L=1e308", "--plan"}, 3, plan + "JM1 is infinite\n"},
        {{"--set", "L1=1e308"}, 4, reach},
        {{"--set", "L1=1e308", "--plan"}, 4, reach},
    };
    for (const auto& [words, status, told] : cases) {
        const ProgramRun run = run_batch_program(words);
        EXPECT_EQ(run.status, status) << words[1] << run.err;
        EXPECT_NE(run.err.find(told), std::string::npos) << run.err;
    }
}

TEST(BatchProgram, HelpDescribesTheToolOnStandardOutput) {
    const ProgramRun run = run_batch_program({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--robot a|b"), std::string::npos);
    EXPECT_NE(run.out.find("--plan"), std::string::npos);
    EXPECT_TRUE(run.err.empty());
    // the exit statuses wrapped as paragraphs: a line ends only where its next word would not fit
    const std::vector<std::string> lines = split(run.out.substr(run.out.find("Exit status")), '\n');
    for (size_t i = 0; i + 1 < lines.size(); ++i) {
        const std::string next = lines[i + 1] + " ";  // a continuation starts with 5 blanks
        EXPECT_TRUE(next.rfind("     ", 0) != 0 || lines[i].size() + next.find(' ', 5) > 84)
            << lines[i];
    }
}

//------------------------------------------------------------------ robot data files

TEST(BatchProgram, DataFileGivesTheExperimentAndItsEchoGoesToStandardError) {
    const std::string file = std::string(ROBOSIM_SOURCE_DIR) + "/examples/cyl_trap.dat";
    const ProgramRun run = run_batch_program({file, "--gravity", "h"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("(1-1)"), std::string::npos);  // the reader's echo
    EXPECT_EQ(run.out.find("(1-1)"), std::string::npos);  // and not in the CSV

    // the same experiment in this process: the file, then the option that overrides it
    console_hooks = {};
    BatchOptions opt = default_batch_options();
    opt.data_file = file;
    opt.gravity = 'h';
    opt.given[3] = true;
    ParameterSet params = {};
    ASSERT_EQ(prepare_batch_experiment(params, opt), Prepared::ready);
    EXPECT_EQ(params.settings.robot_type, 'a');
    EXPECT_EQ(params.settings.motion, 'p');
    EXPECT_EQ(params.settings.gravity, 'h');
    const ExperimentRun ran = run_experiment(params, {});
    const std::vector<std::string> lines = split(run.out, '\n');
    ASSERT_EQ(lines.size(), 202u);
    const std::vector<std::string> last = split(lines[201], ',');
    EXPECT_EQ(std::strtod(last[2].c_str(), nullptr), ran.history->theta[200][0]);
    EXPECT_EQ(std::strtod(last[21].c_str(), nullptr), 0.0);  // tau_gravity_2 with gravity off
}

// FNV-1a, 64 bits: a checksum of a whole CSV that any change of a digit moves
static std::string fnv1a_hex(const std::string& bytes) {
    std::uint64_t h = 0xcbf29ce484222325u;
    for (const unsigned char c : bytes) {
        h = (h ^ c) * 0x100000001b3u;
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(h));
    return text;
}

// The 48 standard scenarios (both robots, six motions, gravity on and off, both feedback
// kinds) and every example file give the CSV they gave before the gear's jam rule, byte for
// byte: their gears never jam. The checksums were taken from the build before it.
TEST(BatchProgram, CsvOfEveryStandardScenarioAndExampleKeepsItsChecksum) {
    std::istringstream golden(slurp(ROBOSIM_SOURCE_DIR "/tests/e2e/golden/batch_csv_fnv1a.txt"));
    std::string line;
    int checked = 0;
    while (std::getline(golden, line)) {
        std::vector<std::string> words = split(line, ' ');
        const std::string expected = words.back();
        words.pop_back();
        if (words[0].rfind("examples/", 0) == 0) {
            words[0] = std::string(ROBOSIM_SOURCE_DIR) + "/" + words[0];
        }
        const ProgramRun run = run_batch_program(words);
        EXPECT_EQ(fnv1a_hex(run.out), expected) << line;
        ++checked;
    }
    EXPECT_EQ(checked, 48 + 22);

    // ten steps per sample are the default; another count, or the accurate mode, is another
    // integration
    const std::string ten = run_batch_program({"--steps-per-sample", "10"}).out;
    EXPECT_EQ(ten, run_batch_program({}).out);
    EXPECT_EQ(ten, run_batch_program({"--steps-per-sample", "00000000010"}).out);
    EXPECT_NE(ten, run_batch_program({"--steps-per-sample", "20"}).out);
    EXPECT_NE(ten, run_batch_program({"--accurate"}).out);
}

// --write-data keeps an experiment: every example file, and the defaults with options, written
// and read back give the same CSV, byte for byte; alone it writes nothing else
TEST(BatchProgram, WrittenDataFilesReadBackToTheSameRun) {
    char path[] = "/tmp/robosim-written-XXXXXX";
    close(mkstemp(path));
    std::vector<std::vector<std::string>> runs = {{"--robot", "a", "--motion", "c", "--cp", "3"},
                                                  {"--gravity", "h", "--fb", "v"}};
    for (const char* name :
         {"cyl_circle",        "cyl_line",      "cyl_sine",       "cyl_step",   "cyl_trap",
          "cyl_ucurve",        "scara_circle",  "scara_line",     "scara_sine", "scara_step",
          "scara_trap",        "scara_ucurve",  "teach_feedback", "teach_gear", "teach_gravity",
          "teach_heavy",       "teach_light",   "teach_pd",       "teach_pid",  "teach_scara_edge",
          "teach_scara_inner", "teach_selflock"}) {
        runs.push_back({std::string(ROBOSIM_SOURCE_DIR) + "/examples/" + name + ".dat"});
    }
    for (std::vector<std::string> words : runs) {
        const std::string original = run_batch_program(words).out;
        words.insert(words.end(), {"--write-data", path});
        const ProgramRun written = run_batch_program(words);
        EXPECT_EQ(written.status, 0) << words[0] << written.err;
        EXPECT_TRUE(written.out.empty()) << words[0];
        EXPECT_EQ(run_batch_program({path}).out, original) << words[0] << "\n" << slurp(path);
    }
    unlink(path);
}

// a setting given on the command line runs the experiment its data file would give, bit for bit
TEST(BatchProgram, SetGivesTheRunOfTheSameDataFile) {
    char path[] = "/tmp/robosim-set-XXXXXX";
    close(mkstemp(path));
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--set", "mw=2.0"},
         "b 0.4 0.4 2.0 110 110 60 0.6 60 0.6 g 4 4 4 4 V c 4 -0.1 0.3 0.6 0.2 2.0"},
        {{"--cp", "2", "--set", "rr=0.25", "--set", "circle.tf=3", "--set", "L2w=0.45"},
         "b 0.4 0.45 1 110 110 60 0.6 60 0.6 g 4 4 4 4 V c 2 0.2 0 0.25 3"},
        {{"--set", "sine.L=0.5", "--set", "A=0.1", "--set", "scara.eta_fwd2=0.7"},
         "b 0.4 0.4 1 110 110 60 0.6 60 0.7 g 4 4 4 4 V c 4 -0.1 0.3 0.5 0.1 2"},
        {{"--set", "L=0.7", "--set", "robot_type=a", "--set", "motion=p", "--set", "fn1=3", "--set",
          "alpha1=-2", "--set", "gravity=h", "--set", "fb_type=v", "--set", "tf=1.5"},
         "a 0.7 1 110 110 100 0.6 100 0.6 h 3 -2 4 4 v p 0.15000000000000027 0.25980762113533146 "
         "-0.29999999999999893 0.5196152422706637 1.5"},
    };
    for (const auto& [words, file] : cases) {
        std::FILE* f = std::fopen(path, "w");
        ASSERT_NE(f, nullptr);
        std::fputs(file.c_str(), f);
        std::fclose(f);
        const ProgramRun set = run_batch_program(words);
        EXPECT_EQ(set.status, 0) << words[1] << set.err;
        EXPECT_EQ(set.out, run_batch_program({path}).out) << words[1];
    }
    unlink(path);
}

//------------------------------------------------------------------ several runs

// a sweep or several data files: the summary rows carry the figures of the single runs, each
// value byte for byte under the name of its name,value line
struct SeveralRunsCase {
    const char* name;
    std::vector<std::string> several;               // the command line of the runs
    std::vector<std::vector<std::string>> singles;  // the single runs, in the rows' order
    const char* run_column;                         // the name of the column naming the run
    std::vector<std::string> run_cells;             // that column of each row
};

class SeveralRunsTest : public ::testing::TestWithParam<SeveralRunsCase> {};

TEST_P(SeveralRunsTest, SummaryRowsAreTheSingleRunsFigures) {
    const SeveralRunsCase& c = GetParam();
    std::vector<std::string> words = c.several;
    words.insert(words.end(), {"--summary", "--csv"});
    const ProgramRun several = run_batch_program(words);
    ASSERT_EQ(several.status, 0) << several.err;
    const std::vector<std::string> rows = split(several.out, '\n');
    ASSERT_EQ(rows.size(), c.singles.size() + 1);
    const std::vector<std::string> header = split(rows[0], ',');
    EXPECT_EQ(header[0], c.run_column);
    for (size_t r = 0; r < c.singles.size(); ++r) {
        std::vector<std::string> single = c.singles[r];
        single.insert(single.end(), {"--summary", "--csv"});
        const std::vector<std::string> lines = split(run_batch_program(single).out, '\n');
        const std::vector<std::string> cells = split(rows[r + 1], ',');
        ASSERT_EQ(cells.size(), lines.size() + 1) << rows[r + 1];
        EXPECT_EQ(cells[0], c.run_cells[r]);
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(header[i + 1] + "," + cells[i + 1], lines[i]) << r;
        }
    }
}

// the histories: every single run's rows in turn, after the columns naming the run
TEST_P(SeveralRunsTest, HistoryRowsAreTheSingleRunsAfterTheRunsColumns) {
    const SeveralRunsCase& c = GetParam();
    const ProgramRun several = run_batch_program(c.several);
    ASSERT_EQ(several.status, 0) << several.err;
    const std::vector<std::string> rows = split(several.out, '\n');
    size_t at = 1;
    for (size_t r = 0; r < c.singles.size(); ++r) {
        const std::vector<std::string> single = split(run_batch_program(c.singles[r]).out, '\n');
        EXPECT_EQ(rows[0], c.run_column + ("," + single[0]));
        ASSERT_GE(rows.size(), at + single.size() - 1);
        for (size_t k = 1; k < single.size(); ++k, ++at) {
            ASSERT_EQ(rows[at], c.run_cells[r] + "," + single[k]) << r << " " << k;
        }
    }
    EXPECT_EQ(at, rows.size());
}

static const std::string GEAR = ROBOSIM_SOURCE_DIR "/examples/teach_gear.dat";
static const std::string SELFLOCK = ROBOSIM_SOURCE_DIR "/examples/teach_selflock.dat";

INSTANTIATE_TEST_SUITE_P(
    Runs, SeveralRunsTest,
    ::testing::Values(SeveralRunsCase{"Sweep",
                                      {"--sweep", "fn1=2,4,8"},
                                      {{"--set", "fn1=2"}, {"--set", "fn1=4"}, {"--set", "fn1=8"}},
                                      "fn1",
                                      {"2", "4", "8"}},
                      SeveralRunsCase{"DataFiles",
                                      {GEAR, SELFLOCK, "--gravity", "h"},
                                      {{GEAR, "--gravity", "h"}, {SELFLOCK, "--gravity", "h"}},
                                      "file",
                                      {GEAR, SELFLOCK}},
                      SeveralRunsCase{"Range",
                                      {"--robot", "a", "--sweep", "zeta2=0.5:1.5:3", "--accurate"},
                                      {{"--robot", "a", "--set", "zeta2=0.5", "--accurate"},
                                       {"--robot", "a", "--set", "zeta2=1", "--accurate"},
                                       {"--robot", "a", "--set", "zeta2=1.5", "--accurate"}},
                                      "zeta2",
                                      {"0.5", "1", "1.5"}}),
    [](const auto& test) { return std::string(test.param.name); });

// every standard scenario, histories whole: the threads change nothing, not even the order
TEST(BatchProgram, StandardScenariosSweptOnAnyNumberOfJobsWriteTheSame) {
    const std::vector<std::string> sweep = {"--sweep", "robot_type=a,b", "--sweep", "motion=q,p,c",
                                            "--sweep", "cp=1,2,3,4",     "--sweep", "gravity=g,h",
                                            "--sweep", "fb_type=v,V"};
    std::vector<std::string> words = sweep;
    words.insert(words.end(), {"--jobs", "1"});
    const ProgramRun one = run_batch_program(words);
    // 2 robots, 12 motions and paths (q and p once per path), 2 gravities, 2 feedbacks
    ASSERT_EQ(split(one.out, '\n').size(), 96u * 201u + 1u);
    for (const char* jobs : {"2", "8"}) {
        words.back() = jobs;
        const ProgramRun more = run_batch_program(words);
        EXPECT_EQ(more.status, one.status) << jobs;
        EXPECT_TRUE(more.out == one.out) << jobs;  // megabytes: no dump of a difference
    }
    // and every example, integrated accurately: what each run met, counted on its own thread
    std::vector<std::string> examples = {"--accurate", "--summary", "--csv", "--jobs", "1"};
    for (const auto& file : std::filesystem::directory_iterator(ROBOSIM_SOURCE_DIR "/examples")) {
        examples.insert(examples.begin(), file.path().string());
    }
    const ProgramRun accurate = run_batch_program(examples);
    ASSERT_EQ(accurate.status, 0) << accurate.err;
    for (const char* jobs : {"2", "8"}) {
        examples.back() = jobs;
        EXPECT_EQ(run_batch_program(examples).out, accurate.out) << jobs;
    }
}

TEST(BatchProgram, UnreadableDataFileIsReportedWithStatusOne) {
    const ProgramRun missing = run_batch_program({"/nonexistent/robot.dat"});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.out.empty());
    EXPECT_NE(missing.err.find("/nonexistent/robot.dat"), std::string::npos);

    char path[] = "/tmp/robosim-truncated-XXXXXX";
    const int fd = mkstemp(path);
    const std::string truncated = "b 0.4 0.4 1.0 110 110";  // ends in the motor powers
    ASSERT_EQ(write(fd, truncated.data(), truncated.size()), (ssize_t)truncated.size());
    close(fd);
    const ProgramRun early = run_batch_program({path});
    unlink(path);
    EXPECT_EQ(early.status, 1);
    EXPECT_TRUE(early.out.empty());
    EXPECT_FALSE(early.err.empty());
}

TEST(BatchProgram, UnreachableScaraGoalIsToldOnStandardErrorOnly) {
    char path[] = "/tmp/robosim-unreachable-XXXXXX";
    const int fd = mkstemp(path);
    // the SCARA robot (reach 0.8 m) asked to step to (0.9, 0.3)
    const std::string data = "b 0.4 0.4 1.0 110 110 60 0.6 60 0.6 g 4 4 4 4 V q 0.2 0.2 0.9 0.3";
    ASSERT_EQ(write(fd, data.data(), data.size()), (ssize_t)data.size());
    close(fd);
    const ProgramRun run = run_batch_program({path});
    const ProgramRun plan = run_batch_program({path, "--plan"});
    unlink(path);
    EXPECT_EQ(run.status, 4);
    EXPECT_NE(run.err.find("!!! 逆運動学の解なし"), std::string::npos) << run.err;
    // one English line names the point, and the NaN that follows from it is not told again
    EXPECT_NE(run.err.find("\nrobosim-batch: the point (0.900, 0.300) m is out of the SCARA "
                           "robot's reach (0.949 m from joint 1; the arms reach 0.000 .. "
                           "0.800 m)\n"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("diverged"), std::string::npos) << run.err;
    EXPECT_EQ(plan.status, 4);
    EXPECT_EQ(run.out.find("!!!"), std::string::npos);
    EXPECT_EQ(split(run.out, '\n').size(), 202u);  // the histories, with not-a-number values
}
