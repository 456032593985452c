#pragma once

#include "core/profile/ProfileCycleHooks.h"

namespace brevanto {

class InjectedInput;
class ProcessingCycle;
class ProcessingTimer;

// The processing side as the profile manager reaches it: the timer pauses
// the cycle, the button engine lets go of what a record holds, and the cycle
// takes the containers of the profile that became current.
class CycleProfileHooks final : public ProfileCycleHooks {
 public:
  explicit CycleProfileHooks(InjectedInput& injected) : injected_(injected) {}

  // The cycle reads the manager that uses these hooks, so it is made later;
  // connect it before the manager lists the profiles. Without a timer
  // nothing runs cycles concurrently (a tool driving them itself).
  void Connect(ProcessingCycle& cycle, ProcessingTimer* timer) {
    cycle_ = &cycle;
    timer_ = timer;
  }

  // A pause requested while the timer is paused already (by the user
  // interface around a larger change, or before it was ever started) leaves
  // it paused when it ends.
  void PauseCycle() override;
  void ResumeCycle() override;
  void ForceRelease(ButtonAssignment& record) override;
  void ClearInjectedStates() override;
  void ResetSlotContainers(ConfigFile& current) override;

 private:
  InjectedInput& injected_;
  ProcessingCycle* cycle_ = nullptr;
  ProcessingTimer* timer_ = nullptr;
  bool pausedHere_ = false;
};

}  // namespace brevanto
