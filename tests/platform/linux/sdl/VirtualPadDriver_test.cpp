#include "platform/linux/sdl/VirtualPadDriver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <map>
#include <string>

#include "core/processing/ReplayScript.h"
#include "platform/linux/sdl/SdlTestStack.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;
using testing::SdlTest;

constexpr const char* kScript =
    "device 1 xinput\n"
    "device 2 dinput\n"
    "5 1 a 1\n"
    "5 1 lt 255\n"
    "5 1 ly 32767\n"
    "5 2 x -1000\n"
    "5 2 pov1 9000\n"
    "5 2 b40 1\n"
    "10 1 a 0\n"
    "end 20\n";

const VirtualPadDriver::Clock::time_point kStart{std::chrono::hours(1)};

ReplayScript Parse(const char* text) {
  ReplayParseResult parsed = ParseReplayScript(text);
  EXPECT_TRUE(parsed.script) << parsed.error;
  return parsed.script.value_or(ReplayScript{});
}

// The driver plays by a clock of the test's own; the first pump starts it.
class VirtualPadDriverTest : public SdlTest {
 protected:
  std::unique_ptr<VirtualPadDriver> Start(int periodMs) {
    std::string error;
    auto driver =
        VirtualPadDriver::Create(Parse(kScript), pump_, periodMs, error, [this] { return now_; });
    EXPECT_NE(driver, nullptr) << error;
    Update();
    EXPECT_TRUE(detection_.InitJoysticks());
    return driver;
  }

  // Plays the moment and reads both controllers: the active virtual buttons
  // of the pad (slot 1) and of the joystick (slot 2).
  std::pair<std::map<int, int>, std::map<int, int>> At(std::chrono::milliseconds elapsed) {
    now_ = kStart + elapsed;
    Update();
    std::pair<std::map<int, int>, std::map<int, int>> active;
    DeviceInput input;
    bool displayChanged = false;
    ReadOptions options;
    options.threshold = 200;
    EXPECT_EQ(xinput_.Read(*detection_.DeviceInSlot(0), input, displayChanged, options), 0);
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      if (input.values[static_cast<std::size_t>(i)])
        active.first[i] = input.values[static_cast<std::size_t>(i)];
    }
    EXPECT_EQ(directInput_.Read(*detection_.DeviceInSlot(1), input, displayChanged, options), 0);
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      if (input.values[static_cast<std::size_t>(i)])
        active.second[i] = input.values[static_cast<std::size_t>(i)];
    }
    return active;
  }

  VirtualPadDriver::Clock::time_point now_ = kStart;
};

TEST_F(VirtualPadDriverTest, AttachesAnXboxPadAndAGenericJoystickThatAreDetectedLikeRealOnes) {
  auto driver = Start(16);
  EXPECT_EQ(driver->AttachedCount(), 2);
  ASSERT_EQ(detection_.DeviceCount(), 2);
  const TDeviceConfig& pad = *detection_.DeviceInSlot(0);
  EXPECT_EQ(pad.interfaceKind, InterfaceKind::XInput);
  EXPECT_EQ(pad.GUID, "045E028E-1");
  const TDeviceConfig& joystick = *detection_.DeviceInSlot(1);
  EXPECT_EQ(joystick.interfaceKind, InterfaceKind::DirectInput);
  EXPECT_EQ(joystick.Name, VirtualPadDriver::kJoystickName);
  EXPECT_EQ(joystick.numAxes, kAxisCount);
  EXPECT_EQ(joystick.numPovs, kPovCount);
  EXPECT_EQ(joystick.numButtons, kPlainButtonCount);
}

TEST_F(VirtualPadDriverTest, TicksBecomeTimeWithThePeriodAndEverythingRestsAfterTheEnd) {
  auto driver = Start(16);
  const std::map<int, int> none;
  EXPECT_EQ(At(79ms), std::make_pair(none, none)) << "tick 4";

  const auto [pad, joystick] = At(80ms);  // tick 5
  EXPECT_EQ(pad, (std::map<int, int>{{2, 1000}, {9, 1000}, {56, 1000}, {66, 1000}}));
  EXPECT_EQ(joystick, (std::map<int, int>{{0, 1000}, {18, 1000}, {PlainButton(40), 1000}}));

  EXPECT_EQ(At(160ms).first.count(56), 0u) << "released at tick 10";
  EXPECT_EQ(At(20 * 16ms).second.count(0), 1u) << "the end tick still holds";
  EXPECT_FALSE(driver->Finished());
  EXPECT_EQ(At(21 * 16ms), std::make_pair(none, none));
  EXPECT_TRUE(driver->Finished());
}

TEST_F(VirtualPadDriverTest, AFasterPeriodPlaysTheScriptSooner) {
  auto driver = Start(4);
  EXPECT_EQ(At(19ms).first.count(56), 0u);
  EXPECT_EQ(At(20ms).first.count(56), 1u);
}

TEST_F(VirtualPadDriverTest, PlayingCanStartAtAnyMomentAndTheDriversEndDetachesThem) {
  auto driver = Start(16);
  driver->ApplyAt(100ms);  // tick 6
  SDL_JoystickUpdate();
  DeviceInput input;
  bool displayChanged = false;
  ASSERT_EQ(xinput_.Read(*detection_.DeviceInSlot(0), input, displayChanged, ReadOptions{}), 0);
  EXPECT_EQ(input.values[56], 1000);

  driver.reset();
  EXPECT_TRUE(pump_.Pump());
  detection_.DetectJoysticks(false);
  EXPECT_EQ(detection_.DeviceCount(), 0);
}

TEST_F(VirtualPadDriverTest, AScriptThatCannotBeUsedAttachesNothing) {
  testing::TempDir dir;
  dir.Write("bad.txt", "device 1 joystick\nend 5\n");
  struct Case {
    std::string path;
    std::string error;
  };
  for (const Case& c : {Case{dir.File("missing.txt"), "cannot read"},
                        Case{dir.File("bad.txt"), "line 1: unknown device type"}}) {
    std::string error;
    EXPECT_EQ(VirtualPadDriver::FromFile(c.path, pump_, 16, error), nullptr);
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
    EXPECT_EQ(SDL_NumJoysticks(), 0);
  }
}

}  // namespace
}  // namespace brevanto
