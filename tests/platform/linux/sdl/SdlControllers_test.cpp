#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/processing/Vibration.h"
#include "platform/linux/sdl/SdlTestStack.h"

namespace brevanto {
namespace {

using testing::SdlTest;
using testing::VirtualDevice;

// The non-zero virtual button values of a reading.
std::map<int, int> Active(const DeviceInput& input) {
  std::map<int, int> active;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    if (input.values[static_cast<std::size_t>(i)] != 0) {
      active[i] = input.values[static_cast<std::size_t>(i)];
    }
  }
  return active;
}

struct PadCase {
  const char* label;
  std::vector<std::pair<int, int>> triggers;  // SDL axis, pad value 0..255
  std::vector<std::pair<int, Sint16>> axes;   // SDL axis, raw value
  std::vector<int> buttons;                   // SDL buttons held
  bool eightWay;
  std::map<int, int> expected;  // every non-zero virtual button
  std::array<int32_t, kAxisCount> analog;
};

class XboxPadTest : public SdlTest, public ::testing::WithParamInterface<PadCase> {};

TEST_P(XboxPadTest, IsDetectedAsAnXInputPadAndRead) {
  const PadCase& c = GetParam();
  auto pad = VirtualDevice::Pad();
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 1);
  TDeviceConfig& record = *detection_.Device(0);
  EXPECT_EQ(record.GUID, "045E028E-1");
  EXPECT_EQ(record.PUID, 0x045E028E);
  EXPECT_EQ(record.interfaceKind, InterfaceKind::XInput);
  EXPECT_EQ(record.backendIndex, 0);

  for (const auto& [axis, value] : c.triggers) pad->Trigger(axis, value);
  for (const auto& [axis, value] : c.axes) pad->Axis(axis, value);
  for (int button : c.buttons) pad->Button(button, true);
  Update();
  DeviceInput input;
  bool displayChanged = false;
  ReadOptions options;
  options.usePov8Way = c.eightWay;
  ASSERT_EQ(xinput_.Read(record, input, displayChanged, options), 0);
  EXPECT_EQ(Active(input), c.expected);
  EXPECT_EQ(input.analog, c.analog);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, XboxPadTest,
    ::testing::Values(PadCase{"RightTriggerFullyPressed",
                              {{SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 255}},
                              {},
                              {},
                              false,
                              {{8, 1000}, {67, 1000}},
                              {}},
                      PadCase{"RightTriggerLightlyPressedIsOnlyAButton",
                              {{SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 40}},
                              {},
                              {},
                              false,
                              {{67, 1000}},
                              {}},
                      PadCase{"LeftTriggerBeyondTheAxisLevel",
                              {{SDL_CONTROLLER_AXIS_TRIGGERLEFT, 56}},
                              {},
                              {},
                              false,
                              {{9, 5}, {66, 1000}},
                              {}},
                      PadCase{"LeftStickFullyUp",
                              {},
                              {{SDL_CONTROLLER_AXIS_LEFTY, -32768}},
                              {},
                              false,
                              {{2, 1000}},
                              {0, -1000, 0, 0, 0, 0, 0, 0}},
                      PadCase{"RightStickRight",
                              {},
                              {{SDL_CONTROLLER_AXIS_RIGHTX, 32767}},
                              {},
                              false,
                              {{5, 1000}},
                              {0, 0, 1000, 0, 0, 0, 0, 0}},
                      PadCase{"DpadUpRightEightWay",
                              {},
                              {},
                              {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
                              true,
                              {{17, 1000}},
                              {}},
                      PadCase{"DpadUpRightFourWay",
                              {},
                              {},
                              {SDL_CONTROLLER_BUTTON_DPAD_UP, SDL_CONTROLLER_BUTTON_DPAD_RIGHT},
                              false,
                              {{16, 1000}, {18, 1000}},
                              {}},
                      PadCase{
                          "FaceShoulderAndGuideButtons",
                          {},
                          {},
                          {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_Y,
                           SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, SDL_CONTROLLER_BUTTON_BACK,
                           SDL_CONTROLLER_BUTTON_RIGHTSTICK, SDL_CONTROLLER_BUTTON_GUIDE},
                          false,
                          {{56, 1000}, {59, 1000}, {61, 1000}, {62, 1000}, {65, 1000}, {68, 1000}},
                          {}}),
    [](const ::testing::TestParamInfo<PadCase>& info) { return std::string(info.param.label); });

// Wired Xbox pads have no HID view on Linux, so no record of another
// interface lends them a name; the name table does, and with it the labels.
struct PadNameCase {
  const char* label;
  uint16_t productId;
  const char* name;
  int deviceType;
};

class PadNameTest : public SdlTest, public ::testing::WithParamInterface<PadNameCase> {};

TEST_P(PadNameTest, APadWithoutAnHidTwinIsNamedAndLabelledByTheTable) {
  const PadNameCase& c = GetParam();
  auto pad = VirtualDevice::Pad(0x045E, c.productId);
  Update();
  detection_.SetApiMode(2);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 1);
  const TDeviceConfig& record = *detection_.Device(0);
  EXPECT_EQ(record.interfaceKind, InterfaceKind::XInput);
  EXPECT_EQ(record.Name, c.name);
  EXPECT_EQ(record.deviceType, c.deviceType);
  ASSERT_NE(record.resolvedTemplate, nullptr);
  EXPECT_EQ(record.resolvedTemplate->Id(), "XBOX");
  EXPECT_EQ(record.resolvedTemplate->LabelOf(PlainButton(1)), "A");
  EXPECT_EQ(record.resolvedTemplate->LabelOf(PlainButton(13)), "XBOX");
}

