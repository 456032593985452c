#include "core/processing/ProcessingTimer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "core/processing/TimeBase.h"
#include "platform/fake/ManualTimerThread.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using ::testing::ElementsAre;
using namespace std::chrono_literals;

class CountingHandler : public TickHandler {
 public:
  void OnEveryTick(int32_t tick) override { everyTick.push_back(tick); }
  void OnLockedTick(int32_t tick) override {
    lockedTick.push_back(tick);
    if (onLocked) onLocked();
  }

  std::vector<int32_t> everyTick;
  std::vector<int32_t> lockedTick;
  std::function<void()> onLocked;
};

class ProcessingTimerTest : public ::testing::Test {
 protected:
  ManualTimerThread thread_;
  CountingHandler handler_;
  ProcessingTimer timer_{thread_, handler_};
};

TEST(TimeBase, PeriodsAndConversionsFollowTurboMode) {
  struct Case {
    int turbo;
    int period;
  };
  for (const Case& c :
       {Case{0, 16}, Case{1, 8}, Case{2, 4}, Case{3, 2}, Case{4, 1}, Case{5, 1}, Case{-1, 16}}) {
    EXPECT_EQ(TimerPeriodMs(c.turbo), c.period) << "TurboMode " << c.turbo;
  }
  EXPECT_EQ(MillisecondsFromCycles(25, 1), 200);
  EXPECT_EQ(CyclesFromMilliseconds(500, 0), 31);
  EXPECT_EQ(CyclesFromMilliseconds(500, 4), 500);
  EXPECT_EQ(CyclesFromMilliseconds(15, 0), 0);
  EXPECT_EQ(CyclesFromMilliseconds(-100, 0), -6);
  EXPECT_EQ(CyclesFromMilliseconds(INT32_MAX, 4), INT32_MAX);
  EXPECT_EQ(MillisecondsFromCycles(INT32_MAX, 0), INT32_MAX);
}

TEST_F(ProcessingTimerTest, InitStartsTheThreadAtThePeriodOfTurboModeAndLogsIt) {
  testing::LogCapture log(/*debug=*/true);
  ASSERT_TRUE(timer_.TimerInit(2));
  EXPECT_EQ(thread_.PeriodMs(), 4);
  EXPECT_FALSE(timer_.Disabled());
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].level, "Info");
  EXPECT_EQ(entries[0].message, "TimerInit: Initializing timer at 4 msec (with x4 speed mode)");
  EXPECT_EQ(entries[1].message, "TimerInit: Timer initialized");
  EXPECT_THAT(entries[1].location, ::testing::MatchesRegex("ProcessingTimer\\.cpp#[0-9]+"));
}

TEST_F(ProcessingTimerTest, TicksCountEveryWakeUpButCyclesOnlyWhileEnabled) {
  thread_.Fire();  // not started: nothing happens
  EXPECT_EQ(timer_.Tick(), 0);

  ASSERT_TRUE(timer_.TimerInit(0));
  thread_.Fire();
  timer_.TimerDisable();
  thread_.Fire();
  thread_.Fire();
  timer_.TimerEnable();
  thread_.Fire();

  EXPECT_EQ(timer_.Tick(), 4);
  EXPECT_THAT(handler_.everyTick, ElementsAre(1, 2, 3, 4));
  EXPECT_THAT(handler_.lockedTick, ElementsAre(1, 4));
}

TEST_F(ProcessingTimerTest, TheUsersPauseOutlastsEditBracketsAndRestarts) {
  ASSERT_TRUE(timer_.TimerInit(0));
  timer_.SetUserPaused(true);
  thread_.Fire();
  // An edit during the pause, then a restart of the thread (theme change).
  timer_.TimerDisable();
  timer_.TimerEnable();
  thread_.Fire();
  timer_.TimerTerminate();
  ASSERT_TRUE(timer_.TimerInit(0));
  thread_.Fire();
  EXPECT_TRUE(timer_.UserPaused());
  EXPECT_FALSE(timer_.Disabled());

  timer_.SetUserPaused(false);
  thread_.Fire();
  EXPECT_THAT(handler_.everyTick, ElementsAre(1, 2, 3, 4));
  EXPECT_THAT(handler_.lockedTick, ElementsAre(4));
}

TEST_F(ProcessingTimerTest, BusyLockSkipsTheCycleButTheTickAdvances) {
  ASSERT_TRUE(timer_.TimerInit(0));
  std::promise<void> locked;
  std::promise<void> release;
  std::thread ui([&] {
    timer_.SafeEnterCriticalSection();
    locked.set_value();
    release.get_future().wait();
    timer_.LeaveCriticalSection();
  });
  locked.get_future().wait();
  thread_.Fire();
  release.set_value();
  ui.join();
  thread_.Fire();

  EXPECT_THAT(handler_.everyTick, ElementsAre(1, 2));
  EXPECT_THAT(handler_.lockedTick, ElementsAre(2));
}

