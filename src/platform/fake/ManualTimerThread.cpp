#include "platform/fake/ManualTimerThread.h"

#include <utility>

namespace brevanto {

TimerStartResult ManualTimerThread::Start(int periodMs, std::function<void()> onTick) {
  if (failure_.status != TimerStartStatus::Started) {
    return std::exchange(failure_, TimerStartResult{});
  }
  onTick_ = std::move(onTick);
  periodMs_ = periodMs;
  running_ = true;
  ++starts_;
  return {};
}

bool ManualTimerThread::Fire() {
  if (!running_) return false;
  onTick_();
  return true;
}

}  // namespace brevanto
