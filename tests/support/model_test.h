// tests/support/model_test.h: the fixture of every test that touches the program-wide state
#pragma once

#include "planning/reference.h"

#include <gtest/gtest.h>

// starts from set_defaults(params) with no console installed and a fresh reference generator
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    ReferenceRun ref_run;  // the reference generator's state for the calls of one test
};
