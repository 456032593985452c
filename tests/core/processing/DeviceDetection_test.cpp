#include "core/processing/DeviceDetection.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/device/DeviceConfigManager.h"
#include "core/device/DeviceTemplateManager.h"
#include "core/input/DirectInputBackend.h"
#include "core/input/HidDescriptor.h"
#include "core/input/HidDetection.h"
#include "core/input/HidInput.h"
#include "core/input/XInputBackend.h"
#include "core/processing/Messages.h"
#include "platform/fake/FakeControllers.h"
#include "platform/fake/RecordingMessageSink.h"
#include "support/HidDescriptors.h"
#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

constexpr uint16_t kMicrosoft = 0x045E;
constexpr uint16_t kXbox360 = 0x028E;

// The three back ends over fake controllers, as the program wires them.
class DetectionTest : public ::testing::Test {
 protected:
  DetectionTest() { records_.SetDefaults(DeviceDefaults{0, {-1, 0, 0, 0, 0, 0, 6, 7}}); }

  void AddPad(int user,
              std::optional<PadCapabilities> caps = PadCapabilities{kMicrosoft, kXbox360, false}) {
    FakePadSource::Pad pad;
    pad.capabilities = caps;
    pads_.pads[static_cast<std::size_t>(user)] = pad;
  }
  // The pad as the joystick and HID interfaces see it too.
  void AddPadEverywhere() {
    AddPad(0);
    joysticks_.attached.push_back(
        {FakeJoystickSource::Info(1, kMicrosoft, kXbox360,
                                  {kAxisX, kAxisY, kAxisZ, kAxisRx, kAxisRy}),
         {},
         true});
    hidSource_.devices.push_back(
        FakeHidSource::Device("/dev/hidraw0", kMicrosoft, kXbox360, 5, 1, 10));
  }
  void AddStickEverywhere() {
    joysticks_.attached.push_back(
        {FakeJoystickSource::Info(2, 0x0079, 0x0006, {kAxisX, kAxisY, kAxisZ, kAxisRz}), {}, true});
    hidSource_.devices.push_back(FakeHidSource::Device("/dev/hidraw1", 0x0079, 0x0006, 4, 1, 12));
  }
  TDeviceConfig& AddJoystick(int number, int preferred) {
    joysticks_.attached.push_back(
        {FakeJoystickSource::Info(number, 0x1234, static_cast<uint16_t>(number), {kAxisX, kAxisY}),
         {},
         true});
    TDeviceConfig& record = records_.FindOrCreate(joysticks_.attached.back().info.instanceGuid);
    record.PreferredNumber = preferred;
    return record;
  }

  // (GUID, slot) of every device in array order.
  std::vector<std::pair<std::string, int>> Array() const {
    std::vector<std::pair<std::string, int>> list;
    for (int i = 0; i < detection_.DeviceCount(); ++i) {
      list.emplace_back(detection_.Device(i)->GUID, detection_.Device(i)->assignedSlot);
    }
    return list;
  }
  std::vector<PostedMessage> DeviceMessages() const {
    std::vector<PostedMessage> list;
    for (const PostedMessage& m : sink_.Messages()) {
      if (m.message == WM_BRV_DEVICES_CHANGED) list.push_back(m);
    }
    return list;
  }

  testing::TempDir dir_;
  DeviceTemplateManager templates_{dir_.File("templates.json")};
  DeviceConfigManager records_{&templates_};
  FakePadSource pads_;
  FakeRumble rumble_;
  FakeJoystickSource joysticks_;
  FakeHidSource hidSource_;
  HidDetection hid_{hidSource_, records_};
  XInputBackend xinput_{pads_, rumble_, records_};
  DirectInputBackend directInput_{joysticks_, records_, xinput_};
  RecordingMessageSink sink_;
  DeviceDetection detection_{records_, hid_, xinput_, directInput_, sink_};
};

struct ModeCase {
  int mode;
  std::vector<std::string> guids;  // array order; slots follow it
};

class ApiModeTest : public DetectionTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(ApiModeTest, DecidesWhichInterfacesRegisterTheAttachedControllers) {
  AddPadEverywhere();
  AddStickEverywhere();
  detection_.SetApiMode(GetParam().mode);
  ASSERT_TRUE(detection_.InitJoysticks());