INSTANTIATE_TEST_SUITE_P(
    Pads, PadNameTest,
    ::testing::Values(PadNameCase{"Xbox360", 0x028E, "Xbox 360 Controller", 31},
                      PadNameCase{"XboxOne", 0x02FF, "Xbox One Controller", 32},
                      PadNameCase{"XboxSeriesX", 0x0B12, "Xbox Series X Controller", 32}),
    [](const ::testing::TestParamInfo<PadNameCase>& info) {
      return std::string(info.param.label);
    });

TEST_F(SdlTest, APadThatStopsAnsweringIsNotRead) {
  auto pad = VirtualDevice::Pad();
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  TDeviceConfig& record = *detection_.Device(0);
  pad->Unplug();
  Update();
  DeviceInput input;
  bool displayChanged = false;
  EXPECT_EQ(xinput_.Read(record, input, displayChanged, ReadOptions{}), -1);
}

// Which user index, and so which record, each pad has after a change; a pad
// is told apart from its twin by a held button.
struct ReplugCase {
  const char* label;
  std::size_t unplugged;  // which of the two pads goes and comes back
};

class PadReplugTest : public SdlTest, public ::testing::WithParamInterface<ReplugCase> {
 protected:
  // The GUID of the record whose reading shows A held, or "" for none.
  std::string RecordHoldingA() {
    for (int i = 0; i < detection_.DeviceCount(); ++i) {
      TDeviceConfig& record = *detection_.Device(i);
      DeviceInput input;
      bool displayChanged = false;
      if (xinput_.Read(record, input, displayChanged, ReadOptions{}) == 0 &&
          input.values[PlainButton(1)] == 1000) {
        return record.GUID;
      }
    }
    return "";
  }
};

