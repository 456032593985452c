#include "platform/linux/instance/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <utility>

namespace brevanto {

InstanceLock::InstanceLock(InstanceLock&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

InstanceLock& InstanceLock::operator=(InstanceLock&& other) noexcept {
  if (this != &other) {
    Release();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

InstanceLock::~InstanceLock() {
  Release();
}

LockStatus InstanceLock::TryAcquire(const std::string& path) {
  Release();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return LockStatus::Failed;
  int result;
  do {
    result = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (result != 0 && errno == EINTR);
  if (result != 0) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return error == EWOULDBLOCK ? LockStatus::HeldElsewhere : LockStatus::Failed;
  }
  // The holder's process id, for whoever wonders which process runs.
  const std::string pid = std::to_string(::getpid()) + "\n";
  if (::ftruncate(fd, 0) == 0) {
    [[maybe_unused]] const ssize_t written = ::pwrite(fd, pid.data(), pid.size(), 0);
  }
  fd_ = fd;
  return LockStatus::Acquired;
}

void InstanceLock::Release() {
  if (fd_ < 0) return;
  // Closing the only descriptor of the open file drops the flock.
  ::close(fd_);
  fd_ = -1;
}

}  // namespace brevanto
