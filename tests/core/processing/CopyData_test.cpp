#include "core/processing/CopyData.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(CopyData, TextEndsAtTheFirstZeroAndIsReadAsAnsi) {
  struct Case {
    std::string payload;
    std::string text;
  };
  const Case cases[] = {
      {std::string("Race\0", 5), "Race"},
      {"Race", "Race"},  // no terminator: every byte
      {std::string("Race\0Rally\0", 11), "Race"},
      {std::string("\0", 1), ""},
      {"", ""},
      {std::string("\x83\x8C\x81\x5B\x83\x58\0", 7), "レース"},  // CP932
      {std::string("レース\0", 10), "レース"},
  };
  for (const Case& c : cases) EXPECT_EQ(CopyDataText(c.payload), c.text);
}

}  // namespace
}  // namespace brevanto
