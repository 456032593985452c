#pragma once

#include <functional>
#include <string>

namespace brevanto {

// Watches the device folder for hidraw nodes coming and going, and its input
// folder for event and joystick nodes (the controllers SDL reads), so that a
// re-detection can be asked for when, and only when, something changed. A
// change of a node's attributes also counts as an arrival: udev grants
// access only after the node appears.
class HidrawWatcher {
 public:
  enum class Change { Added, Removed };
  // name is the node's file name ("input/event5" for the input folder), or
  // empty when the kernel dropped changes.
  using Callback = std::function<void(Change change, const std::string& name)>;

  explicit HidrawWatcher(Callback callback);
  HidrawWatcher(const HidrawWatcher&) = delete;
  HidrawWatcher& operator=(const HidrawWatcher&) = delete;
  ~HidrawWatcher();

  // Logs and returns false when the folder cannot be watched.
  bool Start(const std::string& devDir = "/dev");
  void Stop();
  // The inotify descriptor, for an event loop to watch; -1 when stopped.
  int Fd() const { return fd_; }
  // Reports every waiting change through the callback without blocking.
  // Returns the number of node changes reported.
  int Process();

 private:
  void WatchInputFolder();

  Callback callback_;
  int fd_ = -1;
  std::string devDir_;
  int inputWatch_ = -1;
};

}  // namespace brevanto
