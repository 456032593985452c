#include "platform/linux/hid/HidrawWatcher.h"

#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "core/log/Logger.h"

namespace brevanto {

HidrawWatcher::HidrawWatcher(Callback callback) : callback_(std::move(callback)) {}

HidrawWatcher::~HidrawWatcher() {
  Stop();
}

bool HidrawWatcher::Start(const std::string& devDir) {
  Stop();
  fd_ = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (fd_ < 0) {
    LOG_ERROR("HidrawWatcher: Cannot create an inotify instance");
    LOG_SYSTEM_ERROR();
    return false;
  }
  if (::inotify_add_watch(fd_, devDir.c_str(), IN_CREATE | IN_DELETE | IN_ATTRIB) < 0) {
    LOG_ERROR("HidrawWatcher: Cannot watch %s for controllers", devDir.c_str());
    LOG_SYSTEM_ERROR();
    Stop();
    return false;
  }
  devDir_ = devDir;
  WatchInputFolder();
  return true;
}

// The folder appears with the first input device; until then the device
// folder's watch reports its creation.
void HidrawWatcher::WatchInputFolder() {
  inputWatch_ = ::inotify_add_watch(fd_, (devDir_ + "/input").c_str(),
                                    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO);
}

void HidrawWatcher::Stop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  inputWatch_ = -1;
}

int HidrawWatcher::Process() {
  if (fd_ < 0) return 0;
  alignas(inotify_event) char buffer[4096];
  int changes = 0;
  for (;;) {
    const ssize_t length = ::read(fd_, buffer, sizeof buffer);
    if (length < 0 && errno == EINTR) continue;
    if (length <= 0) break;
    for (ssize_t at = 0; at + static_cast<ssize_t>(sizeof(inotify_event)) <= length;) {
      inotify_event event;
      std::memcpy(&event, buffer + at, sizeof event);
      const char* name = buffer + at + sizeof(inotify_event);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event.len);
      if (event.mask & IN_Q_OVERFLOW) {
        ++changes;
        callback_(Change::Added, std::string());
        continue;
      }
      const Change change = (event.mask & IN_DELETE) ? Change::Removed : Change::Added;
      if (event.wd == inputWatch_) {
        if (event.mask & IN_IGNORED) inputWatch_ = -1;
        if (event.len == 0 ||
            (std::strncmp(name, "event", 5) != 0 && std::strncmp(name, "js", 2) != 0)) {
          continue;
        }
        ++changes;
        callback_(change, "input/" + std::string(name));
        continue;
      }
      if (event.len == 0) continue;
      if (std::strcmp(name, "input") == 0 && (event.mask & IN_CREATE) && inputWatch_ < 0) {
        // Nodes may be in it already; a detection looks.
        WatchInputFolder();
        ++changes;
        callback_(Change::Added, "input");
        continue;
      }
      if (std::strncmp(name, "hidraw", 6) != 0) continue;
      ++changes;
      callback_(change, std::string(name));
    }
  }
  return changes;
}

}  // namespace brevanto
