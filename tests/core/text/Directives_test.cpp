#include "core/text/Directives.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>
#include <string>

#include "support/DecimalCommaLocale.h"

namespace brevanto {
namespace {

TEST(ScanDirectives, StopsAtTheFirstMismatchAndLeavesLaterTargetsAlone) {
  struct Case {
    const char* text;
    int stored;
    int32_t a, b, c;
  };
  const Case cases[] = {
      {"1, 2, 3", 3, 1, 2, 3},
      {"1,2,3", 3, 1, 2, 3},  // a blank in the format also matches none
      {"  -1,\t+2,   3x", 3, -1, 2, 3},
      {"1 , 2", 1, 1, 9, 9},  // no blank before the comma in the format
      {"1, x, 3", 1, 1, 9, 9},
      {"1; 2, 3", 1, 1, 9, 9},  // other characters must match themselves
      {"1, 2", 2, 1, 2, 9},     // the text ends early
      {"", 0, 9, 9, 9},
      {"99999999999, -99999999999, 0", 3, std::numeric_limits<int32_t>::max(),
       std::numeric_limits<int32_t>::min(), 0},
  };
  for (const Case& c : cases) {
    int32_t a = 9, b = 9, d = 9;
    EXPECT_EQ(ScanDirectives(c.text, "%d, %d, %d", {&a, &b, &d}), c.stored) << c.text;
    EXPECT_EQ(a, c.a) << c.text;
    EXPECT_EQ(b, c.b) << c.text;
    EXPECT_EQ(d, c.c) << c.text;
  }
}

TEST(ScanDirectives, HexReadsAsCDoesAndStopsAtTheFirstNonHexCharacter) {
  struct Case {
    const char* text;
    bool read;
    uint32_t value;
  };
  const Case cases[] = {
      {"41", true, 0x41},
      {" a2", true, 0xA2},
      {"A2zz", true, 0xA2},
      {"0x1F", true, 0x1F},
      {"0xg", true, 0},
      {"00, 0.000", true, 0},
      {"2A0041", true, 0x2A0041},
      {"-1", true, 0xFFFFFFFF},
      {"123456789A", true, 0xFFFFFFFF},
      {"", false, 7},
      {"g1", false, 7},
      {":", false, 7},
  };
  for (const Case& c : cases) {
    uint32_t value = 7;
    EXPECT_EQ(ScanDirectives(c.text, "%X", {&value}), c.read ? 1 : 0) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
  uint32_t a = 0, b = 0, c = 0;
  EXPECT_EQ(ScanDirectives("A2:43:0", "%X:%X:%X", {&a, &b, &c}), 3);
  EXPECT_EQ(b, 0x43u);
}

TEST(ScanDirectives, FloatsUseADecimalPointAndStayFinite) {
  struct Case {
    const char* text;
    bool read;
    float value;
  };
  const Case cases[] = {
      {"1.5", true, 1.5f},  {" -2", true, -2.0f},     {"1e3", true, 1000.0f},
      {".25", true, 0.25f}, {"5.", true, 5.0f},       {"1,5", true, 1.0f},
      {"1e", true, 1.0f},   {"1e999", true, FLT_MAX}, {"-1e999", true, -FLT_MAX},
      {"inf", false, 7.0f}, {"nan", false, 7.0f},     {"-", false, 7.0f},
      {".", false, 7.0f},
  };
  for (const Case& c : cases) {
    float value = 7.0f;
    EXPECT_EQ(ScanDirectives(c.text, "%f", {&value}), c.read ? 1 : 0) << c.text;
    EXPECT_EQ(value, c.value) << c.text;
  }
}

TEST(ScanDirectives, ATargetOfTheWrongTypeStopsTheScan) {
  float f = 7.0f;
  EXPECT_EQ(ScanDirectives("12", "%d", {&f}), 0);
  EXPECT_EQ(f, 7.0f);
  int32_t i = 7;
  EXPECT_EQ(ScanDirectives("1, 2", "%d, %d", {&i}), 1) << "more directives than targets";
}

TEST(FormatDirectives, WidthsPrecisionsAndHexAsPrintf) {
  struct Case {
    const char* format;
    FormatArg arg;
    const char* text;
  };
  const Case cases[] = {
      {"%4d", int32_t{50}, "  50"},
      {"%4d", int32_t{-100}, "-100"},
      {"%1d", int32_t{-5}, "-5"},
      {"%05d", int32_t{-3}, "-0003"},
      {"%-4d|", int32_t{7}, "7   |"},
      {"%02X", uint32_t{0xA}, "0A"},
      {"%02X", uint32_t{0x2A0041}, "2A0041"},
      {"%X", uint32_t{0xFFFFFFFF}, "FFFFFFFF"},
      {"%.3f", 0.0, "0.000"},
      {"%.3f", -2.0, "-2.000"},
      {"%f", 50.0, "50.000000"},
      {"%3.1f", 1.25, "1.2"},
      {"%3.1f", static_cast<double>(1.35f), "1.4"},
      {"%3.1f", 12.25, "12.2"},
      {"\"%s\"", std::string_view("Game2"), "\"Game2\""},
      {"100%%", int32_t{0}, "100%"},
  };
  for (const Case& c : cases) EXPECT_EQ(FormatDirectives(c.format, {c.arg}), c.text) << c.format;
}

TEST(Directives, FloatsIgnoreTheProcessLocale) {
  testing::DecimalCommaLocale locale;
  if (!locale.active()) GTEST_SKIP() << "no locale with a decimal comma available";
  float value = 0.0f;
  EXPECT_EQ(ScanDirectives("2.5", "%f", {&value}), 1);
  EXPECT_EQ(value, 2.5f);
  EXPECT_EQ(FormatDirectives("%.3f|%f|%3.1f", {2.5, 50.0, 1.25}), "2.500|50.000000|1.2");
}

}  // namespace
}  // namespace brevanto
