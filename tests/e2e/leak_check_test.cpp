// The sanitizer build's leak checker in a windowed program: robosim's own lost blocks are
// reported, in plain code and inside an event-loop callback, while the X and GL libraries'
// blocks are not. Needs a build with the leak checker; other builds skip it.
#include "tests/e2e/batch_run.h"
#include "tests/e2e/window_harness.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool LEAK_CHECKER = true;
#else
constexpr bool LEAK_CHECKER = false;
#endif

struct LeakCase {
    const char* mode;  // leak_probe's argument
    bool reported;     // the dropped block must be reported
};

void PrintTo(const LeakCase& leak_case, std::ostream* os) {
    *os << "leak_probe " << leak_case.mode;
}

class LeakCheck : public PrivateDisplay, public ::testing::WithParamInterface<LeakCase> {
  protected:
    void SetUp() override {
        if (!LEAK_CHECKER) {
            GTEST_SKIP() << "this build has no leak checker";
        }
        PrivateDisplay::SetUp();
    }
};

TEST_P(LeakCheck, ReportsOwnBlocksOnly) {
    // the checker's settings are the probe's own, whatever the test runner was given
    std::vector<std::string> env = environment_without({"DISPLAY", "ASAN_OPTIONS", "LSAN_OPTIONS"});
    env.push_back("DISPLAY=" + display);
    env.push_back("ASAN_OPTIONS=detect_leaks=1");
    const ProgramRun run = run_program(LEAK_PROBE_BIN, {GetParam().mode}, env);
    const bool leak_told =
        run.err.find("LeakSanitizer: detected memory leaks") != std::string::npos;
    if (GetParam().reported) {
        EXPECT_NE(run.status, 0);
        EXPECT_TRUE(leak_told) << run.err;
        EXPECT_NE(run.err.find("Direct leak of 4321 byte(s) in 1 object(s)"), std::string::npos)
            << run.err;
        EXPECT_NE(run.err.find("SUMMARY: AddressSanitizer: 4321 byte(s) leaked in 1 allocation(s)"),
                  std::string::npos)
            << "a block of the window system's was reported too:\n"
            << run.err;
    } else {
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_FALSE(leak_told) << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(, LeakCheck,
                         ::testing::Values(LeakCase{"none", false}, LeakCase{"own", true},
                                           LeakCase{"callback", true},
                                           LeakCase{"other-thread", false},
                                           LeakCase{"own-thread", true}),
                         [](const ::testing::TestParamInfo<LeakCase>& param_info) {
                             std::string name = param_info.param.mode;
                             for (char& ch : name) {
                                 ch = ch == '-' ? '_' : ch;
                             }
                             return name;
                         });

}  // namespace
