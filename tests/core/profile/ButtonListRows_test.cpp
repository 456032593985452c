#include "core/profile/ButtonListRows.h"

#include <gtest/gtest.h>

#include "core/profile/ConfigFile.h"

namespace brevanto {
namespace {

ProfileOptions Options(int displayMode, bool diagonal1, bool diagonal2, bool pov8, int buttons) {
  ProfileOptions o;
  o.DisplayMode = displayMode;
  o.UseDiagonalInput = diagonal1;
  o.UseDiagonalInput2 = diagonal2;
  o.UsePOV8Way = pov8;
  o.NumberOfButtons = buttons;
  return o;
}

TEST(ButtonListRows, OneStickWithoutButtonsGivesFourRows) {
  EXPECT_EQ(ButtonListRows(Options(0, false, true, true, 0)), (std::vector<int>{0, 1, 2, 3}));
}

TEST(ButtonListRows, EverythingShownGives56RowsBeforeTheButtons) {
  const std::vector<int> rows = ButtonListRows(Options(3, true, true, true, 2));
  ASSERT_EQ(rows.size(), 58u);
  const std::vector<int> head(rows.begin(), rows.begin() + 12);
  EXPECT_EQ(head, (std::vector<int>{0, 1, 2, 3, 48, 49, 50, 51, 4, 5, 6, 7}));
  EXPECT_EQ(rows[12], 52);
  EXPECT_EQ(rows[16], 8);
  EXPECT_EQ(rows[24], 16);
  EXPECT_EQ(rows[55], 47);
  EXPECT_EQ(rows[56], 56);
  EXPECT_EQ(rows[57], 57);
}

TEST(ButtonListRows, FourWayPovsShowEveryOtherDirection) {
  const std::vector<int> rows = ButtonListRows(Options(3, false, false, false, 0));
  const std::vector<int> expected{0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                  16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38, 40, 42, 44, 46};
  EXPECT_EQ(rows, expected);
}

TEST(ButtonListRows, DisplayModesOneAndTwo) {
  EXPECT_EQ(ButtonListRows(Options(1, false, true, false, 1)),
            (std::vector<int>{0, 1, 2, 3, 16, 18, 20, 22, 56}));
  EXPECT_EQ(ButtonListRows(Options(2, false, true, false, 0)),
            (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 52, 53, 54, 55, 16, 18, 20, 22}));
}

TEST(ButtonListRows, ButtonCountIsClampedToTheTable) {
  EXPECT_EQ(ButtonListRows(Options(0, false, false, false, 500)).size(), 4u + 128u);
  EXPECT_EQ(ButtonListRows(Options(0, false, false, false, -3)).size(), 4u);
}

}  // namespace
}  // namespace brevanto
