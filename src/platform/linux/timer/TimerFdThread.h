#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/ports/TimerThread.h"

namespace brevanto {

// The processing timer's thread: waits on a periodic timerfd (monotonic clock,
// absolute expiry times, so the period does not drift with the time the
// callback takes) and on an eventfd that RequestStop signals, so stopping
// never waits for another period and never hangs.
class TimerFdThread final : public TimerThread {
 public:
  TimerFdThread() = default;
  TimerFdThread(const TimerFdThread&) = delete;
  TimerFdThread& operator=(const TimerFdThread&) = delete;
  ~TimerFdThread() override;

  TimerStartResult Start(int periodMs, std::function<void()> onTick) override;
  void RequestStop() override;
  bool WaitStopped(std::chrono::milliseconds timeout) override;

 private:
  void Run();
  void CloseDescriptors();

  std::function<void()> onTick_;
  std::thread thread_;
  int timerFd_ = -1;
  int wakeFd_ = -1;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::condition_variable ended_;
  bool finished_ = false;
};

}  // namespace brevanto
