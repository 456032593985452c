#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace brevanto::testing {

// Tests that move the focus, the pointer or the keyboard mapping of one X
// server take turns, also across test processes run in parallel.
class DisplayLock {
 public:
  DisplayLock() {
    std::string name = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    for (char& c : name) {
      if (c == '/' || c == ':') c = '_';
    }
    fd_ = ::open(("/tmp/brevanto-x-test" + name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
                 0666);
    if (fd_ >= 0) ::flock(fd_, LOCK_EX);
  }
  ~DisplayLock() {
    if (fd_ >= 0) ::close(fd_);
  }
  DisplayLock(const DisplayLock&) = delete;
  DisplayLock& operator=(const DisplayLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace brevanto::testing
