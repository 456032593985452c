#include "platform/linux/hid/HidrawBackend.h"
#include "platform/fake/FixedProfileSource.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/device/DeviceConfigManager.h"
#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyOutput.h"
#include "core/engine/OutputSelection.h"
#include "core/input/DirectInputBackend.h"
#include "core/input/HidDetection.h"
#include "core/input/XInputBackend.h"
#include "core/processing/DeviceDetection.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/Messages.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/TargetWindow.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/GlobalSettings.h"
#include "platform/fake/FakeControllers.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/RecordingEvent.h"
#include "platform/fake/RecordingMessageSink.h"
#include "support/HidDescriptors.h"
#include "support/HidrawTree.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using namespace std::chrono_literals;

constexpr KeyCode kA = 0x41;
constexpr KeyCode kLeft = 0x25;
constexpr WindowId kMainWindow = 1;
constexpr WindowId kEditor = 2;

// Polls until the condition holds or two seconds passed.
bool WaitUntil(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 2s;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(1ms);
  }
  return true;
}

// The program's input side in the HID-only mode over a fake sysfs tree and
// FIFO nodes: the hidraw back end, detection, and a processing cycle driven
// tick by tick into a recording output.
class HidrawEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    records_.SetDefaults(DeviceDefaults{0, {-1, 0, 0, 0, 0, 0, 6, 7}});
    profile_.SetNumberOfJoysticks(2);
    SetKeys(PlainButton(1), kA);
    SetKeys(AxisNegativeButton(1), kLeft);
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &out_);
    SelectOutputMethod(0);
    tracker_.AddWindow(kMainWindow, "Brevanto", "/opt/brevanto/brevanto");
    tracker_.AddWindow(kEditor, "notes.txt", "/usr/bin/editor");
    tracker_.SetForeground(kEditor);
    target_.SetMainWindowHandle(kMainWindow);

    backend_.Connect(detection_);
    detection_.SetProcessingTimer(&timer_);
    detection_.SetSlotStates(&cycle_.Slots());
    detection_.SetApiMode(3);
    cycle_.ResetSlotContainers(profile_);
  }

  void TearDown() override {
    timer_.TimerTerminate();
    for (int slot = 0; slot < profile_.NumberOfJoysticks(); ++slot) {
      for (ButtonAssignment& record : profile_.Joystick(slot)->Buttons()) {
        ForceRelease(record, cycle_.Engine());
      }
    }
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
    backend_.Unload();
    if (writer_ >= 0) ::close(writer_);
    for (KeyCode code = 0; code < kRefCountSize; ++code) {
      ASSERT_EQ(KeyRefCount(code), 0) << std::hex << "code 0x" << code << " still held";
    }
  }

  void SetKeys(int button, KeyCode code) {
    ButtonAssignment& record = profile_.Joystick(0)->Button(button);
    record.kind = AssignmentKind::Keys;
    record.keys[0] = {code, 0, 0, 0};
    record.Derive();
  }

  // The record identity of a controller Plug attached: it has no serial
  // number, so its place below the USB port tells it apart.
  static std::string GuidOf(const std::string& name) {
    testing::HidrawTree::Device device;
    device.name = name;
    return "HID:bus=0003,vendor=0079,product=0006,port=" + testing::HidrawTree::Port(device);
  }

  void Plug(const std::string& name, testing::HidrawTree::Node node) {
    tree_.Add({name, "0003:00000079:00000006", "Generic USB Joystick", &testing::kGenericGamepad,
               "", node});
    // A FIFO without a writer reads as ended; a hidraw node ends only when
    // unplugged. Holding it open for writing (and reading, so the open does
    // not wait for a reader) keeps it alive until the test unplugs it.
    if (writer_ < 0 && node == testing::HidrawTree::Node::Fifo) {
      writer_ = ::open(tree_.NodePath(name).c_str(), O_RDWR | O_NONBLOCK);
      ASSERT_GE(writer_, 0);
      writerNode_ = name;
    }
  }
  void Unplug(const std::string& name) {
    tree_.Remove(name);
    if (name == writerNode_ && writer_ >= 0) {
      ::close(writer_);
      writer_ = -1;
    }
  }

  // Writes one report into the node and waits until the reader decoded it.
  void Send(std::vector<uint8_t> report) {
    ASSERT_GE(writer_, 0);
    const uint64_t before = backend_.ReportsDecoded();
    ASSERT_EQ(::write(writer_, report.data(), report.size()), static_cast<ssize_t>(report.size()));
    ASSERT_TRUE(WaitUntil([&] { return backend_.ReportsDecoded() > before; }));
  }

  // One timer tick; the keys it sent as "41+" (down) and "41-" (up).
  std::vector<std::string> Tick() {
    EXPECT_TRUE(thread_.Fire());
    std::vector<std::string> keys;
    for (const OutputCall& call : out_.Calls()) {
      if (call.op != OutputCall::Op::Key) continue;
      char text[8];
      std::snprintf(text, sizeof text, "%02X%c", static_cast<unsigned>(call.args[0]),
                    (call.args[2] & AbstractEvent::kKeyUp) ? '-' : '+');
      keys.emplace_back(text);
    }
    out_.Clear();
    return keys;
  }

  int DeviceMessages() const {
    int count = 0;
    for (const PostedMessage& m : sink_.Messages()) count += m.message == WM_BRV_DEVICES_CHANGED;
    return count;
  }

  testing::HidrawTree tree_;
  testing::LogCapture log_;
  DeviceConfigManager records_;
  HidrawBackend backend_{tree_.ClassDir(), tree_.DevDir()};
  HidDetection hid_{backend_, records_};
  FakePadSource pads_;
  FakeRumble rumble_;
  FakeJoystickSource joysticks_;
  XInputBackend xinput_{pads_, rumble_, records_};
  DirectInputBackend directInput_{joysticks_, records_, xinput_};
  RecordingMessageSink sink_;
  DeviceDetection detection_{records_, hid_, xinput_, directInput_, sink_};

  GlobalSettings settings_;
  ConfigFile profile_;
  FixedProfileSource profiles_{profile_};
  FakeWindowTracker tracker_;
  TargetWindow target_{tracker_};
  InjectedInput injected_;
  RecordingEvent out_;
  ProcessingCycle cycle_{settings_, profiles_, detection_, target_, injected_, sink_};
  ManualTimerThread thread_;
  ProcessingTimer timer_{thread_, cycle_};
  // The first FIFO node plugged, which Send writes to.
  int writer_ = -1;
  std::string writerNode_;
};