TEST_P(PadReplugTest, UnpluggingOnePadLeavesTheOtherItsUserIndexAndRecord) {
  const std::size_t gone = GetParam().unplugged;
  const std::size_t stays = 1 - gone;
  std::array<std::unique_ptr<VirtualDevice>, 2> pads{VirtualDevice::Pad(), VirtualDevice::Pad()};
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 2);
  const std::array<std::string, 2> guids{"045E028E-1", "045E028E-2"};
  EXPECT_EQ(detection_.Device(0)->GUID, guids[0]);
  EXPECT_EQ(detection_.Device(1)->GUID, guids[1]);
  records_.FindOrCreate(guids[stays]).AnalogDeadZone = 2500;

  pads[gone].reset();
  pads[stays]->Button(SDL_CONTROLLER_BUTTON_A, true);
  Update();
  detection_.DetectJoysticks(false);
  ASSERT_EQ(detection_.DeviceCount(), 1);
  EXPECT_EQ(detection_.Device(0)->GUID, guids[stays]);
  EXPECT_EQ(detection_.Device(0)->AnalogDeadZone, 2500);
  EXPECT_EQ(RecordHoldingA(), guids[stays]);

  pads[gone] = VirtualDevice::Pad();
  Update();
  detection_.DetectJoysticks(false);
  ASSERT_EQ(detection_.DeviceCount(), 2);
  EXPECT_EQ(RecordHoldingA(), guids[stays]) << "the pad that stayed";
  EXPECT_EQ(detection_.Device(static_cast<int>(gone))->GUID, guids[gone])
      << "the pad plugged in again takes the free index";
  EXPECT_EQ(records_.Count(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Pads, PadReplugTest,
                         ::testing::Values(ReplugCase{"First", 0}, ReplugCase{"Second", 1}),
                         [](const ::testing::TestParamInfo<ReplugCase>& info) {
                           return std::string(info.param.label);
                         });

TEST_F(SdlTest, ProfileVibrationRumblesTheFirstPadUntilTheCountdownEnds) {
  auto pad = VirtualDevice::Pad();
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  Vibration vibration(rumble_);
  vibration.StartVibration(50, 0, 300, 0);
  EXPECT_EQ(pad->rumbles, (std::vector<std::pair<Uint16, Uint16>>{{32750, 0}}));
  for (int tick = 0; tick < 18; ++tick) vibration.CountdownStep();
  EXPECT_EQ(pad->rumbles.size(), 1u);
  vibration.CountdownStep();
  EXPECT_EQ(pad->rumbles.back(), (std::pair<Uint16, Uint16>{0, 0}));
}

TEST_F(SdlTest, AGenericJoystickIsDetectedAsDirectInputWithItsAxesMapped) {
  auto stick = VirtualDevice::Generic(8, 4, 32);
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 1);
  const TDeviceConfig& record = *detection_.Device(0);
  EXPECT_EQ(record.interfaceKind, InterfaceKind::DirectInput);
  EXPECT_EQ(record.GUID.size(), 38u);
  EXPECT_EQ(record.Name, "Test Stick");
  EXPECT_EQ(record.deviceType, 0);
  EXPECT_EQ(record.axisPresent,
            (std::array<bool, kAxisCount>{true, true, true, true, true, true, true, true}));
  EXPECT_EQ(record.axisMapping, (AxisMapping{0, 1, 2, 5, 3, 4, 6, 7}));
  EXPECT_EQ(record.numAxes, 8);
  EXPECT_EQ(record.numPovs, 4);
  EXPECT_EQ(record.numButtons, 32);
}

TEST_F(SdlTest, AGenericJoystickIsReadAxesHatsAndButtons) {
  auto stick = VirtualDevice::Generic(8, 4, 32);
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  TDeviceConfig& record = *detection_.Device(0);

  stick->Axis(0, 32767);   // X: stick 1 right
  stick->Axis(5, -32768);  // Rz: stick 2 up
  stick->Axis(6, 16384);   // slider 0: axis 7
  stick->Button(0, true);
  stick->Button(31, true);
  Update();
  DeviceInput input;
  bool displayChanged = false;
  ReadOptions options;
  options.threshold = 200;
  options.threshold2 = 200;
  ASSERT_EQ(directInput_.Read(record, input, displayChanged, options), 0);
  EXPECT_EQ(input.analog[0], 1000);
  EXPECT_EQ(input.analog[3], -1000);
  EXPECT_EQ(input.analog[6], 500);
  EXPECT_EQ(Active(input),
            (std::map<int, int>{{1, 1000}, {6, 1000}, {13, 500}, {56, 1000}, {87, 1000}}));
  EXPECT_TRUE(displayChanged);

  options.numberOfButtons = 16;
  ASSERT_EQ(directInput_.Read(record, input, displayChanged, options), 0);
  EXPECT_EQ(input.values[56], 1000);
  EXPECT_EQ(input.values[87], 0) << "beyond the profile's NumberOfButtons";
}

