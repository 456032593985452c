#include "core/processing/Vibration.h"

#include <algorithm>

#include "core/log/Logger.h"
#include "core/ports/Rumble.h"
#include "core/processing/TimeBase.h"

namespace brevanto {
namespace {

// 100 % gives 65500. Profiles are not range-checked, and a speed beyond
// 0..100 must not wrap around into a weak or a random motor speed.
uint16_t MotorSpeed(int percent) {
  return static_cast<uint16_t>(std::clamp(percent, 0, 100) * 655);
}

}  // namespace

void Vibration::StartVibration(int speed1, int speed2, int durationMs, int turboMode) {
  if (!rumble_.Available()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const uint16_t left = MotorSpeed(speed1);
  const uint16_t right = MotorSpeed(speed2);
  if (!rumble_.SetMotors(0, left, right)) {
    // No pad took it: nothing runs that the countdown would have to stop.
    LOG_DEBUG("Vibration not started: no pad takes it");
    return;
  }
  const int32_t countdown =
      SaturateInt32(int64_t{CyclesFromMilliseconds(durationMs, turboMode)} + 1);
  countdown_.store(countdown, std::memory_order_relaxed);
  LOG_DEBUG("Vibration Enabled (speed = %d | %d, for %d)", left, right, countdown);
}

void Vibration::CountdownStep() {
  // Most ticks have nothing to count; they do not take the lock.
  if (countdown_.load(std::memory_order_relaxed) <= 0) return;
  std::lock_guard<std::mutex> lock(mutex_);
  int32_t countdown = countdown_.load(std::memory_order_relaxed);
  if (countdown <= 0) return;
  countdown_.store(--countdown, std::memory_order_relaxed);
  if (countdown == 0 && rumble_.Available() && rumble_.SetMotors(0, 0, 0)) {
    LOG_DEBUG("Vibration Disabled");
  }
}

}  // namespace brevanto