TEST_F(HidrawEndToEnd, ReportsFromTheNodeDriveTheAssignedKeys) {
  Plug("hidraw0", testing::HidrawTree::Node::Fifo);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_TRUE(timer_.TimerInit(settings_.TurboMode));
  EXPECT_TRUE(log_.HasMessage("Initialized HID")) << log_.Text();
  ASSERT_EQ(detection_.DeviceCount(), 1);
  const TDeviceConfig& record = *detection_.DeviceInSlot(0);
  EXPECT_EQ(record.GUID, GuidOf("hidraw0"));
  EXPECT_EQ(record.interfaceKind, InterfaceKind::Hid);
  EXPECT_EQ(record.backendIndex, 0);
  EXPECT_THAT(Tick(), IsEmpty()) << "nothing is pressed before the first report";

  // Generic gamepad report: X, Y, Z, Rz, hat (low nibble, 8 = centred) with
  // buttons 1..4 above it, buttons 5..12, vendor bits.
  Send({0x80, 0x80, 0x80, 0x80, 0x18, 0x00, 0x00});  // button 1
  EXPECT_THAT(Tick(), ElementsAre("41+"));
  Send({0x00, 0x80, 0x80, 0x80, 0x18, 0x00, 0x00});  // and the stick fully left
  EXPECT_THAT(Tick(), ElementsAre("25+"));
  EXPECT_TRUE(cycle_.Slots()[0].pressed[static_cast<std::size_t>(AxisNegativeButton(1))]);
  EXPECT_THAT(Tick(), IsEmpty()) << "a held state repeats nothing";
  Send({0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0x00});  // everything released
  EXPECT_THAT(Tick(), ::testing::UnorderedElementsAre("41-", "25-"));
}

