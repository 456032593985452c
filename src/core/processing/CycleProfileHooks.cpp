#include "core/processing/CycleProfileHooks.h"

#include "core/engine/ButtonEngine.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/profile/ConfigFile.h"

namespace brevanto {

void CycleProfileHooks::PauseCycle() {
  pausedHere_ = timer_ != nullptr && !timer_->Disabled();
  if (pausedHere_) timer_->TimerDisable();
}

void CycleProfileHooks::ResumeCycle() {
  if (pausedHere_) timer_->TimerEnable();
  pausedHere_ = false;
}

// Without a cycle no record has ever been processed, so none holds anything
// and no slot has a container.
void CycleProfileHooks::ForceRelease(ButtonAssignment& record) {
  if (cycle_ != nullptr) brevanto::ForceRelease(record, cycle_->Engine());
}

void CycleProfileHooks::ClearInjectedStates() {
  injected_.ClearStates();
}

void CycleProfileHooks::ResetSlotContainers(ConfigFile& current) {
  if (cycle_ != nullptr) cycle_->ResetSlotContainers(current);
}

}  // namespace brevanto