  std::vector<std::pair<std::string, int>> expected;
  for (const std::string& guid : GetParam().guids) {
    expected.emplace_back(guid, static_cast<int>(expected.size()));
  }
  EXPECT_EQ(Array(), expected);
  // HID controllers are enumerated in every mode, for the other interfaces.
  const TDeviceConfig* hidPad = records_.Find("/dev/hidraw0");
  ASSERT_NE(hidPad, nullptr);
  EXPECT_TRUE(hidPad->present);
  EXPECT_EQ(hidPad->backendIndex, GetParam().mode >= 3 ? 0 : -1);
  // Only the registered ones are read, at their HID index.
  const std::vector<std::string> reading =
      GetParam().mode >= 3 ? std::vector<std::string>{"/dev/hidraw0", "/dev/hidraw1"}
                           : std::vector<std::string>{};
  EXPECT_EQ(hidSource_.reading, reading);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ApiModeTest,
    ::testing::Values(ModeCase{0,
                               {"{00000000-0000-0000-0000-000000000001}",
                                "{00000000-0000-0000-0000-000000000002}"}},
                      ModeCase{1, {"045E028E-1"}},
                      ModeCase{2, {"045E028E-1", "{00000000-0000-0000-0000-000000000002}"}},
                      ModeCase{3, {"/dev/hidraw0", "/dev/hidraw1"}},
                      ModeCase{4,
                               {"/dev/hidraw0", "/dev/hidraw1", "045E028E-1",
                                "{00000000-0000-0000-0000-000000000002}"}}),
    [](const ::testing::TestParamInfo<ModeCase>& info) {
      return "Mode" + std::to_string(info.param.mode);
    });

TEST_F(DetectionTest, PreferredSlotsComeFirstAndTheOthersFillTheLowestFreeSlots) {
  testing::LogCapture log;
  detection_.SetApiMode(0);
  const TDeviceConfig& first = AddJoystick(1, 0);
  const TDeviceConfig& second = AddJoystick(2, 0);  // joystick 1 is taken by then
  const TDeviceConfig& third = AddJoystick(3, 2);
  const TDeviceConfig& fourth = AddJoystick(4, kMaxJoysticks);  // no such slot
  ASSERT_TRUE(detection_.InitJoysticks());

  EXPECT_EQ(first.assignedSlot, 0);
  EXPECT_EQ(third.assignedSlot, 2);
  EXPECT_EQ(second.assignedSlot, 1);
  EXPECT_EQ(fourth.assignedSlot, 3);
  EXPECT_EQ(detection_.SlotDevice(0), 0);
  EXPECT_EQ(detection_.SlotDevice(1), 1);
  EXPECT_EQ(detection_.SlotDevice(2), 2);
  EXPECT_EQ(detection_.SlotDevice(4), -1);
  EXPECT_EQ(detection_.DeviceInSlot(3), &fourth);
  EXPECT_TRUE(log.HasMessage("Assign Joystick 3 to Joystick[3] (" + third.GUID + ")"));
  EXPECT_TRUE(log.HasMessage("4 joystick(s) are detected"));
}

TEST_F(DetectionTest, ReDetectionPostsOnlyWhenTheCountChangesOrWhenForced) {
  testing::LogCapture log(true);
  AddPad(0);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(DeviceMessages().size(), 1u) << "from none to one device";

  detection_.DetectJoysticks(false);
  EXPECT_EQ(DeviceMessages().size(), 1u);
  detection_.DetectJoysticks(true);
  EXPECT_EQ(DeviceMessages().size(), 2u);

  pads_.pads[0].reset();
  detection_.RequestDetection();
  EXPECT_TRUE(detection_.DeviceChangePending());
  detection_.DetectJoysticks(false);
  EXPECT_FALSE(detection_.DeviceChangePending());
  EXPECT_EQ(detection_.DeviceCount(), 0);
  ASSERT_EQ(DeviceMessages().size(), 3u);
  EXPECT_EQ(DeviceMessages().back(), (PostedMessage{WM_BRV_DEVICES_CHANGED, 0, 0}));
  EXPECT_TRUE(log.HasMessage("DetectJoysticks: Failed to detect joysticks"));
  EXPECT_TRUE(log.HasMessage("0 joystick(s) are detected"));
}

