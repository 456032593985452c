#include "core/settings/SettingByName.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(SettingByName, SetsAnyKeyOfEitherSectionWithoutRegardToCase) {
  GlobalSettings settings;
  EXPECT_EQ(SetGlobalSetting(settings, "turbomode", "3"), SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "AnalogDeadZone", "2500"), SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "IgnoreInputAfterProfileSwitch", "-1"),
            SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "SkipForegroundProcessing", "0"), SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "AccelerationSharpness", "2.50"), SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "DefaultAxisMapping", "0:1:3:4:2:5:6:7"),
            SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "NotifySoundFile", "ding 1.wav"), SetSettingResult::Ok);

  GlobalSettings expected;
  expected.TurboMode = 3;
  expected.AnalogDeadZone = 2500;
  expected.IgnoreInputAfterProfileSwitch = -1;
  expected.SkipForegroundProcessing = false;
  expected.AccelerationSharpness = 2.5;
  expected.DefaultAxisMapping = {0, 1, 3, 4, 2, 5, 6, 7};
  expected.NotifySoundFile = "ding 1.wav";
  EXPECT_EQ(settings, expected);
}

TEST(SettingByName, AnyNonZeroNumberSwitchesOn) {
  GlobalSettings settings;
  ASSERT_EQ(SetGlobalSetting(settings, "HighlightButtons", "0"), SetSettingResult::Ok);
  EXPECT_EQ(SetGlobalSetting(settings, "HighlightButtons", "2"), SetSettingResult::Ok);
  EXPECT_TRUE(settings.HighlightButtons);
}

TEST(SettingByName, UnknownKeysAndValuesTheReaderRefusesChangeNothing) {
  struct Case {
    const char* key;
    const char* value;
    SetSettingResult result;
  };
  for (const Case& c : {Case{"TurboSpeed", "1", SetSettingResult::UnknownKey},
                        Case{"", "1", SetSettingResult::UnknownKey},
                        Case{"TurboMode", "5", SetSettingResult::Rejected},
                        Case{"TurboMode", "fast", SetSettingResult::Rejected},
                        Case{"TurboMode", "1.5", SetSettingResult::Rejected},
                        Case{"AccelerationSharpness", "1", SetSettingResult::Rejected},
                        Case{"DefaultAxisMapping", "x", SetSettingResult::Rejected}}) {
    GlobalSettings settings;
    EXPECT_EQ(SetGlobalSetting(settings, c.key, c.value), c.result) << c.key << "=" << c.value;
    EXPECT_EQ(settings, GlobalSettings{}) << c.key << "=" << c.value;
  }
}

}  // namespace
}  // namespace brevanto