struct HatCase {
  Uint8 hat;
  bool eightWay;
  std::vector<int> directions;  // of hat 2 (virtual 24 + d)
};

class JoystickHatTest : public SdlTest, public ::testing::WithParamInterface<HatCase> {};

TEST_P(JoystickHatTest, GivesPovDirectionsWithBothNeighboursOnFourWayBoundaries) {
  auto stick = VirtualDevice::Generic(8, 4, 32);
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  stick->Hat(1, GetParam().hat);
  Update();
  DeviceInput input;
  bool displayChanged = false;
  ReadOptions options;
  options.usePov8Way = GetParam().eightWay;
  ASSERT_EQ(directInput_.Read(*detection_.Device(0), input, displayChanged, options), 0);
  std::map<int, int> expected;
  for (int d : GetParam().directions) expected[PovButton(2, d)] = 1000;
  EXPECT_EQ(Active(input), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoystickHatTest,
    ::testing::Values(HatCase{SDL_HAT_CENTERED, false, {}}, HatCase{SDL_HAT_UP, false, {0}},
                      HatCase{SDL_HAT_RIGHTUP, false, {0, 2}}, HatCase{SDL_HAT_RIGHTUP, true, {1}},
                      HatCase{SDL_HAT_RIGHTDOWN, false, {2, 4}},
                      HatCase{SDL_HAT_LEFTDOWN, true, {5}}, HatCase{SDL_HAT_LEFTUP, false, {0, 6}},
                      HatCase{SDL_HAT_LEFTUP, true, {7}}));

TEST_F(SdlTest, TheDeviceDeadZoneAndTheGlobalSaturationShapeTheAxes) {
  records_.SetDefaults(DeviceDefaults{1000, {-1, 0, 0, 0, 0, 0, 6, 7}});
  directInput_.SetAnalogSaturation(9000);
  auto stick = VirtualDevice::Generic(8, 0, 4);
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  struct Case {
    Sint16 raw;
    int32_t expected;
  };
  for (const Case c : {Case{3276, 0}, Case{16384, 500}, Case{-16384, -500}, Case{29491, 1000}}) {
    stick->Axis(kAxisSlider0, c.raw);
    Update();
    DeviceInput input;
    bool displayChanged = false;
    ASSERT_EQ(directInput_.Read(*detection_.Device(0), input, displayChanged, ReadOptions{}), 0);
    EXPECT_EQ(input.analog[6], c.expected) << c.raw;
  }
}

struct ModeCase {
  int mode;
  std::vector<InterfaceKind> kinds;  // array order: the pad, then the stick
};

class SdlApiModeTest : public SdlTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(SdlApiModeTest, DecidesHowThePadAndTheStickAreRead) {
  auto pad = VirtualDevice::Pad();
  auto stick = VirtualDevice::Generic(4, 1, 12);
  Update();
  detection_.SetApiMode(GetParam().mode);
  ASSERT_TRUE(detection_.InitJoysticks());
  std::vector<InterfaceKind> kinds;
  for (int i = 0; i < detection_.DeviceCount(); ++i) {
    kinds.push_back(detection_.Device(i)->interfaceKind);
    EXPECT_EQ(detection_.Device(i)->assignedSlot, i);
  }
  EXPECT_EQ(kinds, GetParam().kinds);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, SdlApiModeTest,
    ::testing::Values(ModeCase{0, {InterfaceKind::DirectInput, InterfaceKind::DirectInput}},
                      ModeCase{1, {InterfaceKind::XInput}},
                      ModeCase{2, {InterfaceKind::XInput, InterfaceKind::DirectInput}}),
    [](const ::testing::TestParamInfo<ModeCase>& info) {
      return "Mode" + std::to_string(info.param.mode);
    });

TEST_F(SdlTest, PreferredJoysticksDecideTheSlotsAndTheRestGetTheFreeOnes) {
  auto pad = VirtualDevice::Pad();
  auto stick = VirtualDevice::Generic(4, 1, 12);
  Update();
  ASSERT_TRUE(detection_.InitJoysticks());
  TDeviceConfig& padRecord = *detection_.Device(0);
  TDeviceConfig& stickRecord = *detection_.Device(1);

  padRecord.PreferredNumber = 0;
  stickRecord.PreferredNumber = 0;
  detection_.DetectJoysticks(true);
  EXPECT_EQ(padRecord.assignedSlot, 0) << "first in array order";
  EXPECT_EQ(stickRecord.assignedSlot, 1) << "lowest free slot";

  padRecord.PreferredNumber = -1;
  stickRecord.PreferredNumber = 2;
  detection_.DetectJoysticks(true);
  EXPECT_EQ(stickRecord.assignedSlot, 2);
  EXPECT_EQ(padRecord.assignedSlot, 0);
  EXPECT_EQ(detection_.DeviceInSlot(2), &stickRecord);
  EXPECT_EQ(detection_.DeviceInSlot(1), nullptr);
}

TEST_F(SdlTest, UnpluggingIsNoticedByThePumpAndDropsTheCount) {
  auto pad = VirtualDevice::Pad();
  auto stick = VirtualDevice::Generic(4, 1, 12);
  EXPECT_TRUE(pump_.Pump());
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(detection_.DeviceCount(), 2);
  EXPECT_EQ(DeviceMessages().size(), 1u);
  EXPECT_FALSE(pump_.Pump()) << "nothing came or went since";

  stick->Unplug();
  detection_.DetectJoysticks(false);  // clears the request of the plug-in
  EXPECT_TRUE(pump_.Pump());
  EXPECT_TRUE(detection_.DeviceChangePending());
  detection_.DetectJoysticks(false);
  EXPECT_FALSE(detection_.DeviceChangePending());
  EXPECT_EQ(detection_.DeviceCount(), 1);
  EXPECT_EQ(DeviceMessages().size(), 2u);
  EXPECT_EQ(DeviceMessages().back(), (PostedMessage{WM_BRV_DEVICES_CHANGED, 0, 0}));
}

// An idle program does not pump; a controller attached within the process
// asks for a detection by itself, and so does its detaching.
TEST_F(SdlTest, AVirtualControllerAttachedLaterAsksForADetectionWithoutAPump) {
  EXPECT_FALSE(pump_.Pump());
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_FALSE(detection_.DeviceChangePending());

  auto stick = VirtualDevice::Generic(2, 0, 4);
  EXPECT_TRUE(detection_.DeviceChangePending());
  detection_.DetectJoysticks(false);
  EXPECT_EQ(detection_.DeviceCount(), 1);

  stick->Unplug();
  EXPECT_TRUE(detection_.DeviceChangePending());
}

TEST_F(SdlTest, IdenticalJoysticksDifferAndKeepTheirIdentityWhenPluggedInAgain) {
  auto first = VirtualDevice::Generic(2, 0, 4);
  auto second = VirtualDevice::Generic(2, 0, 4);
  Update();
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 2);
  const std::string firstGuid = detection_.Device(0)->GUID;
  const std::string secondGuid = detection_.Device(1)->GUID;
  EXPECT_NE(firstGuid, secondGuid);

  first.reset();
  second.reset();
  first = VirtualDevice::Generic(2, 0, 4);
  second = VirtualDevice::Generic(2, 0, 4);
  Update();
  detection_.DetectJoysticks(false);
  ASSERT_EQ(detection_.DeviceCount(), 2);
  EXPECT_EQ(detection_.Device(0)->GUID, firstGuid);
  EXPECT_EQ(detection_.Device(1)->GUID, secondGuid);
  EXPECT_EQ(records_.Count(), 2u) << "no new records for the same units";
}

