#pragma once

namespace brevanto {

class ButtonAssignment;
class ConfigFile;

// What the profile manager needs from the processing side when the current
// profile changes: the cycle reads the profile, so changes made from the
// user-interface thread happen with the cycle paused, the records of the
// profile that is left give back whatever they hold, and the slots are
// pointed at the containers of the new one.
class ProfileCycleHooks {
 public:
  virtual ~ProfileCycleHooks() = default;

  // Pause cycling, returning only after a running cycle has finished; and
  // resume it. Called from the user-interface thread only, never nested.
  virtual void PauseCycle() = 0;
  virtual void ResumeCycle() = 0;

  // Releases everything one record holds: keys up, repeat and toggles ended.
  virtual void ForceRelease(ButtonAssignment& record) = 0;
  // Forgets the button states other programs injected.
  virtual void ClearInjectedStates() = 0;
  // Lets every slot below the profile's number of joysticks use the
  // profile's container of the same number, and no container the others.
  virtual void ResetSlotContainers(ConfigFile& current) = 0;
};

}  // namespace brevanto