TEST_F(DetectionTest, AnAbsentDeviceLosesItsSlotAndTheHighlightIsCleared) {
  SlotStates slots{};
  slots[0].anyPressed = true;
  slots[0].pressed[60] = true;
  slots[0].pressed[130] = true;  // beyond the 128 that re-detection clears
  detection_.SetSlotStates(&slots);
  detection_.SetApiMode(0);
  TDeviceConfig& gone = AddJoystick(1, -1);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(gone.assignedSlot, 0);

  joysticks_.attached.clear();
  detection_.DetectJoysticks(false);
  EXPECT_FALSE(gone.present);
  EXPECT_EQ(gone.assignedSlot, -1);
  EXPECT_EQ(detection_.DeviceInSlot(0), nullptr);
  EXPECT_FALSE(slots[0].anyPressed);
  EXPECT_FALSE(slots[0].pressed[60]);
  EXPECT_TRUE(slots[0].pressed[130]);
}

TEST_F(DetectionTest, WithoutHidAccessTheHidModesFallBackToMode2) {
  struct Case {
    int mode;
    int resultingMode;
  };
  for (const Case c : {Case{4, 2}, Case{3, 2}, Case{0, 0}}) {
    testing::LogCapture log;
    hidSource_.loads = false;
    detection_.SetApiMode(c.mode);
    ASSERT_TRUE(detection_.InitJoysticks());
    EXPECT_EQ(detection_.ApiMode(), c.resultingMode);
    EXPECT_EQ(log.HasMessage("Falling back Input API mode to 2"), c.mode != c.resultingMode);
    EXPECT_FALSE(log.HasMessage("Initialized HID"));
  }
}

TEST_F(DetectionTest, InitialisationFailsOnlyWithoutTheJoystickInterface) {
  testing::LogCapture log;
  pads_.available = false;
  AddPadEverywhere();
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_TRUE(log.HasMessage("Initialized HID"));
  EXPECT_FALSE(log.HasMessage("Initialized XInput"));
  // Without the pad interface the pad is read as a generic controller.
  EXPECT_EQ(
      Array(),
      (std::vector<std::pair<std::string, int>>{{"{00000000-0000-0000-0000-000000000001}", 0}}));

  joysticks_.available = false;
  EXPECT_FALSE(detection_.InitJoysticks());
  EXPECT_TRUE(log.HasMessage("DirectInput8Create failed"));
}

TEST_F(DetectionTest, AFailedHidListIsLoggedAndTheOtherInterfacesStillDetect) {
  testing::LogCapture log;
  AddPadEverywhere();
  AddStickEverywhere();
  hidSource_.enumerates = false;
  detection_.SetApiMode(4);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_TRUE(log.HasMessage("Failed to detect HID joysticks"));
  EXPECT_EQ(detection_.HidCount(), 0);
  EXPECT_TRUE(hidSource_.reading.empty());
  EXPECT_EQ(hidSource_.readDeviceCalls, 1) << "the controllers of an earlier list stop being read";
  EXPECT_EQ(detection_.XInputCount(), 1);
  EXPECT_EQ(detection_.DirectInputCount(), 1);
}

TEST_F(DetectionTest, TheDeviceArrayHoldsAtMostFiftyDevices) {
  for (int i = 0; i < 48; ++i) {
    hidSource_.devices.push_back(
        FakeHidSource::Device("/dev/hidraw" + std::to_string(i), 0x0079, 0x0006, 2, 0, 4));
  }
  AddPad(0);
  AddPad(1, PadCapabilities{kMicrosoft, 0x02FF, false});
  for (int i = 1; i <= 3; ++i) AddJoystick(i, -1);
  detection_.SetApiMode(4);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(detection_.HidCount(), 48);
  EXPECT_EQ(detection_.XInputCount(), 2);
  EXPECT_EQ(detection_.DirectInputCount(), 0) << "no room left in the array";
  EXPECT_EQ(detection_.DeviceCount(), kMaxJoysticks);

  hidSource_.devices.clear();
  pads_.pads = {};
  for (int i = 4; i <= 51; ++i) AddJoystick(i, -1);
  detection_.SetApiMode(0);
  detection_.DetectJoysticks(false);
  EXPECT_EQ(detection_.DirectInputCount(), 50);
  EXPECT_FALSE(records_.Find(joysticks_.attached[50].info.instanceGuid)->present)
      << "the 51st controller is not enumerated";
}

