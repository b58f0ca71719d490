// tests/support/program_test.h: the fixture of the tests of the programs' parts, which work on
// the program's current experiment
#pragma once

#include "app/experiment.h"
#include "planning/experiment.h"
#include "platform/console_io.h"

#include <gtest/gtest.h>

// starts from set_defaults(params) of the program's current experiment, with no console
// installed
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        console_hooks = {};
        params = {};
        set_defaults(params);
        accurate_integration = false;
    }

    void TearDown() override {
        console_hooks = {};
    }
};
