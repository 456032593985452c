#include "core/processing/ProcessingCycle.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyOutput.h"
#include "core/engine/OutputSelection.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/Messages.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/ReplayScript.h"
#include "core/processing/TargetWindow.h"
#include "core/processing/Vibration.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/GlobalSettings.h"
#include "platform/fake/FakeControllers.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/RecordingEvent.h"
#include "platform/fake/RecordingMessageSink.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/fake/ScriptedInputDevices.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::LogCapture;

constexpr KeyCode kA = 0x41;
constexpr KeyCode kB = 0x42;
constexpr KeyCode kC = 0x43;

constexpr WindowId kMainWindow = 1;
constexpr WindowId kEditor = 2;
constexpr WindowId kDeviceDialog = 3;

// The profile side of the program, reduced to what the cycle needs: a few
// named profiles, and a switch that lets go of the old profile's output and
// hands the new profile's containers to the slots, as the profile manager does.
class TestProfiles final : public ProfileSource {
 public:
  ConfigFile* Current() const override { return current; }
  int SwitchTo(const std::string& name) override {
    requests.push_back(name);
    const auto it = byName.find(name);
    if (it == byName.end()) return 1;
    if (it->second == current) return 0;
    ReleaseAll(*current);
    current = it->second;
    cycle->ResetSlotContainers(*current);
    return 0;
  }
  void ReleaseAll(ConfigFile& profile) const {
    for (int slot = 0; slot < profile.NumberOfJoysticks(); ++slot) {
      for (ButtonAssignment& record : profile.Joystick(slot)->Buttons()) {
        ForceRelease(record, cycle->Engine());
      }
    }
  }

  std::map<std::string, ConfigFile*> byName;
  ConfigFile* current = nullptr;
  ProcessingCycle* cycle = nullptr;
  std::vector<std::string> requests;
};