TEST_F(HidrawEndToEnd, PluggingAndUnpluggingRedetectsInTheNextCycle) {
  Plug("hidraw0", testing::HidrawTree::Node::Fifo);
  // A node the user may not open is listed, but neither read nor given a slot.
  Plug("hidraw1", testing::HidrawTree::Node::Socket);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_TRUE(timer_.TimerInit(settings_.TurboMode));
  ASSERT_EQ(detection_.DeviceCount(), 1);
  const int messagesAfterStart = DeviceMessages();
  Tick();
  EXPECT_FALSE(detection_.DeviceChangePending());

  Unplug("hidraw1");
  ASSERT_TRUE(WaitUntil([&] { return detection_.DeviceChangePending(); }));
  Tick();
  EXPECT_FALSE(detection_.DeviceChangePending());
  EXPECT_EQ(detection_.DeviceCount(), 1);
  EXPECT_EQ(DeviceMessages(), messagesAfterStart) << "the count did not change";

  // The remaining controller is still read after the re-detection.
  Send({0x80, 0x80, 0x80, 0x80, 0x18, 0x00, 0x00});
  EXPECT_THAT(Tick(), ElementsAre("41+"));
  Send({0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0x00});
  EXPECT_THAT(Tick(), ElementsAre("41-"));

  // Unplugging it: the node goes and its stream ends.
  Unplug("hidraw0");
  ASSERT_TRUE(WaitUntil([&] { return detection_.DeviceChangePending(); }));
  Tick();
  EXPECT_EQ(detection_.DeviceCount(), 0);
  EXPECT_EQ(DeviceMessages(), messagesAfterStart + 1);

  // Plugged in again: found and read at the same slot.
  Plug("hidraw0", testing::HidrawTree::Node::Fifo);
  ASSERT_TRUE(WaitUntil([&] { return detection_.DeviceChangePending(); }));
  Tick();
  ASSERT_EQ(detection_.DeviceCount(), 1);
  EXPECT_EQ(detection_.DeviceInSlot(0)->GUID, GuidOf("hidraw0"));
  Send({0x80, 0x80, 0x80, 0x80, 0x18, 0x00, 0x00});
  EXPECT_THAT(Tick(), ElementsAre("41+"));
  Send({0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0x00});
  EXPECT_THAT(Tick(), ElementsAre("41-"));
}

TEST_F(HidrawEndToEnd, ANodeThatCannotBeOpenedTakesNoSlotAndIsLoggedOnce) {
  Plug("hidraw0", testing::HidrawTree::Node::Socket);
  Plug("hidraw1", testing::HidrawTree::Node::Fifo);
  ASSERT_TRUE(detection_.InitJoysticks());
  ASSERT_TRUE(timer_.TimerInit(settings_.TurboMode));
  ASSERT_EQ(detection_.DeviceCount(), 1);
  EXPECT_EQ(detection_.DeviceInSlot(0)->GUID, GuidOf("hidraw1"));
  EXPECT_EQ(detection_.DeviceInSlot(1), nullptr);
  const TDeviceConfig* locked = records_.Find(GuidOf("hidraw0"));
  ASSERT_NE(locked, nullptr) << "listed all the same";
  EXPECT_TRUE(locked->present);
  EXPECT_EQ(locked->assignedSlot, -1);
  EXPECT_EQ(locked->backendIndex, -1);
  Send({0x80, 0x80, 0x80, 0x80, 0x18, 0x00, 0x00});
  EXPECT_THAT(Tick(), ElementsAre("41+")) << "the readable controller is joystick 1";
  Send({0x80, 0x80, 0x80, 0x80, 0x08, 0x00, 0x00});
  EXPECT_THAT(Tick(), ElementsAre("41-"));

  detection_.DetectJoysticks(true);
  detection_.DetectJoysticks(true);
  const std::string line = "DetectHid: Cannot open " + tree_.NodePath("hidraw0") +
                           " for reading; the controller is not read (see docs/hid.md, "
                           "\"Granting read access\")";
  EXPECT_EQ(log_.Count(line), 1) << log_.Text();

  // Plugged in again, the node is named again.
  Unplug("hidraw0");
  detection_.DetectJoysticks(true);
  Plug("hidraw0", testing::HidrawTree::Node::Socket);
  detection_.DetectJoysticks(true);
  EXPECT_EQ(log_.Count(line), 2) << log_.Text();
}

