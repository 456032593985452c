#include "TickSchedule.h"

#include <dirent.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace brevanto::bench {
namespace {

constexpr int64_t kNsPerSecond = 1000000000;

std::string FdInfoPath(int fd) {
  return "/proc/self/fdinfo/" + std::to_string(fd);
}

// "(seconds, nanoseconds)" after the field's name.
bool ParsePair(std::string_view line, std::string_view name, int64_t& ns) {
  if (!line.starts_with(name)) return false;
  long long seconds = 0, nanoseconds = 0;
  const std::string rest(line.substr(name.size()));
  if (std::sscanf(rest.c_str(), " (%lld, %lld)", &seconds, &nanoseconds) != 2) return false;
  ns = seconds * kNsPerSecond + nanoseconds;
  return true;
}

}  // namespace

int64_t MonotonicNs() {
  timespec t{};
  ::clock_gettime(CLOCK_MONOTONIC, &t);
  return int64_t{t.tv_sec} * kNsPerSecond + t.tv_nsec;
}

std::optional<TimerFdInfo> ParseTimerFdInfo(std::string_view text) {
  TimerFdInfo info;
  bool clock = false, flags = false, value = false, interval = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.starts_with("clockid:")) {
      info.clockId = std::atoi(std::string(line.substr(8)).c_str());
      clock = true;
    } else if (line.starts_with("settime flags:")) {
      // Printed in octal; TFD_TIMER_ABSTIME is bit 0.
      info.absolute = (std::strtol(std::string(line.substr(14)).c_str(), nullptr, 8) & 1) != 0;
      flags = true;
    } else if (ParsePair(line, "it_value:", info.remainingNs)) {
      value = true;
    } else if (ParsePair(line, "it_interval:", info.intervalNs)) {
      interval = true;
    }
  }
  if (!(clock && flags && value && interval)) return std::nullopt;
  return info;
}

std::optional<TickSchedule> TickSchedule::Find(int64_t periodNs) {
  DIR* dir = ::opendir("/proc/self/fdinfo");
  if (!dir) return std::nullopt;
  int found = -1, matches = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const int fd = std::atoi(entry->d_name);
    ProcFile file(FdInfoPath(fd));
    const std::optional<std::string_view> text = file.Read();
    if (!text) continue;
    const std::optional<TimerFdInfo> info = ParseTimerFdInfo(*text);
    if (info && info->clockId == CLOCK_MONOTONIC && info->absolute &&
        info->intervalNs == periodNs) {
      found = fd;
      ++matches;
    }
  }
  ::closedir(dir);
  if (matches != 1) return std::nullopt;
  TickSchedule schedule(ProcFile(FdInfoPath(found)), periodNs);
  if (!schedule.Refresh()) return std::nullopt;
  return schedule;
}

bool TickSchedule::Refresh() {
  // The kernel reports the time left from its own reading of the clock,
  // somewhere between ours before and after: the shortest read of a few
  // places the due time closest. A read between an expiry and the thread's
  // wake-up shows no time left and says nothing.
  int64_t bestSpan = -1, due = 0;
  int good = 0;
  for (int attempt = 0; attempt < 64 && good < 8; ++attempt) {
    const int64_t before = MonotonicNs();
    const std::optional<std::string_view> text = info_.Read();
    const int64_t after = MonotonicNs();
    if (!text) return false;
    const std::optional<TimerFdInfo> info = ParseTimerFdInfo(*text);
    if (!info || info->intervalNs != periodNs_) return false;
    if (info->remainingNs <= 0) {
      const timespec pause{0, 50000};
      ::nanosleep(&pause, nullptr);
      continue;
    }
    ++good;
    if (bestSpan < 0 || after - before < bestSpan) {
      bestSpan = after - before;
      due = before + (after - before) / 2 + info->remainingNs;
    }
  }
  if (bestSpan < 0) return false;
  phaseNs_ = due;
  return true;
}

}  // namespace brevanto::bench
