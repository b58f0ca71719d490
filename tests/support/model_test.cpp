#include "tests/support/model_test.h"

#include "model/parameters.h"
#include "planning/experiment.h"
#include "planning/reference.h"
#include "platform/console_io.h"

using namespace robosim;

void ModelTest::SetUp() {
    console_hooks = {};
    set_defaults(params);
    ref_run = new_reference_run();
}

void ModelTest::TearDown() {
    console_hooks = {};
}
