#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

namespace brevanto {

class Rumble;

// The short vibration of the first pad that confirms a profile switch: both
// motors start at once, and the processing thread's countdown stops them.
// The user-interface thread starts vibrations while the processing thread
// counts down, so the two never interleave a start with a stop.
class Vibration {
 public:
  explicit Vibration(Rumble& rumble) : rumble_(rumble) {}

  // speed1/speed2: percent of the left/right motor (0..100); durationMs in
  // milliseconds. The caller starts a vibration only when one speed and the
  // duration are positive. A running vibration starts over with these values.
  // Logged as started only when the first pad took the speeds.
  void StartVibration(int speed1, int speed2, int durationMs, int turboMode);

  // Once per timer tick, paused or not: stops the motors when the countdown
  // runs out.
  void CountdownStep();

  int32_t Countdown() const { return countdown_.load(std::memory_order_relaxed); }

 private:
  Rumble& rumble_;
  std::mutex mutex_;
  std::atomic<int32_t> countdown_{0};
};

}  // namespace brevanto
