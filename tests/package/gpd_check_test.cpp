// The shipped GPD passes the structural check, and each kind of mistake the check exists for,
// made in a copy of that file, is caught with the right message.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "tools/gpd_check/gpd_check.h"

namespace {

const std::string kSeriesDir = VELMORA_PACKAGE_DIR "/series2";

std::string ReadFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

bool InPackage(const std::string& name) { return std::ifstream(kSeriesDir + "/" + name).good(); }

std::vector<GpdProblem> Check(const std::string& text) { return CheckGpd(text, InPackage); }

class ShippedGpdTest : public ::testing::Test {
 protected:
  const std::string gpd = ReadFile(kSeriesDir + "/VELS2.GPD");
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

struct Mistake {
  const char* what;
  std::string find;
  std::string replace;
  std::string expected;  // part of the message the check must give
};

TEST_F(ShippedGpdTest, CatchesEachKindOfMistake) {
  const Mistake mistakes[] = {
      {"a closing brace too many", "*Feature: InputBin", "}\r\n*Feature: InputBin",
       "'}' has no matching '{'"},
      {"a block left open", "*% Settings that depend", "*Feature: Spare\r\n{\r\n*% Settings",
       "'{' is not closed"},
      {"a brace with no entry", "*Option: LANDSCAPE_CC270\r\n    {",
       "*Option: LANDSCAPE_CC270\r\n    {\r\n    {", "'{' has no entry to open"},
      {"a string left open", "*Name: \"180 x 180 dpi\"", "*Name: \"180 x 180 dpi",
       "string is not closed on its line"},
      {"two entries on one line", "*DPI: PAIR(180, 180)\r\n        *TextDPI",
       "*DPI: PAIR(180, 180) *TextDPI", "an entry must start on its own line"},
      {"a comment before *GPDSpecVersion", "*GPDSpecVersion", "*% VELS2\r\n*GPDSpecVersion",
       "*GPDSpecVersion must come before any comment"},
      {"no master units", "*MasterUnits: PAIR(360, 360)", "", "missing root entry *MasterUnits"},
      {"a root-only entry inside a feature", "*DefaultOption: PORTRAIT",
       "*DefaultOption: PORTRAIT\r\n    *MasterUnits: PAIR(360, 360)",
       "*MasterUnits belongs at the root level"},
      {"an include that is not there", "*Include: \"StdNames.gpd\"",
       "*Include: \"VelmoraFonts.gpd\"", "*Include names VelmoraFonts.gpd, which is not there"},
      {"a macro misspelt", "=RCID_DMPAPER_SYSTEM_NAME", "=RCID_DMPAPER_SYSTEM",
       "macro =RCID_DMPAPER_SYSTEM is not defined"},
      {"a constraint on an option that does not exist", "PaperSize.FORM_241x93)",
       "PaperSize.FORM_241x39)", "unknown option PaperSize.FORM_241x39"},
      {"a quality setting naming an unknown option", "LIST(Resolution.Option360,",
       "LIST(Resolution.Option720,", "unknown option Resolution.Option720"},
      {"a quality entry left out", "*DefaultQuality: BETTERQUALITY", "",
       "image-quality settings need *DefaultQuality too"},
      {"a switch on a feature that does not exist", "*switch: Resolution", "*switch: Resolutoin",
       "*switch: unknown feature Resolutoin"},
      {"a case for an option that does not exist", "*case: Option360", "*case: Option300",
       "*case: unknown option Resolution.Option300"},
      {"a default option that does not exist", "*DefaultOption: TRACTOR",
       "*DefaultOption: TRACKTOR", "*DefaultOption TRACKTOR is not one of its options"},
      {"an option defined twice", "*Option: A5", "*Option: A4",
       "option PaperSize.A4 is defined twice"},
      {"a custom option of a standard-only feature", "*Option: LANDSCAPE_CC270",
       "*Option: LANDSCAPE", "feature Orientation takes only standard options, not LANDSCAPE"},
      {"a custom feature without its type", "*FeatureType: DOC_PROPERTY", "",
       "feature PrintQuality is not a standard feature and needs *FeatureType"},
      {"a resolution without its dpi", "*DPI: PAIR(360, 360)", "",
       "option Resolution.Option360 lacks *DPI"},
      {"a resolution the master units cannot express", "*DPI: PAIR(180, 180)",
       "*DPI: PAIR(170, 180)", "*DPI does not divide the master units"},
      {"interlacing that does not add up", "*PinsPerLogPass: 48", "*PinsPerLogPass: 36",
       "*PinsPerLogPass must be a multiple of *PinsPerPhysPass"},
      {"a paper size without its printable area in one paper path",
       "*PrintableArea: PAIR(2002, 2796)", "", "option PaperSize.A5 lacks *PrintableArea"},
      {"a custom paper size without dimensions", "*PageDimensions: PAIR(3420, 1320)", "",
       "PaperSize.FORM_241x93 is not a standard size and needs *PageDimensions"},
      {"a printable area wider than the paper", "*PrintableArea: PAIR(3150, 1320)",
       "*PrintableArea: PAIR(3420, 1320)", "the printable area does not fit on the page"},
      {"a printable area on the paper but past the print head", "*PrintableArea: PAIR(3150, 3960)",
       "*PrintableArea: PAIR(3240, 3960)", "ends at 3330, past the print head's reach of 3240"},
      {"a custom size centred on paper wider than the head reaches", "*CenterPrintable?: FALSE",
       "*CenterPrintable?: TRUE", "ends at 3420, past the print head's reach of 3240"},
      {"a custom size without its cursor origin", "*CursorOrigin: PAIR(0, 0)", "",
       "option PaperSize.CUSTOMSIZE lacks *CursorOrigin"},
      {"a form length that is not the page length", "<1B>+<B7><1B>C<17>", "<1B>2<1B>C<46>",
       "A4: the form length is 4200, the page length 4209"},
      {"a form length counted in lines of an unknown spacing", "<1B>+<F8><1B>C<0C>", "<1B>C<0C>",
       "A5: the form length counts lines of a spacing it does not set"},
      {"a custom size truncating its line spacing instead of rounding it",
       "(PhysPaperLength * 2 + (PhysPaperLength + 254) / 255)", "(PhysPaperLength * 2)",
       "CUSTOMSIZE: the form length for a page"},
      {"a required command left out", "*Command: CmdFF", "*Command: CmdFormFeed",
       "missing command CmdFF"},
      {"a selection command without its order", "*Order: DOC_SETUP.10\r\n", "",
       "command CmdSelect lacks *Order"},
      {"two features sending at the same point", "*Order: DOC_SETUP.10", "*Order: DOC_SETUP.20",
       "*Order DOC_SETUP.20 is taken by"},
      {"a bad hexadecimal byte", "<1B>x<00>", "<1B>x<0G>",
       "<...> must hold pairs of hexadecimal digits"},
      {"a misspelt standard variable", "{DestX / 6}", "{DestXX / 6}", "unknown variable DestXX"},
      {"a repeated argument without a range", "%c[0,255]{max_repeat(DestYRel)}",
       "%c{max_repeat(DestYRel)}", "max_repeat needs a single argument with a range"},
      {"moves without a move unit", "*XMoveUnit: 60\r\n", "", "X move commands need *XMoveUnit"},
  };
  for (const Mistake& mistake : mistakes) {
    SCOPED_TRACE(mistake.what);
    std::string text = gpd;
    const size_t at = text.find(mistake.find);
    ASSERT_NE(at, std::string::npos) << "the shipped GPD no longer holds: " << mistake.find;
    text.replace(at, mistake.find.size(), mistake.replace);
    const std::vector<GpdProblem> problems = Check(text);
    bool found = false;
    for (const GpdProblem& problem : problems) {
      found = found || problem.message.find(mistake.expected) != std::string::npos;
    }
    EXPECT_TRUE(found) << "expected \"" << mistake.expected << "\", got:\n"
                       << DescribeProblems(problems);
  }
}

}  // namespace
