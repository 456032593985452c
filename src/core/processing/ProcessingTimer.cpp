#include "core/processing/ProcessingTimer.h"

#include <chrono>
#include <thread>

#include "core/log/Logger.h"
#include "core/processing/TimeBase.h"

namespace brevanto {
namespace {

constexpr auto kRetryInterval = std::chrono::milliseconds(20);
// How long TimerTerminate waits for the thread before it logs that a cycle
// is still running.
constexpr auto kQuietExitWait = std::chrono::milliseconds(100);
constexpr int kSlowCallbackMs = 2;

}  // namespace

ProcessingTimer::ProcessingTimer(TimerThread& thread, TickHandler& handler)
    : thread_(thread), handler_(handler) {}

ProcessingTimer::~ProcessingTimer() {
  if (running_) TimerTerminate();
}

bool ProcessingTimer::TimerInit(int turboMode) {
  if (running_) {
    LOG_ERROR("WARNING: TimerInit: the timer is running already - restarting it");
    TimerTerminate();
  }
  const int turbo = ClampTurboMode(turboMode);
  periodMs_ = TimerPeriodMs(turbo);
  LOG_INFO("TimerInit: Initializing timer at %d msec (with x%d speed mode)", periodMs_, 1 << turbo);

  terminating_.store(false, std::memory_order_relaxed);
  const TimerStartResult result = thread_.Start(periodMs_, [this] { TimerCallback(); });
  switch (result.status) {
    case TimerStartStatus::Started:
      break;
    case TimerStartStatus::TimerUnavailable:
      LOG_ERROR("TimerInit: CreateWaitableTimer ERROR - giving up");
      Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__,
                                 SystemErrorText(result.systemError));
      return false;
    case TimerStartStatus::TimerNotSet:
      LOG_ERROR("TimerInit: Failed to set waitable timer");
      Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__,
                                 SystemErrorText(result.systemError));
      return false;
    case TimerStartStatus::ThreadNotCreated:
      LOG_ERROR("TimerInit: Failed to create timer thread");
      Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__,
                                 SystemErrorText(result.systemError));
      return false;
  }
  running_ = true;
  disabled_.store(false, std::memory_order_relaxed);
  LOG_INFO("TimerInit: Timer initialized");
  return true;
}

void ProcessingTimer::TimerTerminate() {
  LOG_INFO("TimerTerminate: Terminating timer...");
  disabled_.store(true, std::memory_order_relaxed);
  terminating_.store(true, std::memory_order_relaxed);
  if (running_) {
    thread_.RequestStop();
    LOG_DEBUG("TimerTerminate: Waiting for timer thread to exit...");
    // The thread is never abandoned: a cycle still running after this returns
    // would race with the release of the devices and profiles.
    if (!thread_.WaitStopped(kQuietExitWait)) {
      LOG_DEBUG("TimerTerminate: Timer thread is busy; waiting until its cycle ends");
      while (!thread_.WaitStopped(kRetryInterval)) continue;
    }
    running_ = false;
  }
  LOG_INFO("TimerTerminate: Timer terminated");
}

void ProcessingTimer::TimerDisable() {
  disabled_.store(true, std::memory_order_relaxed);
  LOG_DEBUG("TimerDisable: SafeEnterCriticalSection");
  SafeEnterCriticalSection();
  LeaveCriticalSection();
  LOG_DEBUG("TimerDisable: LeaveCriticalSection");
  LOG_DEBUG("TimerDisable: Timer is disabled");
}

void ProcessingTimer::TimerEnable() {
  LOG_DEBUG("TimerEnable: SafeEnterCriticalSection");
  SafeEnterCriticalSection();
  disabled_.store(false, std::memory_order_relaxed);
  LeaveCriticalSection();
  LOG_DEBUG("TimerEnable: LeaveCriticalSection");
  LOG_DEBUG("TimerEnable: Timer is enabled");
}

void ProcessingTimer::SetUserPaused(bool paused) {
  SafeEnterCriticalSection();
  userPaused_.store(paused, std::memory_order_relaxed);
  LeaveCriticalSection();
}

void ProcessingTimer::SafeEnterCriticalSection() {
  while (!lock_.try_lock()) {
    LOG_DEBUG("SafeEnterCriticalSection: retrying...");
    std::this_thread::sleep_for(kRetryInterval);
  }
}

void ProcessingTimer::TimerCallback() {
  const int32_t tick = tick_.fetch_add(1, std::memory_order_relaxed) + 1;
  const bool timed = Logger::Instance().Enabled(LogLevel::Debug);
  const auto start =
      timed ? std::chrono::steady_clock::now() : std::chrono::steady_clock::time_point{};

  handler_.OnEveryTick(tick);
  if (Paused()) return;

  std::unique_lock<std::recursive_mutex> lock(lock_, std::try_to_lock);
  if (!lock.owns_lock()) return;
  // TimerDisable may have set the flag and passed through the lock between
  // the check above and taking the lock; its caller now changes the data.
  if (Paused()) return;
  handler_.OnLockedTick(tick);
  lock.unlock();

  if (timed) {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    if (elapsed.count() >= kSlowCallbackMs) {
      LOG_DEBUG("Timer callback %d took %d ms", tick, static_cast<int>(elapsed.count()));
    }
  }
}

}  // namespace brevanto