TEST_F(DetectionTest, ReleaseStopsTheMotorsAndLeavesNothingReadable) {
  testing::LogCapture log(true);
  AddPadEverywhere();
  AddStickEverywhere();
  detection_.SetApiMode(4);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(hidSource_.reading.size(), 2u);
  detection_.ReleaseJoysticks();

  EXPECT_TRUE(hidSource_.reading.empty()) << "no HID controller is read after the release";
  EXPECT_EQ(rumble_.calls, (std::vector<FakeRumble::Call>{{0, 0, 0}}));
  EXPECT_TRUE(log.HasMessage("Vibration Disabled"));
  EXPECT_TRUE(log.HasMessage("Disposing DirectInput"));
  EXPECT_EQ(pads_.releaseCount, 1);
  EXPECT_EQ(detection_.DeviceCount(), 0);
  EXPECT_EQ(detection_.DeviceInSlot(0), nullptr);
  for (const TDeviceConfig* record : records_.Snapshot()) {
    EXPECT_FALSE(record->present) << record->GUID;
  }
}

// XInput role.

struct PadIdentityCase {
  const char* label;
  int user;
  std::optional<PadCapabilities> caps;
  const char* guid;
  int32_t puid;
  std::string name;  // from the name table when it lists the product
  int deviceType;
};

class PadIdentityTest : public DetectionTest,
                        public ::testing::WithParamInterface<PadIdentityCase> {};

TEST_P(PadIdentityTest, IdentifierComesFromTheCapabilities) {
  const PadIdentityCase& c = GetParam();
  testing::LogCapture log;
  AddPad(c.user, c.caps);
  detection_.SetApiMode(1);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 1);
  const TDeviceConfig& pad = *detection_.Device(0);
  EXPECT_EQ(pad.GUID, c.guid);
  EXPECT_EQ(pad.PUID, c.puid);
  EXPECT_EQ(pad.Name, c.name);
  EXPECT_EQ(pad.deviceType, c.deviceType);
  EXPECT_EQ(pad.interfaceKind, InterfaceKind::XInput);
  EXPECT_EQ(pad.backendIndex, c.user) << "read at the user index where it answered";
  EXPECT_TRUE(log.HasMessage("Detected XI device[" + std::to_string(c.user) + "]"));
  EXPECT_TRUE(log.HasMessage(std::string("GUID=") + c.guid + ", Name=" + c.name));
  EXPECT_TRUE(log.HasMessage("DetectJoysticks: Detected 1 XI joystick(s)"));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PadIdentityTest,
    ::testing::Values(
        PadIdentityCase{"WithoutCapabilities", 1, std::nullopt, "XInput-0", 0, "XInput Device #1",
                        0},
        PadIdentityCase{"WithCapabilities", 0, PadCapabilities{kMicrosoft, kXbox360, false},
                        "045E028E-1", 0x045E028E, "Xbox 360 Controller", 31},
        PadIdentityCase{"UserIndexCountsFromOne", 2, PadCapabilities{kMicrosoft, kXbox360, false},
                        "045E028E-3", 0x045E028E, "Xbox 360 Controller", 31},
        PadIdentityCase{"WirelessReceiverWithoutProduct", 0, PadCapabilities{0x1234, 0, true},
                        "045E02A1-1", 0x045E02A1, "Xbox 360 Wireless Controller", 31},
        PadIdentityCase{"TableRowWithoutName", 0, PadCapabilities{0x054C, 0x0268, false},
                        "054C0268-1", 0x054C0268, "PS3 Controller", 33},
        PadIdentityCase{"NotInTheTable", 0, PadCapabilities{0x1234, 0x5678, false}, "12345678-1",
                        0x12345678, "XInput Device #1", 0},
        PadIdentityCase{"WiredWithoutProduct", 0, PadCapabilities{0x1234, 0, false}, "12340000-1",
                        0x12340000, "XInput Device #1", 0}),
    [](const ::testing::TestParamInfo<PadIdentityCase>& info) {
      return std::string(info.param.label);
    });

TEST_F(DetectionTest, PadsThatDoNotAnswerAreSkippedWithTheirReason) {
  testing::LogCapture log(true);
  AddPad(1);
  pads_.pads[1]->result = 5;
  AddPad(3);
  detection_.SetApiMode(2);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(Array(), (std::vector<std::pair<std::string, int>>{{"045E028E-4", 0}}));
  EXPECT_TRUE(log.HasMessage("XI device[0] not connected"));
  EXPECT_TRUE(log.HasMessage("XInputGetState failed for index 1 (Error=00000005)"));
  EXPECT_EQ(pads_.refreshCount, 1);
}

