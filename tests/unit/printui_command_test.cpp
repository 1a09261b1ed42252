#include "install/printui_command.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "install/package_integrity.h"

namespace {

// Every argument stands between quotes: one that holds a quotation mark or ends in a backslash
// would change the command, and is refused wherever it stands, printer name and INF path alike.
TEST(FormatCommandTest, ReplacesEachPlaceholderVerbatimOrRefusesTheWholeCommand) {
  WCHAR buffer[kCommandWidth] = {};
  EXPECT_EQ(FormatCommand(buffer, u"a \"%s\" b \"%s\" %%x", u"one", u"C:\\t wo\\x.inf"), 1);
  EXPECT_EQ(std::u16string(buffer), u"a \"one\" b \"C:\\t wo\\x.inf\" %%x");
  for (const char16_t* broken : {u"t\"wo", u"\"", u"C:\\dir\\"}) {
    EXPECT_EQ(FormatCommand(buffer, u"\"%s\" \"%s\"", u"one", broken), 0);
    EXPECT_EQ(FormatCommand(buffer, u"\"%s\" \"%s\"", broken, u"one"), 0);
    EXPECT_EQ(buffer[0], 0);
  }
  const std::u16string longest(kCommandWidth - 3, u'x');
  EXPECT_EQ(FormatCommand(buffer, u"<%s>", longest.c_str()), 1);
  EXPECT_EQ(std::u16string(buffer), u"<" + longest + u">");
  EXPECT_EQ(FormatCommand(buffer, u"<%s>!", longest.c_str()), 0) << "one character too many";
  EXPECT_EQ(buffer[0], 0);
  EXPECT_EQ(FormatCommand(buffer, u"%s %s", u"one"), 0);
  EXPECT_EQ(FormatCommand(buffer, u"%s", u"one", u"two"), 0);
}

// A changed file whose digest matches in its first bytes is cheap to find: every byte counts.
TEST(DigestsEqualTest, ComparesEveryByte) {
  BYTE a[kSha256Bytes] = {};
  BYTE b[kSha256Bytes] = {};
  for (std::size_t i = 0; i < kSha256Bytes; ++i) a[i] = b[i] = static_cast<BYTE>(i * 7);
  EXPECT_TRUE(DigestsEqual(a, b));
  for (const std::size_t i : {std::size_t{0}, kSha256Bytes - 1}) {
    b[i] ^= 1;
    EXPECT_FALSE(DigestsEqual(a, b)) << i;
    b[i] ^= 1;
  }
}

TEST(LaunchErrorTextTest, NamesEachReasonAsTheShellDoes) {
  const std::pair<DWORD, std::u16string> cases[] = {
      {2, u"The specified file was not found."},
      {3, u"The specified path was not found."},
      {5, u"Access to the specified file is denied."},
      {8, u"There is not enough memory to perform the specified action."},
      {32, u"A sharing violation occurred."},
      {1155, u"There is no application associated with the given file name extension."},
      {1156, u"The Dynamic Data Exchange (DDE) transaction failed."},
      {1157, u"One of the library files necessary to run the application can't be found."},
      {1223,
       u"The function prompted the user for additional information, but the user canceled the "
       u"request."},
      {6, u"Other error occurred."},
      {206, u"Other error occurred."},
  };
  for (const auto& [code, text] : cases) EXPECT_EQ(LaunchErrorText(code), text) << code;
}

}  // namespace
