// tests/support/model_test.h: the fixture of every test that touches the program-wide state
#pragma once

#include <gtest/gtest.h>

// starts from set_defaults() with no console installed and a fresh reference generator
class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};
