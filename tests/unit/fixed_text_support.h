// GoogleTest support for FixedText: failures print it as its text, and a test can start an
// output with a text of its own, to see whether a call left it untouched.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <ostream>
#include <string>

#include "platform/fixed_text.h"

template <std::size_t N>
void PrintTo(const FixedText<N>& text, std::ostream* out) {
  *out << ::testing::PrintToString(std::u16string(text.c_str()));
}

template <typename Text>
Text TextOf(const char16_t* text) {
  Text made;
  EXPECT_TRUE(made.Assign(text)) << "the test's text does not fit";
  return made;
}
