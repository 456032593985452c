#pragma once

#include "core/ports/TimerThread.h"

namespace brevanto {

// A timer thread without a thread: each Fire() is one timer tick, run on the
// caller's thread. Tests and the replay tool drive the processing timer with
// it, one call per cycle.
class ManualTimerThread final : public TimerThread {
 public:
  TimerStartResult Start(int periodMs, std::function<void()> onTick) override;
  void RequestStop() override { running_ = false; }
  bool WaitStopped(std::chrono::milliseconds) override { return true; }

  // Runs the tick callback once; false when the timer is not running.
  bool Fire();

  // The next Start fails with this result (once).
  void FailNextStart(TimerStartResult result) { failure_ = result; }

  bool Running() const { return running_; }
  int PeriodMs() const { return periodMs_; }
  int Starts() const { return starts_; }

 private:
  std::function<void()> onTick_;
  TimerStartResult failure_;
  bool running_ = false;
  int periodMs_ = 0;
  int starts_ = 0;
};

}  // namespace brevanto
