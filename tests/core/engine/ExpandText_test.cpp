#include "core/engine/ExpandText.h"

#include <gtest/gtest.h>

#include <string>

#include "support/NamedLocale.h"

namespace brevanto {
namespace {

// Wednesday 9 December 2026, 15:04:07.
constexpr LocalDateTime kAfternoon{2026, 12, 9, 15, 4, 7};

struct ExpandCase {
  const char* text;
  const char* expanded;
};

class ExpandTextClassic : public ::testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandTextClassic, ExpandsPicturesAndEscapesAndKeepsTheRest) {
  EXPECT_EQ(ExpandText(GetParam().text, kAfternoon, std::locale::classic()), GetParam().expanded);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExpandTextClassic,
    ::testing::Values(
        // Line breaks.
        ExpandCase{"a\\nb", "a\r\nb"}, ExpandCase{"\\n\\n", "\r\n\r\n"},
        ExpandCase{"a\\tb\\", "a\\tb\\"},
        // Date pictures.
        ExpandCase{"${yyyy}-${MM}-${dd}", "2026-12-09"},
        ExpandCase{"${d}.${M}.${y} ${yy}", "9.12.26 26"}, ExpandCase{"${yyyyMMdd}", "20261209"},
        ExpandCase{"${ddd}, ${dddd} ${MMM} ${MMMM}", "Wed, Wednesday Dec December"},
        ExpandCase{"${yyyygg}", "2026A.D."},
        // Time pictures.
        ExpandCase{"${HH}:${mm}:${ss}", "15:04:07"}, ExpandCase{"${H}:${m}:${s}", "15:4:7"},
        ExpandCase{"${h} ${hhtt} ${ht}", "3 03PM 3P"},
        // Letters of the other kind inside a picture stay as written.
        ExpandCase{"${ddHH}", "09HH"}, ExpandCase{"${HHdd}", "15dd"},
        // Literal fall-backs: no closing brace right after the letters, no
        // letters, a first letter that starts no picture, the end of the text.
        ExpandCase{"${yyyy/MM}", "${yyyy/MM}"}, ExpandCase{"${x}", "${x}"},
        ExpandCase{"${gg}", "${gg}"}, ExpandCase{"${tt}", "${tt}"}, ExpandCase{"${}", "${}"},
        ExpandCase{"${yyyy", "${yyyy"}, ExpandCase{"$", "$"}, ExpandCase{"${", "${"},
        ExpandCase{"$${dd}", "$09"}, ExpandCase{"${${dd}}", "${09}"},
        // A picture whose result would not fit 63 characters.
        ExpandCase{"${dxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx}",
                   "${dxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx}"},
        // The user's text is never a format.
        ExpandCase{"%s%n%d ${dd}", "%s%n%d 09"}, ExpandCase{"", ""}));

TEST(ExpandText, TwelveHourClockAroundMidnightAndNoon) {
  struct Case {
    int hour;
    const char* expanded;
  };
  const Case cases[] = {
      {0, "12 12AM 00"}, {11, "11 11AM 11"}, {12, "12 12PM 12"}, {23, "11 11PM 23"}};
  for (const Case& c : cases) {
    const LocalDateTime time{2026, 1, 1, c.hour, 0, 0};
    EXPECT_EQ(ExpandText("${h} ${htt} ${HH}", time, std::locale::classic()), c.expanded)
        << "hour " << c.hour;
  }
}

TEST(ExpandText, YearsKeepTheirDigits) {
  const LocalDateTime early{2005, 3, 1, 0, 0, 0};
  EXPECT_EQ(ExpandText("${y} ${yy} ${yyyy} ${yyyyy}", early, std::locale::classic()),
            "5 05 2005 2005");
}

TEST(ExpandText, JapaneseLocaleGivesJapaneseNames) {
  const auto japanese = testing::NamedLocale("ja_JP.UTF-8");
  if (!japanese) GTEST_SKIP() << "no ja_JP.UTF-8 locale and no localedef to make one";
  EXPECT_EQ(
      ExpandText("${yyyy}年${M}月${d}日(${ddd}) ${dddd} ${MMMM} ${htt}", kAfternoon, *japanese),
      "2026年12月9日(水) 水曜日 12月 3午後");
  // Ideographs are letters, so they belong to the picture and stay in it.
  EXPECT_EQ(ExpandText("${yyyy年M月d日} ${H時mm分}", kAfternoon, *japanese),
            "2026年12月9日 15時04分");
}

TEST(ExpandText, MonthNameIsGenitiveOnlyNextToADayNumber) {
  const auto russian = testing::NamedLocale("ru_RU.UTF-8");
  if (!russian) GTEST_SKIP() << "no ru_RU.UTF-8 locale and no localedef to make one";
  EXPECT_EQ(ExpandText("${dMMMM}", kAfternoon, *russian), "9декабря");
  EXPECT_EQ(ExpandText("${MMMM}", kAfternoon, *russian), "Декабрь");
  EXPECT_EQ(ExpandText("${ddddMMMM}", kAfternoon, *russian), "СредаДекабрь");
}

}  // namespace
}  // namespace brevanto
