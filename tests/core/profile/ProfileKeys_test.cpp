#include "core/profile/ProfileKeys.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(ProfileKeys, EveryVirtualButtonHasItsKey) {
  const std::pair<int, const char*> cases[] = {
      {0, "Axis1n"},     {1, "Axis1p"},     {6, "Axis4n"},    {15, "Axis8p"},    {16, "POV1-1"},
      {20, "POV1-5"},    {23, "POV1-8"},    {24, "POV2-1"},   {47, "POV4-8"},    {48, "Up-Right"},
      {49, "Up- Left"},  {50, "Dn- Left"},  {51, "Dn-Right"}, {52, "Up-Right2"}, {53, "Up- Left2"},
      {54, "Dn- Left2"}, {55, "Dn-Right2"}, {56, "Button01"}, {65, "Button10"},  {183, "Button128"},
      {-1, ""},          {184, ""},
  };
  for (const auto& [button, key] : cases) EXPECT_EQ(AssignmentKey(button), key) << button;
}

TEST(ProfileKeys, AliasKeysCoverTheFirstHatAndThePlainButtons) {
  const std::pair<int, const char*> cases[] = {
      {16, "Input17"}, {23, "Input24"}, {56, "Button01"}, {183, "Button128"},
      {15, ""},        {24, ""},        {48, ""},         {184, ""},
  };
  for (const auto& [entry, key] : cases) EXPECT_EQ(AliasKey(entry), key) << entry;
}

TEST(ProfileKeys, JoystickSectionsCountFromOne) {
  EXPECT_EQ(JoystickSectionName(0), "Joystick 1");
  EXPECT_EQ(JoystickSectionName(49), "Joystick 50");
}

}  // namespace
}  // namespace brevanto
