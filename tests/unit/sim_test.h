// Shared fixture: every test starts on a fresh simulated machine.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/sim/sim_machine.h"

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { sim::ResetMachine(); }
  sim::Machine& machine() { return sim::TheMachine(); }
};

inline std::string Narrow(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}
