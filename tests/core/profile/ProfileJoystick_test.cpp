#include "core/profile/ProfileJoystick.h"

#include <gtest/gtest.h>

#include "core/engine/AssignmentLine.h"

namespace brevanto {
namespace {

TEST(ProfileJoystick, StampsEveryRecordWithTheSlotAndItsIndex) {
  const ProfileJoystick joystick(7);
  EXPECT_EQ(joystick.Slot(), 7);
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    EXPECT_EQ(joystick.Button(i).joystickIndex, 7);
    EXPECT_EQ(joystick.Button(i).buttonIndex, i);
    EXPECT_FALSE(joystick.Button(i).IsAssigned());
  }
}

TEST(ProfileJoystick, CopyButtonsTakesTheAssignmentsOnly) {
  ProfileJoystick source(0);
  source.DefaultDisplayName = "Source pad";
  source.DefaultTemplateId = "xbox";
  ReadLine(source.Button(0), "1, 25:00:00:00, 0.000, 0, 0", 70);
  ReadLine(source.Button(183), "10, ##last", 70);
  source.Button(0).keysHeld = true;

  ProfileJoystick target(3);
  target.DefaultDisplayName = "Target pad";
  ReadLine(target.Button(5), "5, 1, 0", 70);
  target.CopyButtons(source);

  EXPECT_EQ(WriteLine(target.Button(0)), "1, 25:00:00:00, 0.000, 0, 0");
  EXPECT_EQ(target.Button(0).scanCodes[0][0], 0x14B);
  EXPECT_FALSE(target.Button(0).keysHeld);
  EXPECT_EQ(target.Button(183).pasteText, "last");
  EXPECT_FALSE(target.Button(5).IsAssigned()) << "a record the source leaves empty is emptied";
  EXPECT_EQ(target.Button(183).joystickIndex, 3);
  EXPECT_EQ(target.Button(183).buttonIndex, 183);
  EXPECT_EQ(target.DefaultDisplayName, "Target pad");
  EXPECT_EQ(target.DefaultTemplateId, "");
}

}  // namespace
}  // namespace brevanto
