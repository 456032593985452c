#pragma once

#include <string>

namespace brevanto {

class ConfigFile;

// Where the processing cycle gets the profile it processes, and whom it asks
// to switch when a profile-switch assignment fired. The profile manager is
// the real one.
class ProfileSource {
 public:
  virtual ~ProfileSource() = default;

  // The current profile; nullptr while none is loaded (the cycle then does
  // nothing).
  virtual ConfigFile* CurrentProfile() = 0;

  // Makes the named profile current; called by the cycle at its end, on the
  // processing thread with the processing lock held. The profiles' names
  // compare without regard to case. 0 on success or when it is current
  // already, 1 when no profile has that name.
  virtual int LoadByName(const std::string& name) = 0;
};

}  // namespace brevanto