TEST_F(DetectionTest, APadTakesNameAndTypeFromTheSameProductOnAnotherInterface) {
  AddPadEverywhere();
  AddPad(1);  // a second pad of the same product
  TDeviceConfig& stored = records_.FindOrCreate("045E028E-1");
  stored.axisMapping = {2, 3, 0, 1, 4, 5, 6, 7};
  ASSERT_TRUE(detection_.InitJoysticks());

  for (const char* guid : {"045E028E-1", "045E028E-2"}) {
    const TDeviceConfig& pad = *records_.Find(guid);
    EXPECT_EQ(pad.Name, "Xbox 360 Controller") << guid;
    EXPECT_EQ(pad.deviceType, 31) << guid;
    ASSERT_NE(pad.resolvedTemplate, nullptr);
    EXPECT_EQ(pad.resolvedTemplate->Id(), "XBOX");
  }
  EXPECT_EQ(stored.axisMapping, (AxisMapping{0, 1, 2, 3, 4, 5, 6, 7}))
      << "pads always read their axes unmapped";
}

TEST_F(DetectionTest, APadIsReadAtItsUserIndexUntilItStopsAnswering) {
  AddPad(1);
  pads_.pads[1]->state.thumbLY = 32767;
  pads_.pads[1]->state.buttons = xinput::kA;
  detection_.SetApiMode(1);
  ASSERT_TRUE(detection_.InitJoysticks());
  TDeviceConfig& pad = *detection_.Device(0);

  DeviceInput input;
  bool displayChanged = false;
  ASSERT_EQ(xinput_.Read(pad, input, displayChanged, ReadOptions{}), 0);
  EXPECT_EQ(input.analog[1], -1000);
  EXPECT_EQ(input.values[2], 1000);
  EXPECT_EQ(input.values[56], 1000);
  EXPECT_TRUE(displayChanged);

  pads_.pads[1].reset();
  EXPECT_EQ(xinput_.Read(pad, input, displayChanged, ReadOptions{}), -1);
  pad.backendIndex = 4;
  EXPECT_EQ(xinput_.Read(pad, input, displayChanged, ReadOptions{}), -1);
}

// DirectInput role.

struct MappingCase {
  std::vector<int> axes;
  AxisMapping mapping;
};

class AutomaticMappingTest : public DetectionTest,
                             public ::testing::WithParamInterface<MappingCase> {};

