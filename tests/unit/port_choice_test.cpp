#include "app/port_choice.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "install/install_worker.h"

namespace {

TEST(PortChoiceTest, FallbackListHoldsTheNinePortsWithThePreselectedOneFirst) {
  const std::vector<std::u16string> names(std::begin(kFallbackPorts), std::end(kFallbackPorts));
  EXPECT_EQ(names, (std::vector<std::u16string>{u"LPT1:", u"LPT2:", u"LPT3:", u"COM1:", u"COM2:",
                                                u"COM3:", u"COM4:", u"COM5:", u"USB001"}));
  EXPECT_EQ(std::u16string(kPreselectedPort), u"LPT1:");
}

TEST(PortChoiceTest, RefusesPortsThatWouldNotFitOrCouldBreakTheCommandLine) {
  EXPECT_TRUE(IsInstallablePort(u"USB001"));
  EXPECT_TRUE(IsInstallablePort(u"")) << "an empty port is passed as empty quotes";
  EXPECT_TRUE(IsInstallablePort(std::u16string(199, u'p').c_str()));
  EXPECT_FALSE(IsInstallablePort(std::u16string(200, u'p').c_str()));
  EXPECT_FALSE(IsInstallablePort(u"LPT1:\" /q /z \""));
}

TEST(PortChoiceTest, OnlyOurTimerWithAnOutcomeReports) {
  EXPECT_EQ(ReportForTick(false, kInstallFailed), TickReport::kNothing);
  EXPECT_EQ(ReportForTick(true, kInstallPending), TickReport::kNothing);
  EXPECT_EQ(ReportForTick(true, kInstallFailed), TickReport::kFailure);
  EXPECT_EQ(ReportForTick(true, kInstallSucceeded), TickReport::kSuccess);
  EXPECT_EQ(ReportForTick(true, 7), TickReport::kSilent);
}

}  // namespace
