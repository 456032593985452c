#include "core/input/XInputConversion.h"

#include <gtest/gtest.h>

#include <map>

namespace brevanto {
namespace {

std::map<int, int32_t> Active(const DeviceInput& input) {
  std::map<int, int32_t> active;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    if (input.values[static_cast<std::size_t>(i)] != 0) {
      active[i] = input.values[static_cast<std::size_t>(i)];
    }
  }
  return active;
}

DeviceInput Convert(const XInputGamepadState& pad, const ReadOptions& options,
                    int analogDeadZone = 0) {
  std::array<int32_t, kAxisCount> lastAnalog{};
  bool displayChanged = false;
  DeviceInput input;
  ConvertXInputState(pad, options, analogDeadZone, lastAnalog, input, displayChanged);
  return input;
}

struct PadCase {
  const char* name;
  XInputGamepadState pad;
  ReadOptions options;
  int analogDeadZone;
  std::map<int, int32_t> expected;
};

void PrintTo(const PadCase& c, std::ostream* os) {
  *os << c.name;
}

class XInputConversionTest : public ::testing::TestWithParam<PadCase> {};

TEST_P(XInputConversionTest, SetsTheVirtualButtons) {
  const PadCase& c = GetParam();
  EXPECT_EQ(Active(Convert(c.pad, c.options, c.analogDeadZone)), c.expected);
}

constexpr ReadOptions kFourWay{200, 200, false, false, false, 128};
constexpr ReadOptions kEightWay{200, 200, false, false, true, 128};
constexpr ReadOptions kDiagonal{200, 200, true, false, false, 128};

XInputGamepadState Triggers(uint8_t left, uint8_t right) {
  XInputGamepadState pad;
  pad.leftTrigger = left;
  pad.rightTrigger = right;
  return pad;
}

XInputGamepadState Thumbs(int16_t lx, int16_t ly, int16_t rx = 0, int16_t ry = 0) {
  XInputGamepadState pad;
  pad.thumbLX = lx;
  pad.thumbLY = ly;
  pad.thumbRX = rx;
  pad.thumbRY = ry;
  return pad;
}

XInputGamepadState Buttons(uint16_t buttons) {
  XInputGamepadState pad;
  pad.buttons = buttons;
  return pad;
}

INSTANTIATE_TEST_SUITE_P(
    Triggers, XInputConversionTest,
    ::testing::Values(
        PadCase{"RightTriggerFullIsAxisFiveNegativeAndButton12",
                Triggers(0, 255),
                kFourWay,
                0,
                {{8, 1000}, {67, 1000}}},
        PadCase{"LeftTriggerFullIsAxisFivePositiveAndButton11",
                Triggers(255, 0),
                kFourWay,
                0,
                {{9, 1000}, {66, 1000}}},
        PadCase{"TriggerAt40IsOnlyAButton", Triggers(0, 40), kFourWay, 0, {{67, 1000}}},
        PadCase{"TriggerAt30IsNothing", Triggers(30, 30), kFourWay, 0, {}},
        PadCase{"TriggerAt55IsStillNoAxis", Triggers(55, 0), kFourWay, 0, {{66, 1000}}},
        PadCase{"TriggerAt56StartsTheAxisAt5", Triggers(0, 56), kFourWay, 0, {{8, 5}, {67, 1000}}},
        PadCase{"BothTriggersSetBothDirections",
                Triggers(100, 200),
                kFourWay,
                0,
                {{8, 725}, {9, 225}, {66, 1000}, {67, 1000}}}));

INSTANTIATE_TEST_SUITE_P(
    Thumbs, XInputConversionTest,
    ::testing::Values(
        PadCase{"LeftStickFullyUpIsStickOneUp", Thumbs(0, 32767), kFourWay, 0, {{2, 1000}}},
        PadCase{"LeftStickFullyDownAtMinusFullScale", Thumbs(0, -32768), kFourWay, 0, {{3, 1000}}},
        PadCase{"LeftStickFullyLeft", Thumbs(-32768, 0), kFourWay, 0, {{0, 1000}}},
        PadCase{"RightStickUsesThreshold2",
                Thumbs(0, 0, 16384, 0),
                ReadOptions{500, 100},
                0,
                {{5, 500}}},
        PadCase{"RightStickUpIsStickTwoUp", Thumbs(0, 0, 0, 32767), kFourWay, 0, {{6, 1000}}},
        PadCase{"DeviceDeadZoneAboveThresholdWins", Thumbs(9830, 0), kFourWay, 3000, {}},
        PadCase{"JustBeyondTheDeadZone", Thumbs(9864, 0), kFourWay, 3000, {{1, 301}}},
        PadCase{"DiagonalModeGivesUpRightOnly", Thumbs(16384, 19660), kDiagonal, 0, {{48, 599}}}));

INSTANTIATE_TEST_SUITE_P(
    Dpad, XInputConversionTest,
    ::testing::Values(
        PadCase{"UpRightFourWaySetsUpAndRight",
                Buttons(xinput::kDpadUp | xinput::kDpadRight),
                kFourWay,
                0,
                {{16, 1000}, {18, 1000}}},
        PadCase{"UpRightEightWaySetsOnlyUpRight",
                Buttons(xinput::kDpadUp | xinput::kDpadRight),
                kEightWay,
                0,
                {{17, 1000}}},
        PadCase{"UpLeftEightWay",
                Buttons(xinput::kDpadUp | xinput::kDpadLeft),
                kEightWay,
                0,
                {{23, 1000}}},
        PadCase{"DownRightEightWay",
                Buttons(xinput::kDpadDown | xinput::kDpadRight),
                kEightWay,
                0,
                {{19, 1000}}},
        PadCase{"DownLeftEightWay",
                Buttons(xinput::kDpadDown | xinput::kDpadLeft),
                kEightWay,
                0,
                {{21, 1000}}},
        PadCase{"DownLeftFourWay",
                Buttons(xinput::kDpadDown | xinput::kDpadLeft),
                kFourWay,
                0,
                {{20, 1000}, {22, 1000}}},
        PadCase{"LeftAloneEightWay", Buttons(xinput::kDpadLeft), kEightWay, 0, {{22, 1000}}},
        PadCase{"UpWithDownEightWayIsUp",
                Buttons(xinput::kDpadUp | xinput::kDpadDown),
                kEightWay,
                0,
                {{16, 1000}}},
        PadCase{"LeftWithRightEightWayIsRight",
                Buttons(xinput::kDpadLeft | xinput::kDpadRight),
                kEightWay,
                0,
                {{18, 1000}}}));

TEST(XInputConversion, EachPadButtonReportsItsPlainButton) {
  const std::map<uint16_t, int> table{
      {xinput::kA, 1},
      {xinput::kB, 2},
      {xinput::kX, 3},
      {xinput::kY, 4},
      {xinput::kLeftShoulder, 5},
      {xinput::kRightShoulder, 6},
      {xinput::kBack, 7},
      {xinput::kStart, 8},
      {xinput::kLeftThumb, 9},
      {xinput::kRightThumb, 10},
      {xinput::kGuide, 13},
  };
  for (const auto& [mask, button] : table) {
    SCOPED_TRACE(button);
    const std::map<int, int32_t> expected{{PlainButton(button), 1000}};
    EXPECT_EQ(Active(Convert(Buttons(mask), kFourWay)), expected);
  }
}

TEST(XInputConversion, ThumbsAreScaledWithUpNegative) {
  const DeviceInput input = Convert(Thumbs(32767, 32767, -32768, -16384), ReadOptions{});
  EXPECT_EQ(input.analog, (std::array<int32_t, kAxisCount>{1000, -1000, -1000, 500, 0, 0, 0, 0}));
}

TEST(XInputConversion, EarlierReadingsDoNotLeakIntoTheNext) {
  std::array<int32_t, kAxisCount> lastAnalog{};
  bool displayChanged = false;
  DeviceInput input;
  ConvertXInputState(Buttons(xinput::kA), kFourWay, 0, lastAnalog, input, displayChanged);
  ConvertXInputState(XInputGamepadState{}, kFourWay, 0, lastAnalog, input, displayChanged);
  EXPECT_TRUE(Active(input).empty());
}

TEST(XInputConversion, LiveDisplayFollowsTheRescaledSticks) {
  std::array<int32_t, kAxisCount> lastAnalog{0, 0, 0, 0, 7, 7, 7, 7};
  bool displayChanged = false;
  DeviceInput input;
  // x = 500 rescaled by the 200 threshold: (500 - 200) / 800 * 500 = 187.
  ConvertXInputState(Thumbs(16384, 0, 0, 32767), kFourWay, 0, lastAnalog, input, displayChanged);
  EXPECT_TRUE(displayChanged);
  EXPECT_EQ(input.analog[0], 187);
  EXPECT_EQ(lastAnalog, (std::array<int32_t, kAxisCount>{9, 0, 0, -50, 7, 7, 7, 7}));

  displayChanged = false;
  ConvertXInputState(Thumbs(16384, 0, 0, 32767), kFourWay, 0, lastAnalog, input, displayChanged);
  EXPECT_FALSE(displayChanged);
}

}  // namespace
}  // namespace brevanto
