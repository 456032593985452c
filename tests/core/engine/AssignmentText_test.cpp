#include "core/engine/AssignmentText.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "core/device/DeviceConfig.h"
#include "core/device/DeviceTemplate.h"
#include "core/profile/ProfileJoystick.h"

namespace brevanto {
namespace {

struct TextCase {
  const char* name;
  std::function<void(ButtonAssignment&)> fill;
  const char* assignment;
  const char* repeat;
};

void PrintTo(const TextCase& c, std::ostream* os) {
  *os << c.name;
}

class AssignmentTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(AssignmentTextTest, DescribesTheRecord) {
  ButtonAssignment record;
  GetParam().fill(record);
  EXPECT_EQ(AssignmentText(record), GetParam().assignment);
  EXPECT_EQ(RepeatText(record), GetParam().repeat);
}

using K = AssignmentKind;
using M = MultiMode;

void Inputs(ButtonAssignment& r) {
  r.keys[0] = {0x41, 0, 0, 0};
  r.keys[1] = {0xA0, 0x42, 0, 0};
  r.keys[2] = {0x201, 0, 0, 0};
  r.keys[3] = {0x40A, 0, 0, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, AssignmentTextTest,
    ::testing::Values(
        TextCase{"None", [](auto&) {}, "None", "---"},
        TextCase{"KeysStopAtFirstEmptyCode",
                 [](auto& r) {
                   r.kind = K::Keys;
                   r.keys[0] = {0xA2, 0x43, 0, 0x44};
                 },
                 "L-Ctrl, C", "---"},
        TextCase{"KeysWithoutCodes", [](auto& r) { r.kind = K::Keys; }, "None", "---"},
        TextCase{"RepeatPerSecond",
                 [](auto& r) {
                   r.kind = K::Keys;
                   r.keys[0] = {0x20, 0, 0, 0};
                   r.repeatRate = 10.0f;
                 },
                 "Space", "1/10"},
        TextCase{"RepeatFraction", [](auto& r) { r.repeatRate = 2.5f; }, "None", "1/2.5"},
        TextCase{"RepeatSeconds", [](auto& r) { r.repeatRate = -5.0f; }, "None", "5秒"},
        TextCase{"MouseUpLeftWithClickAndAcceleration",
                 [](auto& r) {
                   r.kind = K::Mouse;
                   r.VMove = -30;
                   r.HMove = -30;
                   r.clickLeft = 1;
                   r.accelerationFactor = 2.5f;
                 },
                 "Mouse: ↑(30) ←(30) x2左Click ", "---"},
        TextCase{"MouseAccelerationPastTheIntegerRange",
                 [](auto& r) {
                   r.kind = K::Mouse;
                   r.accelerationFactor = 1e30f;
                 },
                 "Mouse: x2147483647", "---"},
        TextCase{"MouseAccelerationInfinite",
                 [](auto& r) {
                   r.kind = K::Mouse;
                   r.accelerationFactor = std::numeric_limits<float>::infinity();
                 },
                 "Mouse: x2147483647", "---"},
        TextCase{"MouseAccelerationJustBelowTwoToThe31",
                 [](auto& r) {
                   r.kind = K::Mouse;
                   r.accelerationFactor = 2147483520.0f;
                 },
                 "Mouse: x2147483520", "---"},
        TextCase{"MouseWheelOnly",
                 [](auto& r) {
                   r.kind = K::Mouse;
                   r.wheelV = 5;
                 },
                 "Mouse: Wheel(-5) ", "---"},
        TextCase{"MouseEverything",
                 [](auto& r) {
                   r.kind = K::Mouse;
                   r.VMove = 7;
                   r.HMove = 8;
                   r.clickMiddle = r.clickRight = r.clickX1 = r.clickX2 = 1;
                   r.wheelH = -3;
                   r.analogFactor = 50;
                 },
                 "Mouse: ↓(7) →(8) 中Click 右Click Click4 Click5 HWheel(-3) 速度調整(50%)", "---"},
        TextCase{"JoystickSwitch",
                 [](auto& r) {
                   r.kind = K::JoystickSwitch;
                   r.targetJoystick = 1;
                 },
                 "Joystick #2 の設定を使用", "---"},
        TextCase{"ProfileSwitch",
                 [](auto& r) {
                   r.kind = K::ProfileSwitch;
                   r.targetName = "Race";
                 },
                 "設定ファイル \"Race\" へ切り替える", "---"},
        TextCase{"MultiSwitch2",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::MultiSwitch2;
                   Inputs(r);
                 },
                 "A / L-Shift, B", "---"},
        TextCase{"MultiSwitch3",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::MultiSwitch3;
                   Inputs(r);
                 },
                 "A / L-Shift, B / 左クリック", "---"},
        TextCase{"MultiSwitch4",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::MultiSwitch4;
                   Inputs(r);
                 },
                 "A / L-Shift, B / 左クリック / Mouse:↑(10)", "---"},
        TextCase{"DelayedSwitch",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::DelayedSwitch;
                   Inputs(r);
                 },
                 "短押し=A, 長押し=L-Shift, B, 離す=左クリック", "---"},
        TextCase{"AnalogSwitch",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::AnalogSwitch;
                   Inputs(r);
                 },
                 "A >> L-Shift, B >> 左クリック", "---"},
        TextCase{"ReleaseSwitch",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::ReleaseSwitch;
                   Inputs(r);
                 },
                 "離される=A, 押される=L-Shift, B", "---"},
        TextCase{"RepeatSwitch",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::RepeatSwitch;
                   Inputs(r);
                 },
                 "A | L-Shift, B | 左クリック | Mouse:↑(10)", "---"},
        TextCase{"MultiSequence",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   r.multiMode = M::MultiSequence;
                   Inputs(r);
                 },
                 "A -> L-Shift, B -> 左クリック -> Mouse:↑(10)", "---"},
        TextCase{"MultiInputWithoutMode",
                 [](auto& r) {
                   r.kind = K::MultiInput;
                   Inputs(r);
                 },
                 "None", "---"},
        TextCase{"MouseAbsoluteJump",
                 [](auto& r) {
                   r.kind = K::MouseAbsolute;
                   r.clickLeft = 1;
                 },
                 "左Click @ (50,50)", "---"},
        TextCase{"MouseAbsoluteRange",
                 [](auto& r) {
                   r.kind = K::MouseAbsolute;
                   r.absRangeX = -20;
                   r.absRangeY = 10;
                   r.absCenterX = 33.5f;
                   r.absCenterY = 12.25f;
                 },
                 "↓(10) ←(20) @ (33.5,12.25)", "---"},
        TextCase{"LaunchProgram",
                 [](auto& r) {
                   r.kind = K::LaunchProgram;
                   r.targetName = "/usr/bin/gimp";
                 },
                 "実行=/usr/bin/gimp", "---"},
        TextCase{"PasteTextUnexpanded",
                 [](auto& r) {
                   r.kind = K::PasteText;
                   r.pasteText = "%yyyy%\\n";
                 },
                 "%yyyy%\\n", "---"},
        TextCase{"OldKindThree", [](auto& r) { r.kind = static_cast<K>(3); }, "None", "---"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ButtonCaption, UsesButtonNamesAndTemplateLabels) {
  const TDeviceTemplate withLabels("T", "t", {"A", "B"});
  EXPECT_EQ(ButtonCaption(0, &withLabels), "Stick1: ←");
  EXPECT_EQ(ButtonCaption(17, nullptr), "POV: ↗");
  EXPECT_EQ(ButtonCaption(57, &withLabels), "[2] B");
  EXPECT_EQ(ButtonCaption(57, nullptr), "[2] Button");
  EXPECT_EQ(ButtonCaption(58, &withLabels), "[3] Button");
  EXPECT_EQ(ButtonCaption(183, nullptr), "[128] Button");
}

TEST(RowCaption, TheAttachedDevicesTemplateWinsOverTheSlots) {
  const TDeviceTemplate slotTemplate("S", "s", {"slot"});
  const TDeviceTemplate deviceTemplate("D", "d", {"device"});
  ProfileJoystick slot(0);
  slot.resolvedTemplate = &slotTemplate;
  TDeviceConfig device("{G}", DeviceDefaults{});
  const ButtonAssignment& button1 = slot.Button(56);

  EXPECT_EQ(RowCaption(button1, nullptr, slot), "[1] slot");
  EXPECT_EQ(RowCaption(button1, &device, slot), "[1] slot") << "a device without a template";
  device.resolvedTemplate = &deviceTemplate;
  EXPECT_EQ(RowCaption(button1, &device, slot), "[1] device");
  slot.resolvedTemplate = nullptr;
  device.resolvedTemplate = nullptr;
  EXPECT_EQ(RowCaption(button1, &device, slot), "[1] Button");
}

}  // namespace
}  // namespace brevanto