// One program's worth of processing driven tick by tick: a replay script
// plays the controllers, the output is recorded.
class ProcessingCycleTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_.SetNumberOfJoysticks(3);
    other_.SetNumberOfJoysticks(3);
    profiles_.byName = {{"Main", &main_}, {"Other", &other_}};
    profiles_.current = &main_;
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &out_);
    SelectOutputMethod(0);
    tracker_.AddWindow(kMainWindow, "Brevanto", "/opt/brevanto/brevanto");
    tracker_.AddWindow(kEditor, "notes.txt", "/usr/bin/editor");
    tracker_.AddWindow(kDeviceDialog, "Device", "/opt/brevanto/brevanto");
    tracker_.SetForeground(kEditor);
    target_.SetMainWindowHandle(kMainWindow);
  }

  void TearDown() override {
    if (timer_) timer_->TimerTerminate();
    if (cycle_) {
      profiles_.ReleaseAll(main_);
      profiles_.ReleaseAll(other_);
    }
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
    SetRepeatSameKeyInSequence(false);
    // Key counts are process-wide: nothing may stay held for the next test.
    for (KeyCode code = 0; code < kRefCountSize; ++code) {
      ASSERT_EQ(KeyRefCount(code), 0) << std::hex << "code 0x" << code << " still held";
    }
  }

  static void Keys(ConfigFile& profile, int joystick, int button, KeyCode code) {
    ButtonAssignment& record = profile.Joystick(joystick - 1)->Button(button);
    record.kind = AssignmentKind::Keys;
    record.keys[0] = {code, 0, 0, 0};
    record.Derive();
  }
  static void JoystickSwitch(ConfigFile& profile, int joystick, int button, int target,
                             int32_t delay = 0) {
    ButtonAssignment& record = profile.Joystick(joystick - 1)->Button(button);
    record.kind = AssignmentKind::JoystickSwitch;
    record.targetJoystick = target - 1;
    record.switchDelay = delay;
  }
  static void ProfileSwitch(ConfigFile& profile, int button, const std::string& name) {
    ButtonAssignment& record = profile.Joystick(0)->Button(button);
    record.kind = AssignmentKind::ProfileSwitch;
    record.targetName = name;
  }

  // Starts processing with the script's controllers.
  void Start(const std::string& script) {
    ReplayParseResult parsed = ParseReplayScript(script);
    ASSERT_TRUE(parsed.script) << parsed.error;
    source_ = std::make_unique<ScriptedDeviceSource>(std::move(*parsed.script));
    devices_ = std::make_unique<ScriptedInputDevices>(
        *source_, DeviceDefaults{settings_.AnalogDeadZone, settings_.DefaultAxisMapping});
    cycle_ = std::make_unique<ProcessingCycle>(settings_, profiles_, *devices_, target_, injected_,
                                               sink_);
    profiles_.cycle = cycle_.get();
    cycle_->ResetSlotContainers(*profiles_.current);
    timer_ = std::make_unique<ProcessingTimer>(thread_, *cycle_);
    ASSERT_TRUE(timer_->TimerInit(settings_.TurboMode));
  }

  // Runs the cycles up to and including tick; returns the output as
  // "tick:41+" for a key going down, "tick:41-" for one going up, and the
  // recording's text for other calls.
  std::vector<std::string> RunTo(int32_t tick) {
    std::vector<std::string> events;
    while (timer_->Tick() < tick) {
      source_->AdvanceTo(timer_->Tick() + 1);
      thread_.Fire();
      for (const OutputCall& call : out_.Calls()) {
        events.push_back(std::to_string(timer_->Tick()) + ":" + Text(call));
      }
      out_.Clear();
    }
    return events;
  }

  static std::string Text(const OutputCall& call) {
    if (call.op != OutputCall::Op::Key) return call.Text();
    char text[8];
    std::snprintf(text, sizeof text, "%02X%c", static_cast<unsigned>(call.args[0]),
                  (call.args[2] & AbstractEvent::kKeyUp) ? '-' : '+');
    return text;
  }

  std::vector<uint32_t> PostedMessages() const {
    std::vector<uint32_t> numbers;
    for (const PostedMessage& m : sink_.Messages()) numbers.push_back(m.message);
    return numbers;
  }

  bool Pressed(int slot, int button) const {
    return cycle_->Slots()[static_cast<std::size_t>(slot)]
        .pressed[static_cast<std::size_t>(button)];
  }

  GlobalSettings settings_;
  ConfigFile main_;
  ConfigFile other_;
  TestProfiles profiles_;
  FakeWindowTracker tracker_;
  TargetWindow target_{tracker_};
  InjectedInput injected_;
  RecordingMessageSink sink_;
  RecordingEvent out_;
  ManualTimerThread thread_;
  std::unique_ptr<ScriptedDeviceSource> source_;
  std::unique_ptr<ScriptedInputDevices> devices_;
  std::unique_ptr<ProcessingCycle> cycle_;
  std::unique_ptr<ProcessingTimer> timer_;
};

TEST_F(ProcessingCycleTest, HeldButtonPressesAndReleasesItsKeys) {
  Keys(main_, 1, PlainButton(1), kA);
  Keys(main_, 2, PlainButton(1), kB);
  Start("device 2 xinput\n2 1 b1 1\n4 1 b1 0\n3 2 a 1\n5 2 a 0\nend 6\n");
  EXPECT_THAT(RunTo(6), ElementsAre("2:41+", "3:42+", "4:41-", "5:42-"));
}

TEST_F(ProcessingCycleTest, KeySendModeOfTheProfileChoosesTheOutputMethod) {
  RecordingEvent scanCodes;
  RegisterOutputMethod(2, &scanCodes);
  main_.KeySendMode = 2;
  Keys(main_, 1, PlainButton(1), kA);
  Start("1 1 b1 1\n2 1 b1 0\nend 2\n");
  EXPECT_THAT(RunTo(2), IsEmpty());
  EXPECT_EQ(scanCodes.Calls().size(), 2u);
  EXPECT_EQ(CurrentOutputMode(), 2);
}

