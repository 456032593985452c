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
  return true;
}

void HidrawWatcher::Stop() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
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
      if (event.len == 0 || std::strncmp(name, "hidraw", 6) != 0) continue;
      ++changes;
      callback_((event.mask & IN_DELETE) ? Change::Removed : Change::Added, std::string(name));
    }
  }
  return changes;
}

}  // namespace brevanto
