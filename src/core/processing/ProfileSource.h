#pragma once

#include <string>

namespace brevanto {

class ConfigFile;

// Where the processing cycle gets the profile it processes, and whom it asks
// to switch when a profile-switch assignment fired. The profile manager is
// the program's one.
class ProfileSource {
 public:
  virtual ~ProfileSource() = default;

  // The current profile; nullptr while none is loaded (the cycle then does
  // nothing).
  virtual ConfigFile* Current() const = 0;

  // Makes the named profile current (names compare without regard to case);
  // called by the cycle at its end, on the processing thread with the
  // processing lock held. 0 when it is current now (also when it already
  // was), 1 when no profile has that name.
  virtual int SwitchTo(const std::string& name) = 0;
};

}  // namespace brevanto