// Pads of the PlayStation and Switch Pro families, read as generic
// controllers: their buttons and axes come in the order of their original
// platform, which the built-in label templates follow.
struct FamilyCase {
  const char* label;
  uint16_t vendorId;
  uint16_t productId;
  int numAxes;
  int numButtons;
  AxisMapping mapping;
  std::vector<int> sdlButtons;  // pressed
  std::vector<std::pair<int, Sint16>> sdlAxes;
  std::map<int, int> expected;  // virtual button -> value, among the checked ones
  std::array<int32_t, 4> sticks;
};

class FamilyLayoutTest : public SdlTest, public ::testing::WithParamInterface<FamilyCase> {};

TEST_P(FamilyLayoutTest, PresentsButtonsAndAxesInTheFamilyOrder) {
  const FamilyCase& c = GetParam();
  auto pad = VirtualDevice::Pad(c.vendorId, c.productId, SDL_CONTROLLER_BUTTON_MAX);
  Update();
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 1);
  TDeviceConfig& record = *detection_.Device(0);
  EXPECT_EQ(record.numAxes, c.numAxes);
  EXPECT_EQ(record.numButtons, c.numButtons);
  EXPECT_EQ(record.numPovs, 1);
  EXPECT_EQ(record.axisMapping, c.mapping);

  for (int button : c.sdlButtons) pad->Button(button, true);
  for (const auto& [axis, value] : c.sdlAxes) pad->Axis(axis, value);
  Update();
  DeviceInput input;
  bool displayChanged = false;
  ReadOptions options;
  options.threshold = 200;
  options.threshold2 = 200;
  ASSERT_EQ(directInput_.Read(record, input, displayChanged, options), 0);
  for (const auto& [index, value] : c.expected) {
    EXPECT_EQ(input.values[static_cast<std::size_t>(index)], value) << "virtual " << index;
  }
  EXPECT_EQ(
      (std::array<int32_t, 4>{input.analog[0], input.analog[1], input.analog[2], input.analog[3]}),
      c.sticks);
}