TEST_P(AutomaticMappingTest, SecondStickFollowsThePresentAxes) {
  JoystickInfo info = FakeJoystickSource::Info(1, 0x1234, 0x0001, {});
  for (int axis : GetParam().axes) info.axisPresent[static_cast<std::size_t>(axis)] = true;
  joysticks_.attached.push_back({info, {}, true});
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());
  const TDeviceConfig& device = *detection_.Device(0);
  EXPECT_EQ(device.axisMapping, GetParam().mapping);
  for (int axis = 0; axis < kAxisCount; ++axis) {
    EXPECT_EQ(device.axisPresent[static_cast<std::size_t>(axis)],
              info.axisPresent[static_cast<std::size_t>(axis)]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AutomaticMappingTest,
    ::testing::Values(MappingCase{{kAxisX, kAxisY, kAxisZ, kAxisRz}, {0, 1, 2, 5, 3, 4, 6, 7}},
                      MappingCase{{kAxisX, kAxisY, kAxisRx, kAxisRy}, {0, 1, 3, 4, 2, 5, 6, 7}},
                      MappingCase{{kAxisX, kAxisY, kAxisZ, kAxisRx, kAxisRy, kAxisRz},
                                  {0, 1, 2, 5, 3, 4, 6, 7}},
                      MappingCase{{kAxisX, kAxisY, kAxisZ, kAxisRx}, {0, 1, 2, 3, 4, 5, 6, 7}}));

TEST_F(DetectionTest, AStoredMappingAndDeadZoneAreKeptAndHandedToTheDevice) {
  TDeviceConfig& stored = AddJoystick(1, -1);
  stored.axisMapping = {2, 3, 0, 1, 4, 5, 6, 7};
  stored.AnalogDeadZone = 1500;
  directInput_.SetAnalogSaturation(9000);
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(stored.axisMapping, (AxisMapping{2, 3, 0, 1, 4, 5, 6, 7}));
  EXPECT_EQ(joysticks_.settings[0].deadZone, 1500);
  EXPECT_EQ(joysticks_.settings[0].saturation, 9000);
}

TEST_F(DetectionTest, AControllerThatCannotBeOpenedIsLeftOut) {
  AddJoystick(1, -1);
  joysticks_.attached[0].opens = false;
  AddJoystick(2, -1);
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(
      Array(),
      (std::vector<std::pair<std::string, int>>{{"{00000000-0000-0000-0000-000000000002}", 0}}));
  EXPECT_EQ(detection_.Device(0)->backendIndex, 0);
  EXPECT_FALSE(records_.Find("{00000000-0000-0000-0000-000000000001}")->present);
}

TEST_F(DetectionTest, ControllerNameComesFromTheSameProductElseFromTheNameTable) {
  testing::LogCapture log;
  AddStickEverywhere();
  TDeviceConfig& hidStick = records_.FindOrCreate("/dev/hidraw1");
  hidSource_.devices[0].productName = "USB Gamepad ";
  joysticks_.attached.push_back({FakeJoystickSource::Info(3, 0x054C, 0x0268, {}), {}, true});
  joysticks_.attached.back().info.productName = "";
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());

  EXPECT_EQ(hidStick.Name, "USB Gamepad");
  EXPECT_EQ(records_.Find("{00000000-0000-0000-0000-000000000002}")->Name, "USB Gamepad");
  const TDeviceConfig& ps3 = *records_.Find("{00000000-0000-0000-0000-000000000003}");
  EXPECT_EQ(ps3.Name, "PS3 Controller");
  EXPECT_EQ(ps3.deviceType, 33);
  EXPECT_TRUE(
      log.HasMessage("Detected a DI joystick: Joystick 2, Joystick 2, 00060079, "
                     "{00000000-0000-0000-0000-000000000002}"));
  EXPECT_TRUE(log.HasMessage("numAxis = 4"));
  EXPECT_TRUE(log.HasMessage("EnumDeviceObject: Axis offset=20 type=502 name="));
  EXPECT_TRUE(log.HasMessage("DetectJoysticks: Detected 2 DI joystick(s)"));
}

TEST_F(DetectionTest, AJoystickIsReadThroughItsMappingUntilReleased) {
  TDeviceConfig& stick = AddJoystick(1, -1);
  stick.axisMapping = {0, 1, 2, 3, 4, 5, 7, 6};
  joysticks_.attached[0].state.axes[kAxisSlider1] = -450;
  joysticks_.attached[0].state.buttons[2] = 0x80;
  detection_.SetApiMode(0);
  ASSERT_TRUE(detection_.InitJoysticks());

  DeviceInput input;
  bool displayChanged = false;
  ReadOptions options;
  options.threshold = 200;
  ASSERT_EQ(directInput_.Read(stick, input, displayChanged, options), 0);
  EXPECT_EQ(input.analog[6], -450) << "logical axis 7 fed by slider 1";
  EXPECT_EQ(input.values[12], 450);
  EXPECT_EQ(input.values[58], 1000);

  directInput_.ReleaseDirectInput();
  EXPECT_EQ(directInput_.Read(stick, input, displayChanged, options), -1);
}

TEST_F(DetectionTest, TheCycleReadsEachDeviceThroughTheInterfaceThatFoundIt) {
  HidDevice gamepad = FakeHidSource::Device("/dev/hidraw0", 0x0079, 0x0011, 4, 1, 12);
  ASSERT_TRUE(ParseHidDescriptor(testing::kGenericGamepad, gamepad.descriptor));
  hidSource_.devices = {gamepad};
  AddPad(0);
  pads_.pads[0]->state.buttons = xinput::kB;
  AddJoystick(3, -1);
  joysticks_.attached.back().state.buttons[2] = 0x80;
  detection_.SetApiMode(4);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_EQ(detection_.DeviceCount(), 3) << "HID, XInput and DirectInput, in this order";

  InputDevices& devices = detection_;
  const auto pressed = [&devices](int device) {
    DeviceInput input;
    bool displayChanged = false;
    std::vector<int> buttons;
    if (devices.Read(device, ReadOptions{}, input, displayChanged) != 0) return buttons;
    for (int b = 1; b <= kPlainButtonCount; ++b) {
      if (input.values[static_cast<std::size_t>(PlainButton(b))] > 0) buttons.push_back(b);
    }
    return buttons;
  };
  DeviceInput input;
  bool displayChanged = false;
  EXPECT_EQ(devices.Read(0, ReadOptions{}, input, displayChanged), -1)
      << "no HID controller is read before its reports are decoded somewhere";

  HidStateTable states;
  states.Reset(1);
  // Sticks centred, hat at rest, button 1 down.
  const std::vector<uint8_t> report = {0x80, 0x80, 0x80, 0x80, 0x18, 0x00, 0x00};
  states.Decode(0, hid_.Devices().at(0).descriptor, report);
  detection_.SetHidStates(&states);

  EXPECT_EQ(pressed(0), std::vector<int>{1});
  EXPECT_EQ(pressed(1), std::vector<int>{2});
  EXPECT_EQ(pressed(2), std::vector<int>{3});
  EXPECT_EQ(devices.Read(3, ReadOptions{}, input, displayChanged), -1);
}

