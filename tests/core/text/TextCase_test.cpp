#include "core/text/TextCase.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(UpperCase, FollowsUnicodeRulesAndKeepsBrokenBytes) {
  struct Case {
    const char* text;
    const char* upper;
  };
  const Case cases[] = {
      {"notepad.exe", "NOTEPAD.EXE"},
      {"/home/jörg/Ärger", "/HOME/JÖRG/ÄRGER"},
      {"привет", "ПРИВЕТ"},
      {"ελλάδα", "ΕΛΛΆΔΑ"},
      {"ｇａｍｅ", "ＧＡＭＥ"},
      {"プロファイル", "プロファイル"},
      {"a\xFF"
       "b\xE3\x83",
       "A\xFF"
       "B\xE3\x83"},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UpperCase(c.text), c.upper) << c.text;
  }
}

}  // namespace
}  // namespace brevanto
