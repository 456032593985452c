#pragma once

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace brevanto::testing {

// Tests that move the focus, the pointer or the keyboard mapping of one X
// server take turns, also across test processes run in parallel.
//
// The lock is taken on the lock file a local X server keeps while it runs
// (/tmp/.X<n>-lock), so the tests leave no file behind; a display without
// one (a remote server) falls back to a file of the tests' own.
class DisplayLock {
 public:
  DisplayLock() {
    const std::string display = std::getenv("DISPLAY") ? std::getenv("DISPLAY") : "";
    if (display.starts_with(":")) {
      const std::string number = display.substr(1, display.find('.') - 1);
      fd_ = ::open(("/tmp/.X" + number + "-lock").c_str(), O_RDONLY | O_CLOEXEC);
    }
    if (fd_ < 0) {
      std::string name = display;
      for (char& c : name) {
        if (c == '/' || c == ':') c = '_';
      }
      fd_ = ::open(("/tmp/brevanto-x-test" + name + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC,
                   0666);
    }
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
