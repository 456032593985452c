#include "platform/fake/ScriptedDeviceSource.h"

#include <gtest/gtest.h>

#include <set>

namespace brevanto {
namespace {

std::set<int> Active(const DeviceInput& input) {
  std::set<int> active;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    if (input.values[static_cast<std::size_t>(i)] != 0) active.insert(i);
  }
  return active;
}

constexpr std::array<int, kAxisCount> kIdentity{0, 1, 2, 3, 4, 5, 6, 7};

class ScriptedDeviceSourceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ReplayParseResult parsed = ParseReplayScript(
        "device 1 xinput\n"
        "2 1 rt 255\n"
        "4 1 rt 0\n"
        "3 1 up 1\n"
        "3 1 right 1\n"
        "3 1 ly 32767\n"
        "1 2 pov1 4500\n"
        "5 2 pov1 -1\n"
        "2 2 b5 1\n"
        "2 2 ry 500\n"
        "end 6\n");
    ASSERT_TRUE(parsed.script.has_value()) << parsed.error;
    source_.emplace(*parsed.script);
    options_.usePov8Way = true;
    options_.threshold = 200;
  }

  // Both slots' virtual buttons at a tick, through the real conversions.
  std::pair<std::set<int>, std::set<int>> At(int32_t tick) {
    source_->AdvanceTo(tick);
    XInputGamepadState pad;
    DirectInputState joystick;
    EXPECT_TRUE(source_->ReadXInput(0, pad));
    EXPECT_TRUE(source_->ReadDirectInput(1, joystick));
    std::array<int32_t, kAxisCount> lastAnalog{};
    bool changed = false;
    DeviceInput padInput;
    DeviceInput joystickInput;
    ConvertXInputState(pad, options_, 0, lastAnalog, padInput, changed);
    ReadOptions fourWay = options_;
    fourWay.usePov8Way = false;
    ConvertDirectInputState(joystick, kIdentity, fourWay, 0, lastAnalog, joystickInput, changed);
    return {Active(padInput), Active(joystickInput)};
  }

  std::optional<ScriptedDeviceSource> source_;
  ReadOptions options_;
};

TEST_F(ScriptedDeviceSourceTest, ControlsHoldTheirValueFromTheirTickOn) {
  using Slots = std::pair<std::set<int>, std::set<int>>;
  EXPECT_EQ(At(1), (Slots{{}, {16, 18}}));
  // Slot 2's RY is physical axis 5: logical axis 5 positive with the identity mapping.
  EXPECT_EQ(At(2), (Slots{{8, 67}, {9, 16, 18, 60}}));
  EXPECT_EQ(At(3), (Slots{{2, 8, 17, 67}, {9, 16, 18, 60}}));
  EXPECT_EQ(At(4), (Slots{{2, 17}, {9, 16, 18, 60}}));
  EXPECT_EQ(At(5), (Slots{{2, 17}, {9, 60}}));
  EXPECT_EQ(At(6), (Slots{{2, 17}, {9, 60}}));
}

TEST_F(ScriptedDeviceSourceTest, GoingBackStartsOver) {
  At(5);
  EXPECT_EQ(At(1), (std::pair<std::set<int>, std::set<int>>{{}, {16, 18}}));
  source_->AdvanceTo(0);
  XInputGamepadState pad;
  ASSERT_TRUE(source_->ReadXInput(0, pad));
  EXPECT_EQ(pad.buttons, 0);
  EXPECT_EQ(pad.rightTrigger, 0);
}

TEST_F(ScriptedDeviceSourceTest, OnlyTheScriptsDevicesCanBeRead) {
  XInputGamepadState pad;
  DirectInputState joystick;
  EXPECT_FALSE(source_->ReadDirectInput(0, joystick));  // slot 1 is a pad
  EXPECT_FALSE(source_->ReadXInput(1, pad));            // slot 2 is a joystick
  EXPECT_FALSE(source_->ReadDirectInput(2, joystick));  // slot 3 is not in the script
  EXPECT_FALSE(source_->ReadDirectInput(-1, joystick));
  EXPECT_FALSE(source_->ReadXInput(kMaxJoysticks, pad));
  EXPECT_FALSE(source_->Uses(2));
}

}  // namespace
}  // namespace brevanto
