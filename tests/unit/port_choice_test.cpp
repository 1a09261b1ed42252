#include "app/port_choice.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace {

TEST(PortChoiceTest, RefusesPortsThatWouldNotFitOrCouldBreakTheCommandLine) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"USB001", true},
      {u"", true},  // passed as empty quotes
      {std::u16string(199, u'p'), true},
      {std::u16string(200, u'p'), false},
      {u"LPT1:\" /q /z \"", false},
      // Backslashes are literal unless a quotation mark follows, as it does after the port.
      {u"\\\\server\\queue", true},
      {u"C:\\spool\\ out.prn", true},
      {u"C:\\spool\\", false},
      {u"\\\\server\\queue\\", false},
      {u"even\\\\", false},
      {u"\\", false},
  };
  for (const auto& [port, installable] : cases) {
    EXPECT_EQ(IsInstallablePort(port.c_str()), installable) << ::testing::PrintToString(port);
  }
}

}  // namespace
