// Shared fixture: every test starts on a fresh simulated machine.
#pragma once

#include <gtest/gtest.h>

#include "platform/sim/sim_machine.h"

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::ResetMachine(); }
  static sim::Machine& machine() { return sim::TheMachine(); }
};
