#include "platform/fixed_text.h"

#include "fixed_text_support.h"

namespace {

using Text = FixedText<5>;

TEST(FixedTextTest, TakesWholeTextsThatFitAndKeepsTheOldOneOtherwise) {
  Text text;
  EXPECT_EQ(text, u"");
  EXPECT_TRUE(text.Assign(u"D7A5"));
  EXPECT_EQ(text.size(), 4u);
  EXPECT_FALSE(text.Assign(u"D7A5X"));
  const WCHAR unterminated[5] = {u'1', u'2', u'3', u'4', u'5'};  // nothing after them is read
  EXPECT_FALSE(text.Assign(unterminated));
  EXPECT_EQ(text, u"D7A5");
  // A count bounds the text; a terminator within it ends the text sooner.
  EXPECT_TRUE(text.Assign(u"10A1&PID", 4));
  EXPECT_EQ(text, u"10A1");
  EXPECT_TRUE(
      text.Assign(u"12\0"
                  u"34",
                  4));
  EXPECT_EQ(text.size(), 2u);
}

TEST(FixedTextTest, EqualityComparesWholeTexts) {
  const Text full = TextOf<Text>(u"D7A5");
  EXPECT_TRUE(full == TextOf<Text>(u"D7A5"));
  EXPECT_FALSE(full == TextOf<Text>(u"D7A")) << "a prefix is another text";
  EXPECT_FALSE(full == u"d7a5") << "letter case counts";
  EXPECT_TRUE(full != u"D7A");
  EXPECT_TRUE(full != u"D7A5 ");
  EXPECT_FALSE(full != u"D7A5");
}

}  // namespace
