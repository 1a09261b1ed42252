#include "platform/fixed_text.h"

#include <gtest/gtest.h>

#include <string>

#include "fixed_text_support.h"

namespace {

using Text = FixedText<5>;

TEST(FixedTextTest, StartsEmptyAndTakesWholeTextsThatFit) {
  Text text;
  EXPECT_EQ(text.size(), 0u);
  EXPECT_EQ(text, u"");
  EXPECT_TRUE(text.Assign(u"D7A5"));
  EXPECT_EQ(text, u"D7A5");
  EXPECT_EQ(text.size(), 4u);
  EXPECT_TRUE(text.Assign(u"1"));
  EXPECT_EQ(text, u"1") << "a shorter text replaces a longer one";
  EXPECT_EQ(text.size(), 1u);
  EXPECT_TRUE(text.Assign(u""));
  EXPECT_EQ(text.size(), 0u);
}

TEST(FixedTextTest, RefusesTextsThatDoNotFitAndKeepsTheOldOne) {
  Text text = TextOf<Text>(u"old");
  EXPECT_FALSE(text.Assign(u"D7A5X"));
  EXPECT_EQ(text, u"old");
  EXPECT_EQ(text.size(), 3u);
  EXPECT_FALSE(text.Assign(std::u16string(300, u'x').c_str()));
  EXPECT_EQ(text, u"old");
  // Five characters fill the capacity; nothing after them is read.
  const WCHAR unterminated[5] = {u'D', u'7', u'A', u'5', u'X'};
  EXPECT_FALSE(text.Assign(unterminated));
  EXPECT_EQ(text, u"old");
  FixedText<200> port;
  EXPECT_TRUE(port.Assign(std::u16string(199, u'p').c_str()));
  EXPECT_FALSE(port.Assign(std::u16string(200, u'q').c_str()));
  EXPECT_EQ(port, std::u16string(199, u'p').c_str());
}

TEST(FixedTextTest, CountedAssignStopsAtTheCountOrTheTerminator) {
  Text text;
  EXPECT_TRUE(text.Assign(u"D7A5&PID_10A1", 4));
  EXPECT_EQ(text, u"D7A5");
  const WCHAR withTerminatorInside[] = {u'1', u'2', 0, u'3', u'4', 0};
  EXPECT_TRUE(text.Assign(withTerminatorInside, 4));
  EXPECT_EQ(text, u"12");
  EXPECT_EQ(text.size(), 2u);
  EXPECT_TRUE(text.Assign(u"AB", 100)) << "the count is a bound, not a length";
  EXPECT_EQ(text, u"AB");
  EXPECT_FALSE(text.Assign(u"D7A5&", 5));
  EXPECT_EQ(text, u"AB");
  EXPECT_TRUE(text.Assign(u"anything", 0));
  EXPECT_EQ(text, u"");
}

TEST(FixedTextTest, EqualityComparesWholeTexts) {
  const Text full = TextOf<Text>(u"D7A5");
  EXPECT_EQ(full, TextOf<Text>(u"D7A5"));
  EXPECT_FALSE(full == TextOf<Text>(u"D7A")) << "a prefix is another text";
  EXPECT_FALSE(TextOf<Text>(u"D7A") == full);
  EXPECT_FALSE(full == TextOf<Text>(u"d7a5")) << "letter case counts";
  EXPECT_FALSE(full == Text());
  EXPECT_TRUE(full != u"D7A");
  EXPECT_TRUE(full != u"D7A5 ");
  EXPECT_FALSE(full != u"D7A5");
}

}  // namespace
