#include "core/text/NumberText.h"

#include <gtest/gtest.h>

#include "support/DecimalCommaLocale.h"

namespace brevanto {
namespace {

TEST(FloatText, StripsTrailingZerosAndPoint) {
  const std::pair<double, const char*> cases[] = {
      {10.0, "10"}, {2.5, "2.5"},     {0.125, "0.125"}, {0.0001, "0"},
      {-5.0, "-5"}, {100.5, "100.5"}, {0.0, "0"},       {1.2345, "1.234"},
      {1.2355, "1.236"}, {1000.0, "1000"}};
  for (const auto& [value, text] : cases) EXPECT_EQ(FloatText(value), text) << value;
}

TEST(FormatFixed, RoundsAsTheCLibraryAndIgnoresTheLocale) {
  // A locale with a decimal comma must not leak into file formats.
  testing::DecimalCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma available";
  EXPECT_EQ(FormatFixed(1.25, 1), "1.2");  // exact tie rounds to even
  EXPECT_EQ(FormatFixed(1.35, 1), "1.4");  // 1.35 is slightly above in binary
  EXPECT_EQ(FormatFixed(0.5, 3), "0.500");
  EXPECT_EQ(FormatFixed(-2.0, 6), "-2.000000");
  EXPECT_EQ(FormatFixed(2.5, 1, 3), "2.5");
  EXPECT_EQ(FormatFixed(2.5, 1, 5), "  2.5");
}

TEST(ParseIntList, ReadsUpToCountAndStopsAtTheFirstMissingToken) {
  int out[4] = {9, 9, 9, 9};
  EXPECT_EQ(ParseIntList("0:1:2:3", 4, out), 4);
  EXPECT_EQ(out[3], 3);

  int partial[4] = {9, 9, 9, 9};
  EXPECT_EQ(ParseIntList("5: -6:x:7", 4, partial), 2);
  EXPECT_EQ(partial[0], 5);
  EXPECT_EQ(partial[1], -6);
  EXPECT_EQ(partial[2], 9) << "untouched after the stop";

  int shortList[4] = {9, 9, 9, 9};
  EXPECT_EQ(ParseIntList("1:2", 4, shortList), 2);
  EXPECT_EQ(shortList[2], 9);

  int trailing[2] = {0, 0};
  EXPECT_EQ(ParseIntList("12abc:34", 2, trailing), 2) << "%d stops at the first non-digit";
  EXPECT_EQ(trailing[0], 12);

  int huge[1] = {0};
  EXPECT_EQ(ParseIntList("99999999999999999999", 1, huge), 1);
  EXPECT_EQ(huge[0], 2147483647);

  EXPECT_EQ(ParseIntList("", 3, out), 0);
}

TEST(IntListText, JoinsWithColons) {
  const int values[] = {0, 1, -2, 3};
  EXPECT_EQ(IntListText(values, 4), "0:1:-2:3");
  EXPECT_EQ(IntListText(values, 1), "0");
  EXPECT_EQ(IntListText(values, 0), "");
}

}  // namespace
}  // namespace brevanto
