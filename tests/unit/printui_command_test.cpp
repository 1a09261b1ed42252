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

}  // namespace
