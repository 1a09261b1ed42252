#include "app/port_choice.h"

#include <gtest/gtest.h>

#include "install/install_worker.h"

namespace {

using Names = WideStringList;

TEST(PortChoiceTest, ManualListIsTheSpoolersOrTheFallback) {
  const Names spooler = {u"COM1:", u"LPT1:", u"USB001", u"COM1:"};
  EXPECT_EQ(ManualPortNames(1, spooler), spooler) << "order and duplicates kept";
  EXPECT_EQ(ManualPortNames(1, {}), Names{}) << "no ports is not a failure";
  EXPECT_EQ(ManualPortNames(0, spooler), (Names{u"LPT1:", u"LPT2:", u"LPT3:", u"COM1:", u"COM2:",
                                                u"COM3:", u"COM4:", u"COM5:", u"USB001"}));
}

TEST(PortChoiceTest, PreselectsLpt1IgnoringCaseElseTheFirstEntry) {
  EXPECT_EQ(PreselectedPort({u"COM1:", u"lpt1:", u"LPT1:"}), 1);
  EXPECT_EQ(PreselectedPort({u"COM1:", u"LPT1:USB"}), 1) << "a prefix match counts";
  EXPECT_EQ(PreselectedPort({u"COM1:", u"LPT1", u"LPT2:"}), 0);
  EXPECT_EQ(PreselectedPort({}), -1);
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