TEST_F(HidrawEndToEnd, OutsideTheHidModesControllersAreListedButNotRead) {
  tree_.Add({"hidraw0", "0003:00000079:00000006", "Pad", &testing::kGenericGamepad, ""});
  detection_.SetApiMode(2);
  ASSERT_TRUE(detection_.InitJoysticks());
  EXPECT_EQ(detection_.DeviceCount(), 0);
  const TDeviceConfig* record = records_.Find(GuidOf("hidraw0"));
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record->present);
  EXPECT_EQ(record->backendIndex, -1);
  const int fd = ::open(tree_.NodePath("hidraw0").c_str(), O_WRONLY | O_NONBLOCK);
  EXPECT_LT(fd, 0) << "no reader holds the node open";
  if (fd >= 0) ::close(fd);
}

// Where hidraw cannot be used, the HID modes fall back to mode 2.
struct LoadCase {
  const char* label;
  bool classDirExists;
  bool devDirExists;
  int mode;
  bool loads;
  int resultingMode;
};

class HidrawLoadTest : public ::testing::TestWithParam<LoadCase> {};

TEST_P(HidrawLoadTest, NeedsTheClassFolderAndAWatchableDeviceFolder) {
  const LoadCase& c = GetParam();
  testing::HidrawTree tree;
  testing::LogCapture log;
  const std::string classDir = c.classDirExists ? tree.ClassDir() : tree.ClassDir() + "/missing";
  const std::string devDir = c.devDirExists ? tree.DevDir() : tree.DevDir() + "/missing";
  DeviceConfigManager records;
  HidrawBackend backend(classDir, devDir);
  HidDetection hid(backend, records);
  FakePadSource pads;
  FakeRumble rumble;
  FakeJoystickSource joysticks;
  XInputBackend xinput(pads, rumble, records);
  DirectInputBackend directInput(joysticks, records, xinput);
  RecordingMessageSink sink;
  DeviceDetection detection(records, hid, xinput, directInput, sink);
  detection.SetApiMode(c.mode);

  ASSERT_TRUE(detection.InitJoysticks());
  EXPECT_EQ(backend.Loaded(), c.loads);
  EXPECT_EQ(detection.ApiMode(), c.resultingMode);
  EXPECT_TRUE(log.HasMessage("Loading hidraw"));
  EXPECT_EQ(log.HasMessage("Initialized HID"), c.loads);
  EXPECT_EQ(log.HasMessage("Falling back Input API mode to 2"), c.mode != c.resultingMode);
  if (!c.classDirExists) {
    EXPECT_TRUE(log.Contains("LoadHid: " + classDir + " is missing")) << log.Text();
  } else if (!c.devDirExists) {
    EXPECT_TRUE(log.Contains("HidrawWatcher: Cannot watch " + devDir)) << log.Text();
  }
}

INSTANTIATE_TEST_SUITE_P(
    Folders, HidrawLoadTest,
    ::testing::Values(LoadCase{"Present", true, true, 3, true, 3},
                      LoadCase{"NoHidrawSupportMode3", false, true, 3, false, 2},
                      LoadCase{"NoHidrawSupportMode4", false, true, 4, false, 2},
                      LoadCase{"NoHidrawSupportMode1", false, true, 1, false, 1},
                      LoadCase{"DeviceFolderNotWatchable", true, false, 4, false, 2}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.label); });

TEST(HidrawBackend, StopsPromptlyWhileWaitingForReports) {
  testing::HidrawTree tree;
  tree.Add({"hidraw0", "0003:00000079:00000006", "Pad", &testing::kGenericGamepad, ""});
  HidrawBackend backend(tree.ClassDir(), tree.DevDir());
  ASSERT_TRUE(backend.Load());
  EXPECT_TRUE(backend.Load()) << "loading again keeps the running reader";
  std::vector<HidDevice> devices;
  ASSERT_TRUE(backend.Enumerate(devices));
  ASSERT_EQ(devices.size(), 1u);
  backend.ReadDevices(devices);
  EXPECT_EQ(backend.States().Count(), 1);

  const auto start = std::chrono::steady_clock::now();
  backend.Unload();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  EXPECT_FALSE(backend.Loaded());
  EXPECT_EQ(backend.States().Count(), 0) << "nothing is readable once unloaded";
  const int fd = ::open(tree.NodePath("hidraw0").c_str(), O_WRONLY | O_NONBLOCK);
  EXPECT_LT(fd, 0) << "the node was closed";
  if (fd >= 0) ::close(fd);
}

}  // namespace
}  // namespace brevanto
