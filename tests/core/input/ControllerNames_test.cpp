#include "core/input/ControllerNames.h"

#include <gtest/gtest.h>

#include <string>

#include "support/LogCapture.h"

namespace brevanto {
namespace {

struct NameCase {
  const char* label;
  uint32_t productId;
  const char* productName;
  const char* name;
  int deviceType;
};

class NameForTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(NameForTest, GivesTheDefaultNameAndDeviceType) {
  const NameCase& c = GetParam();
  const ControllerName result = NameFor(static_cast<int32_t>(c.productId), "Maker", c.productName);
  EXPECT_EQ(result.name, c.name);
  EXPECT_EQ(result.deviceType, c.deviceType);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NameForTest,
    ::testing::Values(
        NameCase{"TableNameWinsOverTheProductName", 0x045E028E, "Controller (XBOX 360 For Windows)",
                 "Xbox 360 Controller", 31},
        NameCase{"WrapperIsRemovedForUnknownProducts", 0x12345678,
                 "Controller (XBOX 360 For Windows)", "XBOX 360 For Windows", 0},
        NameCase{"ProductNameIsTrimmed", 0x12345678, " \tArcade Stick \r\n", "Arcade Stick", 0},
        NameCase{"UnnamedTableRowKeepsTheProductName", 0x054C0268, "Sony PLAYSTATION(R)3",
                 "Sony PLAYSTATION(R)3", 33},
        NameCase{"FamilyNameWithoutAProductName", 0x054C0268, "", "PS3 Controller", 33},
        NameCase{"FamilyNameOfAnUnnamedPs4Row", 0x054C05C4, "  ", "PS4 Controller", 34},
        NameCase{"IdsWithoutTableRowOrProductName", 0x1234ABCD, "", "Controller (1234-ABCD)", 0},
        NameCase{"IdsOfAnUnnamedRowOfAnotherFamily", 0x0F0D0092, "", "Controller (0F0D-0092)", 42},
        NameCase{"AnEmptyWrapperCountsAsNoProductName", 0x1234ABCD, "Controller ()",
                 "Controller (1234-ABCD)", 0},
        NameCase{"FirstOfTwoRowsForOneProductCounts", 0x0E6F02A1, "", "PDP Xbox One Verdant Green",
                 32},
        NameCase{"UnknownIdsAreNotTakenForAnXboxPad", 0x00000000, "Virtual Stick", "Virtual Stick",
                 0}),
    [](const ::testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

TEST(ControllerListTest, HoldsTheRowsThatNameFamiliesAndTemplates) {
  struct Row {
    uint32_t productId;
    int deviceType;
    const char* name;
  };
  const Row rows[] = {
      {0x045E028E, 31, "Xbox 360 Controller"},
      {0x045E02A1, 31, "Xbox 360 Wireless Controller"},
      {0x045E02FF, 32, "Xbox One Controller"},
      {0x045E0B12, 32, "Xbox Series X Controller"},
      {0x054C0268, 33, nullptr},
      {0x057E2009, 38, "Nintendo Switch Pro Controller"},
      {0x057E2006, 39, "Nintendo Switch Joy-Con (Left)"},
      {0x057E2008, 41, "Nintendo Switch Joy-Con (Combined)"},
      {0x28DE11FF, 30, "Steam Virtual Gamepad"},
  };
  for (const Row& row : rows) {
    const ControllerListEntry* entry = FindController(static_cast<int32_t>(row.productId));
    ASSERT_NE(entry, nullptr) << std::hex << row.productId;
    EXPECT_EQ(entry->deviceType, row.deviceType) << std::hex << row.productId;
    EXPECT_STREQ(entry->name, row.name) << std::hex << row.productId;
  }
  EXPECT_EQ(ControllerList().size(), 533u) << "every row of data/controller_list.csv";
}

TEST(ControllerListTest, ATableHitIsLoggedAtDebug) {
  testing::LogCapture log(true);
  NameFor(0x045E028E, "", "");
  NameFor(0x1234ABCD, "", "");
  EXPECT_TRUE(log.HasMessage("Found the controller template for 045E028E"));
  EXPECT_FALSE(log.Contains("1234ABCD"));
}

}  // namespace
}  // namespace brevanto
