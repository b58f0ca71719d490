// tests/support/model_test.h: the fixtures of the tests that set up an experiment
#pragma once

#include "planning/plan.h"
#include "planning/reference.h"
#include "sim/history.h"

#include <gtest/gtest.h>

#include <memory>

using namespace robosim;

// a test's own experiment: starts from set_defaults(params) with no console installed and a
// fresh reference generator
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    ParameterSet params{};  // the experiment of one test
    ReferenceRun ref_run;   // the reference generator's state for the calls of one test

    // the history sets of one test's runs, one per robot, zero at the start
    std::unique_ptr<HistorySet> cyl_runs = std::make_unique<HistorySet>();
    std::unique_ptr<HistorySet> scara_runs = std::make_unique<HistorySet>();
    HistorySet& history_cyl = *cyl_runs;
    HistorySet& history_scara = *scara_runs;

    HistorySet* history_of(int robot_type) {
        return robot_type == 'b' ? &history_scara : &history_cyl;
    }
};
