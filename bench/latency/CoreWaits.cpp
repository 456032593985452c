#include "CoreWaits.h"

#include <dirent.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <fstream>

namespace brevanto::bench {
namespace {

int64_t RunDelay(const std::optional<std::string>& path) {
  if (!path) return 0;
  std::ifstream in(*path);
  long long running = 0, waiting = 0;
  in >> running >> waiting;
  return in ? waiting : 0;
}

}  // namespace

CoreWaits CoreWaits::Find(const std::string& processingThreadName, std::optional<pid_t> xServer) {
  CoreWaits waits;
  if (DIR* dir = ::opendir("/proc/self/task")) {
    while (const dirent* entry = ::readdir(dir)) {
      if (entry->d_name[0] == '.') continue;
      const std::string task = std::string("/proc/self/task/") + entry->d_name;
      std::string name;
      std::getline(std::ifstream(task + "/comm"), name);
      if (name == processingThreadName) waits.processing_ = task + "/schedstat";
    }
    ::closedir(dir);
  }
  if (xServer) waits.xServer_ = "/proc/" + std::to_string(*xServer) + "/schedstat";
  waits.receiver_ = "/proc/self/task/" + std::to_string(::syscall(SYS_gettid)) + "/schedstat";
  return waits;
}

CoreWaits::Reading CoreWaits::Read() const {
  return {RunDelay(processing_), RunDelay(xServer_), RunDelay(receiver_)};
}

}  // namespace brevanto::bench
