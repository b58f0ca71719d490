// Runs of experiments: many at once against one by one, and a run no history can hold.
#include "sim/run.h"

#include "planning/experiment.h"
#include "sim/history.h"
#include "tests/support/scenarios.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

using namespace robosim;

// the 48 standard experiments: both robots, six motions, gravity on and off, both feedback kinds
static std::vector<ParameterSet> standard_experiments() {
    std::vector<ParameterSet> sets;
    for (const int rt : {'a', 'b'}) {
        for (const auto& [motion, cp] :
             {std::pair{'q', 4}, {'p', 4}, {'c', 1}, {'c', 2}, {'c', 3}, {'c', 4}}) {
            for (const int setting : {0, 1, 2, 3}) {
                ParameterSet ps = scenario(rt, motion, cp);
                ps.settings.gravity = setting < 2 ? 'g' : 'h';
                ps.settings.fb_type = setting % 2 == 0 ? 'v' : 'V';
                update_derived(ps);
                sets.push_back(ps);
            }
        }
    }
    return sets;
}

// Runs share nothing: the standard experiments on several threads at once give, in their order,
// the histories of runs one by one, bit for bit. Parameter: the threads.
class RunExperiments : public ::testing::TestWithParam<int> {};

TEST_P(RunExperiments, GiveTheHistoriesOfRunsOneByOne) {
    const std::vector<ParameterSet> sets = standard_experiments();
    const std::vector<ExperimentRun> together = run_experiments(sets, {}, GetParam());
    ASSERT_EQ(together.size(), sets.size());
    for (size_t i = 0; i < sets.size(); ++i) {
        const ExperimentRun alone = run_experiment(sets[i], {});
        EXPECT_EQ(std::memcmp(alone.history.get(), together[i].history.get(), sizeof(HistorySet)),
                  0)
            << "experiment " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Threads, RunExperiments, ::testing::Values(2, 8));

// a run fills the history to its last record, and one a record longer is refused, not cut
TEST(RunExperiment, RefusesARunLongerThanTheHistory) {
    ParameterSet ps = scenario('b', 'p', 4);
    ps.settings.n_sample = HISTORY_LEN - 1;
    const ExperimentRun longest = run_experiment(ps, {});
    EXPECT_EQ(longest.refusal, RunRefusal::none);
    EXPECT_NE(longest.history->inertia_seen[HISTORY_LEN - 1][0], 0.0);
    ps.settings.n_sample = HISTORY_LEN;
    const ExperimentRun refused = run_experiment(ps, {});
    EXPECT_EQ(refused.refusal, RunRefusal::too_long);
    EXPECT_EQ(refused.history->inertia_seen[0][0], 0.0);  // nothing was run
}