// The program's own windows: the main window and the device dialog belong to
// it, the editor does not. Button 1 is pressed at tick 2, the stick moves at
// tick 3.
struct ForegroundCase {
  const char* name;
  WindowId foreground;
  bool skipForegroundProcessing;
  bool showMainForm;
  bool dialogOpen;
  bool keysSent;
  std::vector<uint32_t> messages;
};

class ForegroundTest : public ProcessingCycleTest,
                       public ::testing::WithParamInterface<ForegroundCase> {};

TEST_P(ForegroundTest, OwnWindowsGetInputOnlyAsTheSettingsAllow) {
  const ForegroundCase& c = GetParam();
  settings_.SkipForegroundProcessing = c.skipForegroundProcessing;
  tracker_.SetForeground(c.foreground);
  Keys(main_, 1, PlainButton(1), kA);
  Start("2 1 b1 1\n3 1 x 600\nend 3\n");
  cycle_->SetShowMainForm(c.showMainForm);
  if (c.dialogOpen) cycle_->PublishDeviceDialog(kDeviceDialog);

  const std::vector<std::string> events = RunTo(3);

  EXPECT_EQ(!events.empty(), c.keysSent);
  EXPECT_EQ(PostedMessages(), c.messages);
  EXPECT_TRUE(Pressed(0, PlainButton(1))) << "the highlight follows the controller";
  EXPECT_TRUE(Pressed(0, AxisPositiveButton(1)));
}

INSTANTIATE_TEST_SUITE_P(
    Windows, ForegroundTest,
    ::testing::Values(
        ForegroundCase{"MainWindowShownWithSkip",
                       kMainWindow,
                       true,
                       true,
                       false,
                       false,
                       {WM_BRV_BUTTONS_CHANGED, WM_BRV_BUTTONS_CHANGED}},
        ForegroundCase{"MainWindowWithoutSkip",
                       kMainWindow,
                       false,
                       true,
                       false,
                       true,
                       {WM_BRV_BUTTONS_CHANGED, WM_BRV_BUTTONS_CHANGED}},
        ForegroundCase{"MainWindowNotShownFromTheTray",
                       kMainWindow,
                       true,
                       false,
                       false,
                       true,
                       {WM_BRV_BUTTONS_CHANGED, WM_BRV_BUTTONS_CHANGED}},
        ForegroundCase{"OtherApplication", kEditor, true, true, false, true, {}},
        ForegroundCase{"DeviceDialogInFrontWhateverTheSettings",
                       kDeviceDialog,
                       false,
                       false,
                       true,
                       false,
                       {WM_BRV_BUTTONS_CHANGED, WM_BRV_BUTTONS_CHANGED, WM_BRV_ANALOG_CHANGED}},
        ForegroundCase{"DeviceDialogOpenBehindAnotherWindow", kEditor, true, true, true, true, {}}),
    [](const ::testing::TestParamInfo<ForegroundCase>& info) { return info.param.name; });

// A key held when the program's own window comes to the front goes up then:
// the user types there. Back in the other window, a button still held presses
// its key again.
struct OwnWindowHoldCase {
  const char* name;
  const char* script;
  std::vector<std::string> events;
};

class OwnWindowHoldTest : public ProcessingCycleTest,
                          public ::testing::WithParamInterface<OwnWindowHoldCase> {};

TEST_P(OwnWindowHoldTest, KeysHeldWhenTheMainWindowComesToTheFrontGoUp) {
  settings_.SkipForegroundProcessing = true;
  tracker_.SetForeground(kEditor);
  Keys(main_, 1, PlainButton(1), kA);
  Start(GetParam().script);

  std::vector<std::string> events = RunTo(3);
  tracker_.SetForeground(kMainWindow);
  for (std::string& e : RunTo(6)) events.push_back(e);
  tracker_.SetForeground(kEditor);
  for (std::string& e : RunTo(9)) events.push_back(e);

  EXPECT_EQ(events, GetParam().events);
}

