#include "tests/support/model_test.h"

#include "model/console_io.h"
#include "model/parameters.h"
#include "planning/reference.h"

void ModelTest::SetUp() {
    console_hooks = {};
    set_defaults();
    prev_phi[0] = 0.0;
    prev_phi[1] = 0.0;
    reach_failure_reported = false;
}

void ModelTest::TearDown() {
    console_hooks = {};
}
