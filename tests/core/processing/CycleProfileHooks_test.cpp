#include "core/processing/CycleProfileHooks.h"

#include <gtest/gtest.h>

#include "core/processing/InjectedInput.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/TargetWindow.h"
#include "core/settings/GlobalSettings.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/RecordingMessageSink.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/fake/ScriptedInputDevices.h"

namespace brevanto {
namespace {

class NoProfiles final : public ProfileSource {
 public:
  ConfigFile* Current() const override { return nullptr; }
  int SwitchTo(const std::string&) override { return 1; }
};

class CycleProfileHooksTest : public ::testing::Test {
 protected:
  void SetUp() override { hooks.Connect(cycle, &timer); }
  void TearDown() override { timer.TimerTerminate(); }

  GlobalSettings settings;
  NoProfiles profiles;
  ScriptedDeviceSource source{ReplayScript{}};
  ScriptedInputDevices devices{source, DeviceDefaults{}};
  FakeWindowTracker tracker;
  TargetWindow target{tracker};
  InjectedInput injected;
  RecordingMessageSink sink;
  ProcessingCycle cycle{settings, profiles, devices, target, injected, sink};
  ManualTimerThread thread;
  ProcessingTimer timer{thread, cycle};
  CycleProfileHooks hooks{injected};
};

// The user interface pauses the cycle around larger changes that may call
// the profile manager, and the manager lists the profiles before the timer
// ever starts: its own pause must not resume a cycle someone else paused.
TEST_F(CycleProfileHooksTest, APauseEndsOnlyWhatItPaused) {
  hooks.PauseCycle();
  hooks.ResumeCycle();
  EXPECT_TRUE(timer.Disabled()) << "resumed a timer never started";

  ASSERT_TRUE(timer.TimerInit(0));
  hooks.PauseCycle();
  EXPECT_TRUE(timer.Disabled());
  hooks.ResumeCycle();
  EXPECT_FALSE(timer.Disabled());

  timer.TimerDisable();
  hooks.PauseCycle();
  hooks.ResumeCycle();
  EXPECT_TRUE(timer.Disabled()) << "resumed inside an outer pause";
  timer.TimerEnable();
}

TEST_F(CycleProfileHooksTest, InjectedPressesAreForgottenAndTheTargetKept) {
  injected.SetTarget(1);
  injected.Press(3);
  hooks.ClearInjectedStates();
  EXPECT_FALSE(injected.Pressed(3));
  EXPECT_EQ(injected.injectTarget(), 1);
}

}  // namespace
}  // namespace brevanto
