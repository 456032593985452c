#include "CoreWaits.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <map>

namespace brevanto::bench {
namespace {

// Long enough for a few wake-ups even at 16 ms, and for a tally that stands
// out at 1 ms however loaded the machine is.
constexpr int64_t kWatchNs = 300000000;
constexpr long kFewestWakeUps = 5;

int64_t RunDelay(std::optional<ProcFile>& file) {
  if (!file) return 0;
  const std::optional<std::string_view> text = file->Read();
  if (!text) return 0;
  long long running = 0, waiting = 0;
  if (std::sscanf(std::string(*text).c_str(), "%lld %lld", &running, &waiting) != 2) return 0;
  return waiting;
}

// Times each thread of this process but the caller went to sleep by itself.
std::map<std::string, long> VoluntarySwitches(const std::string& except) {
  std::map<std::string, long> switches;
  DIR* dir = ::opendir("/proc/self/task");
  if (!dir) return switches;
  while (const dirent* entry = ::readdir(dir)) {
    if (entry->d_name[0] == '.') continue;
    const std::string task = std::string("/proc/self/task/") + entry->d_name;
    if (task == except) continue;
    std::ifstream status(task + "/status");
    for (std::string line; std::getline(status, line);) {
      if (line.starts_with("voluntary_ctxt_switches:")) {
        switches[task] = std::atol(line.c_str() + 24);
      }
    }
  }
  ::closedir(dir);
  return switches;
}

}  // namespace

CoreWaits CoreWaits::Find(std::optional<pid_t> xServer) {
  CoreWaits waits;
  const std::string self = "/proc/self/task/" + std::to_string(::syscall(SYS_gettid));
  const std::map<std::string, long> before = VoluntarySwitches(self);
  const timespec watch{0, static_cast<long>(kWatchNs)};
  ::clock_nanosleep(CLOCK_MONOTONIC, 0, &watch, nullptr);
  long most = 0;
  std::string processing;
  for (const auto& [task, switches] : VoluntarySwitches(self)) {
    const auto earlier = before.find(task);
    const long woken = switches - (earlier == before.end() ? 0 : earlier->second);
    if (woken > most) {
      most = woken;
      processing = task + "/schedstat";
    }
  }
  if (most >= kFewestWakeUps) waits.processing_.emplace(processing);
  if (xServer) waits.xServer_.emplace("/proc/" + std::to_string(*xServer) + "/schedstat");
  waits.receiver_.emplace(self + "/schedstat");
  return waits;
}

CoreWaits::Reading CoreWaits::Read() {
  return {RunDelay(processing_), RunDelay(xServer_), RunDelay(receiver_)};
}

}  // namespace brevanto::bench