TEST_F(ProcessingTimerTest, DisableReturnsOnlyAfterTheRunningCycleLeftTheLock) {
  ASSERT_TRUE(timer_.TimerInit(0));
  std::promise<void> cycleEntered;
  std::promise<void> finishCycle;
  std::shared_future<void> finish = finishCycle.get_future().share();
  std::atomic<bool> cycleDone{false};
  handler_.onLocked = [&] {
    cycleEntered.set_value();
    finish.wait();
    cycleDone = true;
  };
  std::thread processing([&] { thread_.Fire(); });
  cycleEntered.get_future().wait();

  std::atomic<bool> cycleDoneWhenDisableReturned{false};
  std::atomic<bool> disableReturned{false};
  std::thread ui([&] {
    timer_.TimerDisable();
    cycleDoneWhenDisableReturned = cycleDone.load();
    disableReturned = true;
  });
  std::this_thread::sleep_for(60ms);
  EXPECT_FALSE(disableReturned);
  finishCycle.set_value();
  processing.join();
  ui.join();
  EXPECT_TRUE(cycleDoneWhenDisableReturned);

  handler_.onLocked = nullptr;
  thread_.Fire();
  EXPECT_THAT(handler_.lockedTick, ElementsAre(1));
}

TEST_F(ProcessingTimerTest, LockIsReentrantForItsOwner) {
  timer_.SafeEnterCriticalSection();
  timer_.SafeEnterCriticalSection();
  timer_.LeaveCriticalSection();
  timer_.LeaveCriticalSection();
  ASSERT_TRUE(timer_.TimerInit(0));
  thread_.Fire();
  EXPECT_THAT(handler_.lockedTick, ElementsAre(1));
}

TEST_F(ProcessingTimerTest, DisableAndEnableLogTheirSteps) {
  testing::LogCapture log(/*debug=*/true);
  timer_.TimerDisable();
  timer_.TimerEnable();
  EXPECT_THAT(
      log.Messages(),
      ElementsAre("TimerDisable: SafeEnterCriticalSection", "TimerDisable: LeaveCriticalSection",
                  "TimerDisable: Timer is disabled", "TimerEnable: SafeEnterCriticalSection",
                  "TimerEnable: LeaveCriticalSection", "TimerEnable: Timer is enabled"));
}

TEST_F(ProcessingTimerTest, TerminateStopsCyclingAndInitStartsItAgain) {
  testing::LogCapture log(/*debug=*/true);
  ASSERT_TRUE(timer_.TimerInit(0));
  timer_.TimerTerminate();
  EXPECT_TRUE(timer_.Disabled());
  EXPECT_TRUE(timer_.Terminating());
  EXPECT_FALSE(thread_.Fire());

  ASSERT_TRUE(timer_.TimerInit(1));
  EXPECT_FALSE(timer_.Terminating());
  EXPECT_EQ(thread_.Starts(), 2);
  EXPECT_EQ(thread_.PeriodMs(), 8);
  thread_.Fire();
  EXPECT_THAT(handler_.lockedTick, ElementsAre(1));
  EXPECT_THAT(log.Messages(),
              ElementsAre("TimerInit: Initializing timer at 16 msec (with x1 speed mode)",
                          "TimerInit: Timer initialized", "TimerTerminate: Terminating timer...",
                          "TimerTerminate: Waiting for timer thread to exit...",
                          "TimerTerminate: Timer terminated",
                          "TimerInit: Initializing timer at 8 msec (with x2 speed mode)",
                          "TimerInit: Timer initialized"));
}

TEST_F(ProcessingTimerTest, InitWhileRunningRestartsInsteadOfStartingASecondThread) {
  ASSERT_TRUE(timer_.TimerInit(0));
  ASSERT_TRUE(timer_.TimerInit(4));
  EXPECT_EQ(thread_.Starts(), 2);
  EXPECT_EQ(thread_.PeriodMs(), 1);
  thread_.Fire();
  EXPECT_THAT(handler_.lockedTick, ElementsAre(1));
}

TEST_F(ProcessingTimerTest, FailedStartIsLoggedAndLeavesProcessingOff) {
  struct Case {
    TimerStartStatus status;
    const char* message;
  };
  for (const Case& c :
       {Case{TimerStartStatus::TimerUnavailable,
             "TimerInit: CreateWaitableTimer ERROR - giving up"},
        Case{TimerStartStatus::TimerNotSet, "TimerInit: Failed to set waitable timer"},
        Case{TimerStartStatus::ThreadNotCreated, "TimerInit: Failed to create timer thread"}}) {
    SCOPED_TRACE(c.message);
    testing::LogCapture log(/*debug=*/true);
    thread_.FailNextStart(TimerStartResult{c.status, EMFILE});
    EXPECT_FALSE(timer_.TimerInit(0));
    EXPECT_FALSE(timer_.Running());
    EXPECT_TRUE(timer_.Disabled());
    const auto entries = log.Entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].level, "Error");
    EXPECT_EQ(entries[1].message, c.message);
    EXPECT_EQ(entries[2].message, SystemErrorText(EMFILE));
  }
}

TEST_F(ProcessingTimerTest, SlowCallbacksAreReportedOnlyWithDebugLogging) {
  ASSERT_TRUE(timer_.TimerInit(0));
  handler_.onLocked = [] { std::this_thread::sleep_for(3ms); };
  {
    testing::LogCapture log(/*debug=*/false);
    thread_.Fire();
    EXPECT_TRUE(log.Entries().empty());
  }
  testing::LogCapture log(/*debug=*/true);
  thread_.Fire();
  const auto messages = log.Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_THAT(messages[0], ::testing::MatchesRegex("Timer callback 2 took [0-9]+ ms"));
}

}  // namespace
}  // namespace brevanto
