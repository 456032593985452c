#pragma once

#include <string>

namespace brevanto {

// Port: the one running instance of the program for this user.
class SingleInstance {
 public:
  virtual ~SingleInstance() = default;

  // When no other instance runs, claims the place of the running instance
  // (held until this object is destroyed) and returns false. Otherwise hands
  // this start's request to the running instance (the profile to switch to
  // when not empty, a device re-detection when asked for, then restoring its
  // window) and returns true: this process must exit.
  virtual bool HandOverToRunningInstance(const std::string& profileName, bool refreshDevices) = 0;
};

}  // namespace brevanto