INSTANTIATE_TEST_SUITE_P(
    Holds, OwnWindowHoldTest,
    ::testing::Values(
        OwnWindowHoldCase{"LetGoInFront", "2 1 b1 1\n5 1 b1 0\nend 9\n", {"2:41+", "4:41-"}},
        OwnWindowHoldCase{"StillHeldOnReturn", "2 1 b1 1\nend 9\n", {"2:41+", "4:41-", "7:41+"}}),
    [](const ::testing::TestParamInfo<OwnWindowHoldCase>& info) { return info.param.name; });

TEST_F(ProcessingCycleTest, ProfileSwitchTakesEffectFromTheNextCycle) {
  LogCapture log;
  ProfileSwitch(main_, PlainButton(1), "Other");
  Keys(main_, 1, PlainButton(2), kA);
  Keys(other_, 1, PlainButton(2), kB);
  // Button 1 is let go at tick 3 (a switch without delay fires on release)
  // while button 2 is held from tick 3 on.
  Start("2 1 b1 1\n3 1 b1 0\n3 1 b2 1\nend 5\n");

  EXPECT_THAT(RunTo(5), ElementsAre("3:41+", "3:41-", "4:42+"));
  EXPECT_THAT(profiles_.requests, ElementsAre("Other"));
  EXPECT_EQ(profiles_.current, &other_);
  EXPECT_TRUE(log.HasMessage("Switching to profile: Other"));
}

// Button 2 is held from tick 2 on; button 1 switches to the other profile at
// the end of tick 3, so tick 4 is the first cycle of the new profile.
struct IgnoreCase {
  const char* name;
  int32_t ignoreMs;
  int turboMode;
  const char* laterInput;  // script lines after the switch
  int32_t endTick;
  std::vector<std::string> expected;
};

class ProfileChangeIgnoreTest : public ProcessingCycleTest,
                                public ::testing::WithParamInterface<IgnoreCase> {};

