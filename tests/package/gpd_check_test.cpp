// The shipped GPD passes the structural check, and each kind of mistake the check exists for,
// made in a copy of that file, is caught with the right message.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/gpd_check/gpd_check.h"

namespace {

const std::string kSeriesDir = VELMORA_PACKAGE_DIR "/series2";

std::vector<GpdProblem> Check(const std::string& text) {
  return CheckGpd(
      text, [](const std::string& name) { return std::ifstream(kSeriesDir + "/" + name).good(); });
}

class ShippedGpdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::stringstream text;
    text << std::ifstream(kSeriesDir + "/VELS2.GPD", std::ios::binary).rdbuf();
    gpd = text.str();
  }
  std::string gpd;
};

TEST_F(ShippedGpdTest, PassesTheStructuralCheck) {
  ASSERT_FALSE(gpd.empty());
  const std::vector<GpdProblem> problems = Check(gpd);
  EXPECT_TRUE(problems.empty()) << DescribeProblems(problems);
  EXPECT_EQ(gpd.find('\n'), gpd.find("\r\n") + 1) << "lines end in CRLF";
  // The installer's model name, "Velmora针式打印机 系列2", in the GPD's code page.
  EXPECT_NE(gpd.find("\r\n*CodePage: 936\r\n*ModelName: \"Velmora\xD5\xEB\xCA\xBD\xB4\xF2\xD3\xA1"
                     "\xBB\xFA \xCF\xB5\xC1\xD0\x32\"\r\n"),
            std::string::npos);
}

TEST_F(ShippedGpdTest, CatchesEachKindOfMistake) {
  // Each mistake: the text replaced, its replacement, and part of the message the check gives.
  const std::string mistakes[][3] = {
      {"*Feature: InputBin", "}\r\n*Feature: InputBin", "'}' has no matching '{'"},
      {"*% Settings that depend", "*Feature: Spare\r\n{\r\n*% Settings", "'{' is not closed"},
      {"*Option: LANDSCAPE_CC270\r\n    {", "*Option: LANDSCAPE_CC270\r\n    {\r\n    {",
       "'{' has no entry to open"},
      {"*Name: \"180 x 180 dpi\"", "*Name: \"180 x 180 dpi", "string is not closed on its line"},
      {"*DPI: PAIR(180, 180)\r\n        *TextDPI", "*DPI: PAIR(180, 180) *TextDPI",
       "an entry must start on its own line"},
      {"*GPDSpecVersion", "*% VELS2\r\n*GPDSpecVersion",
       "*GPDSpecVersion must come before any comment"},
      {"*MasterUnits: PAIR(360, 360)", "", "missing root entry *MasterUnits"},
      {"*DefaultOption: PORTRAIT", "*DefaultOption: PORTRAIT\r\n    *MasterUnits: PAIR(360, 360)",
       "*MasterUnits belongs at the root level"},
      {"*Include: \"StdNames.gpd\"", "*Include: \"VelmoraFonts.gpd\"",
       "*Include names VelmoraFonts.gpd, which is not there"},
      {"=RCID_DMPAPER_SYSTEM_NAME", "=RCID_DMPAPER_SYSTEM",
       "macro =RCID_DMPAPER_SYSTEM is not defined"},
      {"PaperSize.FORM_241x93)", "PaperSize.FORM_241x39)", "unknown option PaperSize.FORM_241x39"},
      {"LIST(Resolution.Option360,", "LIST(Resolution.Option720,",
       "unknown option Resolution.Option720"},
      {"*DefaultQuality: BETTERQUALITY", "", "image-quality settings need *DefaultQuality too"},
      {"*switch: Resolution", "*switch: Resolutoin", "*switch: unknown feature Resolutoin"},
      {"*case: Option360", "*case: Option300", "*case: unknown option Resolution.Option300"},
      {"*DefaultOption: TRACTOR", "*DefaultOption: TRACKTOR",
       "*DefaultOption TRACKTOR is not one of its options"},
      {"*Option: A5", "*Option: A4", "option PaperSize.A4 is defined twice"},
      {"*Option: LANDSCAPE_CC270", "*Option: LANDSCAPE",
       "feature Orientation takes only standard options, not LANDSCAPE"},
      {"*FeatureType: DOC_PROPERTY", "",
       "feature PrintQuality is not a standard feature and needs *FeatureType"},
      {"*DPI: PAIR(360, 360)", "", "option Resolution.Option360 lacks *DPI"},
      {"*DPI: PAIR(180, 180)", "*DPI: PAIR(170, 180)", "*DPI does not divide the master units"},
      {"*PinsPerLogPass: 48", "*PinsPerLogPass: 36",
       "*PinsPerLogPass must be a multiple of *PinsPerPhysPass"},
      {"*PrintableArea: PAIR(2002, 2796)", "", "option PaperSize.A5 lacks *PrintableArea"},
      {"*PageDimensions: PAIR(3420, 1320)", "",
       "PaperSize.FORM_241x93 is not a standard size and needs *PageDimensions"},
      {"*PrintableArea: PAIR(3150, 1320)", "*PrintableArea: PAIR(3420, 1320)",
       "the printable area does not fit on the page"},
      {"*PrintableArea: PAIR(3150, 3960)", "*PrintableArea: PAIR(3240, 3960)",
       "ends at 3330, past the print head's reach of 3240"},
      {"*CenterPrintable?: FALSE", "*CenterPrintable?: TRUE",
       "ends at 3420, past the print head's reach of 3240"},
      {"*CursorOrigin: PAIR(0, 0)", "", "option PaperSize.CUSTOMSIZE lacks *CursorOrigin"},
      {"<1B>+<B7><1B>C<17>", "<1B>2<1B>C<46>", "A4: the form length is 4200, the page length 4209"},
      {"<1B>+<F8><1B>C<0C>", "<1B>C<0C>",
       "A5: the form length counts lines of a spacing it does not set"},
      {"(PhysPaperLength * 2 + (PhysPaperLength + 254) / 255)", "(PhysPaperLength * 2)",
       "CUSTOMSIZE: the form length for a page"},
      {"*Command: CmdFF", "*Command: CmdFormFeed", "missing command CmdFF"},
      {"*Order: DOC_SETUP.10\r\n", "", "command CmdSelect lacks *Order"},
      {"*Order: DOC_SETUP.10", "*Order: DOC_SETUP.20", "*Order DOC_SETUP.20 is taken by"},
      {"<1B>x<00>", "<1B>x<0G>", "<...> must hold pairs of hexadecimal digits"},
      {"{DestX / 6}", "{DestXX / 6}", "unknown variable DestXX"},
      {"%c[0,255]{max_repeat(DestYRel)}", "%c{max_repeat(DestYRel)}",
       "max_repeat needs a single argument with a range"},
      {"*XMoveUnit: 60\r\n", "", "X move commands need *XMoveUnit"},
  };
  for (const auto& [find, replace, expected] : mistakes) {
    std::string text = gpd;
    const size_t at = text.find(find);
    ASSERT_NE(at, std::string::npos) << "the shipped GPD no longer holds: " << find;
    const std::string problems = DescribeProblems(Check(text.replace(at, find.size(), replace)));
    EXPECT_NE(problems.find(expected), std::string::npos) << expected << ", got:\n" << problems;
  }
}

}  // namespace
