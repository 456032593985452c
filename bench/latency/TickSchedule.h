#pragma once

#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "ProcFile.h"

namespace brevanto::bench {

// What the kernel reports of a timerfd in /proc/PID/fdinfo.
struct TimerFdInfo {
  int clockId = -1;
  bool absolute = false;
  // Until the next expiry; 0 when it has expired and is not read yet.
  int64_t remainingNs = 0;
  int64_t intervalNs = 0;
};

// nullopt when the text is not a timerfd's.
std::optional<TimerFdInfo> ParseTimerFdInfo(std::string_view text);

// The due times of the processing thread's ticks, read from its timerfd in
// this process: a periodic CLOCK_MONOTONIC timer with absolute expiry, so its
// ticks lie on a fixed grid from the start of the timer on.
class TickSchedule {
 public:
  // The timerfd of this period; nullopt when there is none, or more than one.
  static std::optional<TickSchedule> Find(int64_t periodNs);

  int64_t PeriodNs() const { return periodNs_; }
  // A due time of the grid, CLOCK_MONOTONIC nanoseconds.
  int64_t PhaseNs() const { return phaseNs_; }
  // Reads the grid again (the timer is re-armed when processing restarts).
  // False when the timer is gone.
  bool Refresh();

 private:
  TickSchedule(ProcFile info, int64_t periodNs) : info_(std::move(info)), periodNs_(periodNs) {}

  ProcFile info_;
  int64_t periodNs_;
  int64_t phaseNs_ = 0;
};

int64_t MonotonicNs();

}  // namespace brevanto::bench
