#pragma once

#include <string>

namespace brevanto {

enum class LockStatus {
  Acquired,
  HeldElsewhere,  // another process holds it
  Failed,         // the lock file cannot be opened or locked; errno says why
};

// An exclusive flock on a file, held until the object is destroyed or
// Release is called. The kernel drops it when the process ends, however it
// ends, so a crash never leaves a stale lock behind.
class InstanceLock {
 public:
  InstanceLock() = default;
  InstanceLock(InstanceLock&& other) noexcept;
  InstanceLock& operator=(InstanceLock&& other) noexcept;
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;
  ~InstanceLock();

  // Never waits. On Failed, errno holds the reason.
  LockStatus TryAcquire(const std::string& path);
  void Release();
  bool Held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace brevanto
