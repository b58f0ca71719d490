// tests/support/program_test.h: the fixture of the tests of the programs' parts, which work on
// a session of the interactive program
#pragma once

#include "app/session.h"
#include "planning/experiment.h"
#include "platform/console_io.h"

#include <gtest/gtest.h>

using namespace robosim;

// a test's own session, starting from set_defaults of its experiment, with no console
// installed; its parts go by the names the program's state has always had
class ProgramTest : public ::testing::Test {
  protected:
    void SetUp() override {
        console_hooks = {};
        set_defaults(params);
    }

    void TearDown() override {
        console_hooks = {};
    }

    Scene current_scene() const {
        return ::current_scene(session);
    }

    HistorySet* history_of(int robot_type) {
        return &::history_of(session, robot_type);
    }

    Session session;  // handed to the dialogs, keys and reports under test
    ParameterSet& params = session.experiment;
    HistorySet& history_cyl = *session.history_cyl;
    HistorySet& history_scara = *session.history_scara;
    ViewState& view_state = session.view;
    bool& accurate_integration = session.accurate;
    char& last_key = session.last_key;
};