INSTANTIATE_TEST_SUITE_P(
    Families, FamilyLayoutTest,
    ::testing::Values(
        // Square is button 1, cross 2, L2 7 (and the Rx axis), PS 13; the
        // right stick is Z/Rz. The triggers rest at one end of Rx/Ry,
        // so the idle R2 holds axis 6's negative direction.
        FamilyCase{"Ps4",
                   0x054C,
                   0x09CC,
                   6,
                   14,
                   {0, 1, 2, 5, 3, 4, 6, 7},
                   {SDL_CONTROLLER_BUTTON_X, SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_GUIDE,
                    SDL_CONTROLLER_BUTTON_DPAD_DOWN},
                   {{SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767}, {SDL_CONTROLLER_AXIS_RIGHTX, 32767}},
                   {{56, 1000},
                    {57, 1000},
                    {58, 0},
                    {62, 1000},
                    {63, 0},
                    {68, 1000},
                    {70, 0},
                    {20, 1000},
                    {9, 1000},
                    {10, 1000}},
                   {0, 0, 1000, 0}},
        FamilyCase{"Ps5MuteIsButton15",
                   0x054C,
                   0x0CE6,
                   6,
                   15,
                   {0, 1, 2, 5, 3, 4, 6, 7},
                   {SDL_CONTROLLER_BUTTON_MISC1, SDL_CONTROLLER_BUTTON_Y},
                   {{SDL_CONTROLLER_AXIS_RIGHTY, -32768}},
                   {{59, 1000}, {70, 1000}, {56, 0}},
                   {0, 0, 0, -1000}},
        // A is button 1, Back 7, the right stick button 10; the Xbox button
        // is not offered. The right stick is Rx/Ry, the triggers share Z.
        FamilyCase{
            "Xbox360",
            0x045E,
            0x028E,
            5,
            10,
            {0, 1, 3, 4, 2, 5, 6, 7},
            {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_BACK, SDL_CONTROLLER_BUTTON_RIGHTSTICK,
             SDL_CONTROLLER_BUTTON_GUIDE, SDL_CONTROLLER_BUTTON_DPAD_LEFT},
            {{SDL_CONTROLLER_AXIS_RIGHTY, -32768}},
            {{56, 1000},
             {57, 0},
             {62, 1000},
             {65, 1000},
             {66, 0},
             {68, 0},
             {22, 1000},
             {8, 0},
             {9, 0}},
            {0, 0, 0, -1000}},
        // B (south) is button 1, A (east) 2; the right stick is Rx/Ry.
        FamilyCase{
            "SwitchPro",
            0x057E,
            0x2009,
            4,
            14,
            {0, 1, 3, 4, 2, 5, 6, 7},
            {SDL_CONTROLLER_BUTTON_A, SDL_CONTROLLER_BUTTON_MISC1},
            {{SDL_CONTROLLER_AXIS_RIGHTX, -32768}, {SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767}},
            {{56, 1000}, {57, 0}, {63, 1000}, {69, 1000}, {9, 0}, {10, 0}},
            {0, 0, -1000, 0}}),
    [](const ::testing::TestParamInfo<FamilyCase>& info) { return std::string(info.param.label); });

