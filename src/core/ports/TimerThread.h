#pragma once

#include <chrono>
#include <functional>

namespace brevanto {

enum class TimerStartStatus {
  Started,
  TimerUnavailable,  // the timer could not be created
  TimerNotSet,       // the timer could not be armed
  ThreadNotCreated,
};

struct TimerStartResult {
  TimerStartStatus status = TimerStartStatus::Started;
  int systemError = 0;  // errno of the call that failed
};

// Port: the thread that wakes once per period and runs the processing
// timer's callback. The processing timer owns when it starts and stops; a
// test or the replay tool drives the callback by hand instead.
class TimerThread {
 public:
  virtual ~TimerThread() = default;

  // Calls onTick on a thread of its own once per period, the first time one
  // period from now. A wake-up that comes late runs onTick once, not once per
  // missed period.
  virtual TimerStartResult Start(int periodMs, std::function<void()> onTick) = 0;
  // Makes the thread end without another call of onTick; a call that is
  // running finishes first. Returns at once.
  virtual void RequestStop() = 0;
  // Waits up to timeout for the thread to end. True when it has ended and
  // its resources are released, or when none was started.
  virtual bool WaitStopped(std::chrono::milliseconds timeout) = 0;
};

}  // namespace brevanto