TEST_P(ProfileChangeIgnoreTest, HeldButtonsWaitInTheNewProfile) {
  const IgnoreCase& c = GetParam();
  settings_.IgnoreInputAfterProfileSwitch = c.ignoreMs;
  settings_.TurboMode = c.turboMode;
  ProfileSwitch(main_, PlainButton(1), "Other");
  Keys(main_, 1, PlainButton(2), kA);
  Keys(other_, 1, PlainButton(2), kB);
  Start(std::string("2 1 b2 1\n2 1 b1 1\n3 1 b1 0\n") + c.laterInput + "end " +
        std::to_string(c.endTick) + "\n");

  std::vector<std::string> expected{"2:41+", "3:41-"};
  expected.insert(expected.end(), c.expected.begin(), c.expected.end());
  EXPECT_EQ(RunTo(c.endTick), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Policies, ProfileChangeIgnoreTest,
    ::testing::Values(
        IgnoreCase{"ImmediatelyEffective", 0, 0, "", 40, {"4:42+"}},
        // 500 ms are 31 cycles of holding: ticks 4 to 34.
        IgnoreCase{"For31CyclesAt500Ms", 500, 0, "", 40, {"35:42+"}},
        IgnoreCase{"For62CyclesAt500MsInDoubleSpeed", 500, 1, "", 70, {"66:42+"}},
        IgnoreCase{"ReleaseEndsTheIgnoreEarly", 500, 0, "10 1 b2 0\n12 1 b2 1\n", 40, {"12:42+"}},
        IgnoreCase{"UntilReleasedHoweverLongItIsHeld",
                   -1,
                   0,
                   "100 1 b2 0\n102 1 b2 1\n",
                   105,
                   {"102:42+"}}),
    [](const ::testing::TestParamInfo<IgnoreCase>& info) { return info.param.name; });

TEST_F(ProcessingCycleTest, ProfileChangeLogsThePolicyAndTheIgnoredButtons) {
  LogCapture log(true);
  settings_.IgnoreInputAfterProfileSwitch = -1;
  ProfileSwitch(main_, PlainButton(1), "Other");
  Start("2 1 b2 1\n2 1 b1 1\n3 1 b1 0\n6 1 b2 0\nend 6\n");
  RunTo(6);
  EXPECT_TRUE(log.HasMessage(
      "Profile is changed - already pressed buttons are ignored until they're released once"));
  EXPECT_TRUE(log.HasMessage("Button[57]: Input will be ignored for -1"));
  EXPECT_TRUE(
      log.HasMessage("Button[57]: Button is released so input will take effect from now on"));
}

// Joystick 1's button 5 switches to joystick 3 while held (ticks 3 to 5).
// Button 2 does the same in both joysticks, button 3 differs.
struct ShiftCase {
  const char* name;
  int32_t shiftIgnoreMs;
  std::vector<std::string> expected;
};

class JoystickSwitchTest : public ProcessingCycleTest,
                           public ::testing::WithParamInterface<ShiftCase> {};

TEST_P(JoystickSwitchTest, HeldKeyOfTheSameEffectStaysDownAcrossTheSwitch) {
  LogCapture log(true);
  settings_.IgnoreInputAfterShiftSwitch = GetParam().shiftIgnoreMs;
  JoystickSwitch(main_, 1, PlainButton(5), 3);
  Keys(main_, 1, PlainButton(2), kA);
  Keys(main_, 3, PlainButton(2), kA);
  Keys(main_, 1, PlainButton(3), kC);
  Keys(main_, 3, PlainButton(3), kB);
  Start("1 1 b2 1\n1 1 b3 1\n3 1 b5 1\n6 1 b5 0\nend 8\n");

  EXPECT_EQ(RunTo(8), GetParam().expected);
  EXPECT_TRUE(log.HasMessage("Switching PhysicalDevice[0] temporarily to pJoystick[2]"));
  EXPECT_TRUE(log.HasMessage("Switching PhysicalDevice[0] back to pJoystick[0]"));
  EXPECT_TRUE(log.HasMessage("Button[57]: The same effect => Hand over input"));
  EXPECT_TRUE(log.HasMessage("Button[58]: Different effect => Released input effect"));
}

INSTANTIATE_TEST_SUITE_P(
    Shifts, JoystickSwitchTest,
    ::testing::Values(ShiftCase{"DifferentEffectTakesOverAtOnce",
                                0,
                                {"1:41+", "1:43+", "3:43-", "3:42+", "6:42-", "6:43+"}},
                      // 32 ms are 2 cycles: the new assignment of button 3 waits for them.
                      ShiftCase{"DifferentEffectWaitsForTheShiftIgnore",
                                32,
                                {"1:41+", "1:43+", "3:43-", "5:42+", "6:42-", "8:43+"}}),
    [](const ::testing::TestParamInfo<ShiftCase>& info) { return info.param.name; });

TEST_F(ProcessingCycleTest, SwitchTargetsOwnControllerIsNotProcessedMeanwhile) {
  JoystickSwitch(main_, 1, PlainButton(5), 3);
  Keys(main_, 3, PlainButton(1), kA);
  // Joystick 3's own controller holds button 1 while joystick 1 borrows its
  // assignments; it drives them again once the switch ends.
  Start("device 3 dinput\n2 1 b5 1\n3 3 b1 1\n5 1 b5 0\nend 5\n");

  EXPECT_THAT(RunTo(4), IsEmpty());
  EXPECT_FALSE(Pressed(2, PlainButton(1)));
  EXPECT_THAT(RunTo(5), ElementsAre("5:41+"));
  EXPECT_TRUE(Pressed(2, PlainButton(1)));
}

// Each joystick's button 2 sends its own key (A, B, C for joysticks 1-3);
// button 5 is held from tick 2 on together with button 2.
struct ChainCase {
  const char* name;
  std::vector<std::array<int, 3>> switches;  // joystick, target, delay ms
  std::vector<std::string> expected;
};

class SwitchChainTest : public ProcessingCycleTest,
                        public ::testing::WithParamInterface<ChainCase> {};

TEST_P(SwitchChainTest, FollowsChainsAndEntersEachJoystickOnce) {
  for (int joystick = 1; joystick <= 3; ++joystick) {
    Keys(main_, joystick, PlainButton(2), static_cast<KeyCode>(kA + joystick - 1));
  }
  for (const auto& [joystick, target, delay] : GetParam().switches) {
    JoystickSwitch(main_, joystick, PlainButton(5), target, delay);
  }
  Start("1 1 b2 1\n2 1 b5 1\nend 12\n");
  EXPECT_EQ(RunTo(12), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Chains, SwitchChainTest,
    ::testing::Values(
        ChainCase{"TwoSwitchesPointingAtEachOtherStopAtTheSecond",
                  {{1, 2, 0}, {2, 1, 0}},
                  {"1:41+", "2:41-", "2:42+"}},
        ChainCase{"ChainIsFollowed", {{1, 2, 0}, {2, 3, 0}}, {"1:41+", "2:41-", "2:43+"}},
        ChainCase{"TargetBeyondTheProfilesJoysticksIsIgnored", {{1, 5, 0}}, {"1:41+"}},
        // Held since tick 2: 160 ms are reached at tick 12.
        ChainCase{
            "DelayedSwitchWaitsUntilHeldLongEnough", {{1, 2, 160}}, {"1:41+", "12:41-", "12:42+"}}),
    [](const ::testing::TestParamInfo<ChainCase>& info) { return info.param.name; });

TEST_F(ProcessingCycleTest, InjectedInputDrivesAJoystickAndSuppressesASlot) {
  Keys(main_, 1, PlainButton(2), kA);
  Keys(main_, 2, PlainButton(1), kB);
  Start("1 1 b2 1\nend 4\n");
  injected_.SetSuppressedSlot(0);
  injected_.SetTarget(1);
  injected_.Press(0);

  EXPECT_THAT(RunTo(2), ElementsAre("1:42+"));
  injected_.Release(0);
  EXPECT_THAT(RunTo(3), ElementsAre("3:42-"));
  EXPECT_FALSE(Pressed(0, PlainButton(2))) << "a suppressed slot is not even highlighted";
}

TEST_F(ProcessingCycleTest, OpenMenuHoldsDetectionAndWindowSamplingButNotInput) {
  Keys(main_, 1, PlainButton(1), kA);
  Start("2 1 b1 1\nend 4\n");
  RunTo(1);
  cycle_->SetMenuActive(true);
  devices_->RequestDetection();
  tracker_.SetForeground(kMainWindow);

  EXPECT_THAT(RunTo(2), ElementsAre("2:41+"));
  EXPECT_EQ(devices_->Detections(), 0);
  EXPECT_EQ(target_.targetWindow(), kEditor);

  cycle_->SetMenuActive(false);
  RunTo(3);
  EXPECT_EQ(devices_->Detections(), 1);
  EXPECT_EQ(target_.targetWindow(), kMainWindow);
}

TEST_F(ProcessingCycleTest, WithoutDevicesOnlyDetectionAndWindowTrackingRun) {
  Keys(main_, 2, PlainButton(1), kB);
  Start("end 3\n");
  injected_.SetTarget(1);
  injected_.Press(0);
  devices_->RequestDetection();
  tracker_.SetForeground(kMainWindow);

  EXPECT_THAT(RunTo(3), IsEmpty());
  EXPECT_EQ(devices_->Detections(), 1);
  EXPECT_TRUE(target_.targetIsOwn());
}

TEST_F(ProcessingCycleTest, UnpluggedDeviceSkipsItsSlotOnly) {
  Keys(main_, 1, PlainButton(1), kA);
  Keys(main_, 2, PlainButton(1), kB);
  Start("1 1 b1 1\n1 2 b1 1\nend 3\n");
  devices_->SetUnplugged(0, true);
  EXPECT_THAT(RunTo(1), ElementsAre("1:42+"));
  devices_->SetUnplugged(0, false);
  EXPECT_THAT(RunTo(2), ElementsAre("2:41+"));
}

TEST_F(ProcessingCycleTest, VibrationStopsAfter19TicksEvenWhileProcessingIsPaused) {
  FakeRumble rumble;
  Vibration vibration(rumble);
  Start("end 30\n");
  cycle_->SetVibration(&vibration);
  vibration.StartVibration(50, 0, 300, settings_.TurboMode);
  ASSERT_EQ(rumble.calls, (std::vector<FakeRumble::Call>{{0, 32750, 0}}));

  RunTo(10);
  timer_->TimerDisable();
  RunTo(18);
  EXPECT_EQ(rumble.calls.size(), 1u);
  RunTo(19);
  EXPECT_EQ(rumble.calls.back(), (FakeRumble::Call{0, 0, 0}));
  RunTo(30);
  EXPECT_EQ(rumble.calls.size(), 2u);
  timer_->TimerEnable();
}

// The profile's reading options reach the controllers' conversions.
struct ReadingCase {
  const char* name;
  const char* script;
  bool pov8Way;
  std::vector<int> pressed;  // every pressed virtual button of slot 0
};

class ReadingTest : public ProcessingCycleTest,
                    public ::testing::WithParamInterface<ReadingCase> {};

TEST_P(ReadingTest, PressedFlagsFollowTheProfilesOptions) {
  main_.UsePOV8Way = GetParam().pov8Way;
  Start(GetParam().script);
  RunTo(1);
  std::vector<int> pressed;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    if (Pressed(0, i)) pressed.push_back(i);
  }
  EXPECT_EQ(pressed, GetParam().pressed);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, ReadingTest,
    ::testing::Values(ReadingCase{"PadRightTriggerFull",
                                  "device 1 xinput\n1 1 rt 255\nend 1\n",
                                  false,
                                  {AxisNegativeButton(5), PlainButton(12)}},
                      ReadingCase{"PadRightTriggerLightly",
                                  "device 1 xinput\n1 1 rt 40\nend 1\n",
                                  false,
                                  {PlainButton(12)}},
                      ReadingCase{"PadLeftStickUp",
                                  "device 1 xinput\n1 1 ly 32767\nend 1\n",
                                  false,
                                  {AxisNegativeButton(2)}},
                      ReadingCase{"PadDpadUpRightFourWay",
                                  "device 1 xinput\n1 1 up 1\n1 1 right 1\nend 1\n",
                                  false,
                                  {PovButton(1, 0), PovButton(1, 2)}},
                      ReadingCase{"PadDpadUpRightEightWay",
                                  "device 1 xinput\n1 1 up 1\n1 1 right 1\nend 1\n",
                                  true,
                                  {PovButton(1, 1)}},
                      ReadingCase{"HatBoundaryFourWay",
                                  "1 1 pov2 4500\nend 1\n",
                                  false,
                                  {PovButton(2, 0), PovButton(2, 2)}},
                      ReadingCase{
                          "HatBoundaryEightWay", "1 1 pov2 4500\nend 1\n", true, {PovButton(2, 1)}},
                      ReadingCase{"HatCentred", "1 1 pov1 -1\nend 1\n", true, {}},
                      ReadingCase{"ButtonBeyondTheProfilesButtons",
                                  "1 1 b40 1\n1 1 b3 1\nend 1\n",
                                  false,
                                  {PlainButton(3)}}),
    [](const ::testing::TestParamInfo<ReadingCase>& info) { return info.param.name; });

}  // namespace
}  // namespace brevanto