// An Xbox-type pad read as a generic controller: its triggers share the Z
// axis, which rests centred, so nothing is held while the pad lies idle.
struct XboxTriggerCase {
  const char* label;
  int left;   // 0..255
  int right;  // 0..255
  int32_t z;
  std::map<int, int> active;  // every non-zero virtual button
};

class XboxDirectInputTest : public SdlTest,
                            public ::testing::WithParamInterface<XboxTriggerCase> {};

TEST_P(XboxDirectInputTest, TheTriggersMoveZBothWaysFromTheCentre) {
  const XboxTriggerCase& c = GetParam();
  detection_.SetApiMode(0);
  // An Xbox 360 pad and an Xbox Series X pad, one after the other.
  for (auto [vendor, product] : {std::pair<uint16_t, uint16_t>{0x045E, 0x028E}, {0x045E, 0x0B12}}) {
    auto pad = VirtualDevice::Pad(vendor, product);
    Update();
    ASSERT_TRUE(detection_.InitJoysticks());
    ASSERT_EQ(detection_.DeviceCount(), 1);
    TDeviceConfig& record = *detection_.Device(0);
    ASSERT_EQ(record.interfaceKind, InterfaceKind::DirectInput);

    pad->Trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT, c.left);
    pad->Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, c.right);
    Update();
    DeviceInput input;
    bool displayChanged = false;
    ReadOptions options;
    options.threshold = 200;
    options.threshold2 = 200;
    ASSERT_EQ(directInput_.Read(record, input, displayChanged, options), 0);
    EXPECT_EQ(input.analog, (std::array<int32_t, kAxisCount>{0, 0, 0, 0, c.z, 0, 0, 0}))
        << std::hex << product;
    EXPECT_EQ(Active(input), c.active) << std::hex << product;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Triggers, XboxDirectInputTest,
    ::testing::Values(XboxTriggerCase{"AtRest", 0, 0, 0, {}},
                      XboxTriggerCase{"LeftPushesZUp", 255, 0, 1000, {{9, 1000}}},
                      XboxTriggerCase{"RightPushesZDown", 0, 255, -1000, {{8, 1000}}},
                      XboxTriggerCase{"BothCancel", 255, 255, 0, {}}),
    [](const ::testing::TestParamInfo<XboxTriggerCase>& info) {
      return std::string(info.param.label);
    });

}  // namespace
}  // namespace brevanto