TEST_F(DetectionTest, HidControllersGetTheirLayoutAndMappingInTheHidModes) {
  HidDevice ps4 = FakeHidSource::Device("/dev/hidraw0", 0x054C, 0x05C4, 6, 1, 14);
  HidDevice xboxLike = FakeHidSource::Device("/dev/hidraw1", kMicrosoft, 0x0B13, 5, 1, 16);
  xboxLike.microsoft = true;
  hidSource_.devices = {ps4, xboxLike};
  detection_.SetApiMode(3);
  ASSERT_TRUE(detection_.InitJoysticks());

  const TDeviceConfig& first = *detection_.Device(0);
  EXPECT_EQ(first.Name, "Gamepad");
  EXPECT_EQ(first.deviceType, 34);
  EXPECT_FALSE(first.xboxLayout);
  EXPECT_EQ(first.axisMapping, (AxisMapping{0, 1, 2, 5, 3, 4, 6, 7}));
  const TDeviceConfig& second = *detection_.Device(1);
  EXPECT_TRUE(second.xboxLayout);
  EXPECT_EQ(second.axisMapping, (AxisMapping{0, 1, 3, 4, 2, 5, 6, 7}));
  EXPECT_EQ(second.backendIndex, 1);
  EXPECT_EQ(hid_.Devices().at(1).path, "/dev/hidraw1");
}

TEST_F(DetectionTest, TheCycleReadsEachDeviceThroughItsOwnBackEnd) {
  HidDevice gamepad = FakeHidSource::Device("/dev/hidraw0", 0x0079, 0x0006, 4, 1, 12);
  ASSERT_TRUE(ParseHidDescriptor(testing::kGenericGamepad, gamepad.descriptor));
  hidSource_.devices = {gamepad};
  AddPad(0);
  pads_.pads[0]->state.buttons = xinput::kB;
  AddJoystick(1, -1);
  joysticks_.attached[0].state.buttons[2] = 0x80;
  HidStateTable hidStates;
  detection_.SetHidStates(&hidStates);
  detection_.SetApiMode(4);
  ASSERT_TRUE(detection_.InitJoysticks());
  hidStates.Reset(detection_.HidCount());
  // Centred axes, hat at its null value, button 1 down.
  const uint8_t report[] = {0x80, 0x80, 0x80, 0x80, 0x1F, 0x00, 0x00};
  hidStates.Decode(0, gamepad.descriptor, report);

  InputDevices& devices = detection_;
  DeviceInput input;
  bool displayChanged = false;
  const ReadOptions options;
  ASSERT_EQ(devices.Read(0, options, input, displayChanged), 0);
  EXPECT_EQ(input.values[PlainButton(1)], 1000);
  ASSERT_EQ(devices.Read(1, options, input, displayChanged), 0);
  EXPECT_EQ(input.values[PlainButton(2)], 1000);
  EXPECT_EQ(input.values[PlainButton(1)], 0) << "each read starts from nothing";
  ASSERT_EQ(devices.Read(2, options, input, displayChanged), 0);
  EXPECT_EQ(input.values[PlainButton(3)], 1000);
  EXPECT_EQ(devices.Read(3, options, input, displayChanged), -1);

  detection_.SetHidStates(nullptr);
  EXPECT_EQ(devices.Read(0, options, input, displayChanged), -1);
  detection_.ReleaseJoysticks();
  EXPECT_EQ(devices.Read(1, options, input, displayChanged), -1);
}

}  // namespace
}  // namespace brevanto
