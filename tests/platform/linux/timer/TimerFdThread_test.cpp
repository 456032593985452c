#include "platform/linux/timer/TimerFdThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "core/processing/ProcessingTimer.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(TimerFdThread, TicksArriveOncePerPeriod) {
  TimerFdThread thread;
  std::atomic<int> ticks{0};
  const auto start = Clock::now();
  ASSERT_EQ(thread.Start(4, [&] { ++ticks; }).status, TimerStartStatus::Started);
  std::this_thread::sleep_for(200ms);
  thread.RequestStop();
  const auto periods = (Clock::now() - start) / 4ms;
  ASSERT_TRUE(thread.WaitStopped(1s));
  // A busy machine delays ticks and merges late ones, but never adds any.
  EXPECT_GE(ticks.load(), 10);
  EXPECT_LE(ticks.load(), periods);
}

TEST(TimerFdThread, StopWakesTheThreadWithoutWaitingForThePeriod) {
  TimerFdThread thread;
  std::atomic<int> ticks{0};
  ASSERT_EQ(thread.Start(60000, [&] { ++ticks; }).status, TimerStartStatus::Started);
  const auto start = Clock::now();
  thread.RequestStop();
  EXPECT_TRUE(thread.WaitStopped(5s));
  EXPECT_LT(Clock::now() - start, 1s);
  EXPECT_EQ(ticks.load(), 0);
}

TEST(TimerFdThread, StopLetsARunningTickFinishAndThenEnds) {
  TimerFdThread thread;
  std::promise<void> entered;
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::atomic<int> ticks{0};
  ASSERT_EQ(thread
                .Start(2,
                       [&] {
                         if (ticks++ == 0) {
                           entered.set_value();
                           released.wait();
                         }
                       })
                .status,
            TimerStartStatus::Started);
  entered.get_future().wait();
  thread.RequestStop();
  EXPECT_FALSE(thread.WaitStopped(50ms));
  release.set_value();
  EXPECT_TRUE(thread.WaitStopped(5s));
  EXPECT_EQ(ticks.load(), 1);
}

class CountingHandler : public TickHandler {
 public:
  void OnEveryTick(int32_t) override {}
  void OnLockedTick(int32_t) override { ++cycles; }
  std::atomic<int> cycles{0};
};

TEST(TimerFdThread, ProcessingTimerRunsTerminatesAndRunsAgain) {
  TimerFdThread thread;
  CountingHandler handler;
  ProcessingTimer timer(thread, handler);
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    const int before = handler.cycles.load();
    ASSERT_TRUE(timer.TimerInit(4));
    const auto deadline = Clock::now() + 5s;
    while (handler.cycles.load() < before + 5 && Clock::now() < deadline) {
      std::this_thread::sleep_for(1ms);
    }
    EXPECT_GE(handler.cycles.load(), before + 5);

    const auto start = Clock::now();
    timer.TimerTerminate();
    EXPECT_LT(Clock::now() - start, 1s);
    const int after = handler.cycles.load();
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(handler.cycles.load(), after);
  }
}

}  // namespace
}  // namespace brevanto
