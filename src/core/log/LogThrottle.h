#pragma once

#include <chrono>
#include <cstddef>

namespace brevanto {

// Lets one log line of a kind through per interval and counts the rest, so
// a flood of the same event (a misbehaving client, say) costs a few lines
// instead of filling the log. The first event is always written at once.
class LogThrottle {
 public:
  using Clock = std::chrono::steady_clock;

  LogThrottle() = default;
  explicit LogThrottle(Clock::duration interval) : interval_(interval) {}

  // True when a line may be written now; suppressed then holds how many
  // events of this kind went unlogged since the last line.
  bool Allow(Clock::time_point now, std::size_t& suppressed) {
    if (written_ && now - lastLine_ < interval_) {
      ++suppressed_;
      return false;
    }
    written_ = true;
    lastLine_ = now;
    suppressed = suppressed_;
    suppressed_ = 0;
    return true;
  }

 private:
  Clock::duration interval_ = std::chrono::seconds(10);
  Clock::time_point lastLine_{};
  bool written_ = false;
  std::size_t suppressed_ = 0;
};

}  // namespace brevanto
