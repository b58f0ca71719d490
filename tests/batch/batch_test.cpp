// The batch tool's command line and writers.
#include "batch/batch.h"

#include "app/session.h"
#include "model/derive.h"
#include "model/parameters.h"
#include "planning/experiment.h"
#include "tests/support/program_test.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

using namespace robosim;

// parses a command line given as words after the program name
static bool parse(std::vector<std::string> words, BatchOptions* opt, std::string* error) {
    std::vector<char*> argv = {const_cast<char*>("robosim-batch")};
    for (std::string& w : words) {
        argv.push_back(w.data());
    }
    *opt = default_batch_options();
    return parse_batch_args(static_cast<int>(argv.size()), argv.data(), opt, error);
}

TEST(ParseBatchArgs, DefaultsAreTheStartUpAnswers) {
    BatchOptions opt;
    std::string error;
    ASSERT_TRUE(parse({}, &opt, &error));
    EXPECT_EQ(opt.robot_type, 'b');
    EXPECT_EQ(opt.motion, 'c');
    EXPECT_EQ(opt.cp, 4);
    EXPECT_EQ(opt.gravity, 'g');
    EXPECT_EQ(opt.fb_type, 'V');
    EXPECT_FALSE(opt.plan);
    EXPECT_EQ(opt.steps_per_sample, STEPS_PER_SAMPLE);
    EXPECT_FALSE(opt.accurate);
    ASSERT_TRUE(parse({"--steps-per-sample", "160", "--accurate"}, &opt, &error)) << error;
    EXPECT_EQ(opt.steps_per_sample, 160);
    EXPECT_TRUE(opt.accurate);
}

TEST(ParseBatchArgs, BothOptionFormsSetEverySelector) {
    BatchOptions opt;
    std::string error;
    ASSERT_TRUE(
        parse({"--robot", "a", "--motion=p", "--cp", "2", "--gravity=h", "--fb", "v", "--plan"},
              &opt, &error))
        << error;
    EXPECT_EQ(opt.robot_type, 'a');
    EXPECT_EQ(opt.motion, 'p');
    EXPECT_EQ(opt.cp, 2);
    EXPECT_EQ(opt.gravity, 'h');
    EXPECT_EQ(opt.fb_type, 'v');
    EXPECT_TRUE(opt.plan);
}

TEST(ParseBatchArgs, WrongOptionsAndValuesAreRefused) {
    const std::vector<std::vector<std::string>> wrong = {{"--robot", "c"},
                                                         {"--robot"},
                                                         {"--cp", "0"},
                                                         {"--cp", "5"},
                                                         {"--cp", "-1"},
                                                         {"--cp", "12"},
                                                         {"--fb", "w"},
                                                         {"--motion", ""},
                                                         {"--speed", "1"},
                                                         {"--gravity=gh"},
                                                         {"one.dat", "two.dat", "--plan"},
                                                         {"--steps-per-sample", "0"},
                                                         {"--steps-per-sample", "1001"}};
    for (const auto& words : wrong) {
        BatchOptions opt;
        std::string error;
        EXPECT_FALSE(parse(words, &opt, &error)) << words[0];
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(error.find('\n'), std::string::npos);  // one line
    }
}

TEST(ParseBatchArgs, OneWordIsTheDataFileAndOptionsAreMarkedGiven) {
    BatchOptions opt;
    std::string error;
    ASSERT_TRUE(parse({"--gravity", "h", "examples/cyl_step.dat"}, &opt, &error)) << error;
    EXPECT_EQ(opt.data_file, "examples/cyl_step.dat");
    EXPECT_FALSE(opt.given[0]);
    EXPECT_TRUE(opt.given[3]);
}

// each damping ratio reaches its own loop's gains, and only by --set: the dialogs' 1.0 elsewhere
TEST(PrepareBatchExperiment, DampingRatioSetByNameGivesItsLoopsGains) {
    for (const auto& [name, field] :
         {std::pair{"zeta1", &Settings::zeta1}, std::pair{"zeta2", &Settings::zeta2}}) {
        BatchOptions opt = default_batch_options();
        ParameterSet direct{};
        ASSERT_EQ(prepare_batch_experiment(direct, opt), Prepared::ready);
        direct.settings.*field = 0.5;
        update_derived(direct);
        opt.sets = {{name, "0.5"}};
        ParameterSet ps{};
        ASSERT_EQ(prepare_batch_experiment(ps, opt), Prepared::ready);
        EXPECT_EQ(ps.model.scara.Kp1, direct.model.scara.Kp1) << name;
        EXPECT_EQ(ps.model.scara.Kv1, direct.model.scara.Kv1) << name;
        EXPECT_EQ(ps.model.scara.Kv2, direct.model.scara.Kv2) << name;
        EXPECT_EQ(ps.model.scara.Ki2, direct.model.scara.Ki2) << name;
    }
}

// the values of a range: the ends as typed, the others evenly between them
TEST(ParseSweep, RangesAndListsGiveTheirValues) {
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"fn1=0:1:5", {"0", "0.25", "0.5", "0.75", "1"}},
        {"zeta1=1e0:3.0:3", {"1e0", "2", "3.0"}},
        {"tf=2:5:1", {"2"}},
        {"mw=2,1e-3,x", {"2", "1e-3", "x"}},
    };
    for (const auto& [word, values] : cases) {
        Sweep sweep;
        ASSERT_TRUE(parse_sweep(word, &sweep)) << word;
        EXPECT_EQ(sweep.name, word.substr(0, word.find('=')));
        EXPECT_EQ(sweep.values, values) << word;
    }
}

using PlanCsvTest = ProgramTest;

TEST_F(PlanCsvTest, NamesEveryPlannedQuantityOnce) {
    params.settings.robot_type = 'a';
    params.settings.motion = 'p';
    update_derived(params);
    std::FILE* f = std::tmpfile();
    ASSERT_NE(f, nullptr);
    write_plan_csv(f, params);
    std::rewind(f);
    std::string names;
    char line[256];
    double jm1 = 0.0;
    while (std::fgets(line, sizeof line, f) != nullptr) {
        const std::string s = line;
        names += s.substr(0, s.find(',')) + " ";
        if (s.rfind("JM1,", 0) == 0) {
            jm1 = std::strtod(line + 4, nullptr);
        }
    }
    std::fclose(f);
    EXPECT_EQ(names, "IM1 IM2 tau_m1 tau_m2 eta_rev1 eta_rev2 JM1 JM2 Kp1 Kv1 Ki1 Kp2 Kv2 Ki2 x0 "
                     "y0 xf yf tf phi0_1 phi0_2 phif_1 phif_2 theta0_1 theta0_2 thetaf_1 thetaf_2 "
                     "t11 t12 omega_m1 omega_m2 alpha_m1 alpha_m2 sf t1 t2 am1 am2 vm ");
    EXPECT_EQ(jm1, params.model.cyl.JM1);  // %.17g reads back to the same double
}
