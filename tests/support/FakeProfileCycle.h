#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/profile/ConfigFile.h"
#include "core/profile/ProfileCycleHooks.h"

namespace brevanto::testing {

// The processing side as the profile manager sees it. Records what the
// manager asked for and counts every change of cycle data made while the
// cycle was neither paused nor running the manager itself (insideCycle):
// on the real program such a change races the processing thread.
class FakeProfileCycle final : public ProfileCycleHooks {
 public:
  void PauseCycle() override {
    if (insideCycle || paused) ++misuses;
    paused = true;
    ++pauses;
  }
  void ResumeCycle() override {
    if (!paused) ++misuses;
    paused = false;
  }
  void ForceRelease(ButtonAssignment& record) override {
    Change();
    released.push_back(&record);
  }
  void ClearInjectedStates() override {
    Change();
    ++injectedClears;
  }
  void ResetSlotContainers(ConfigFile& current) override {
    Change();
    resets.push_back(&current);
  }

  // Whether every record of every container the profile has was released.
  bool ReleasedAllOf(ConfigFile& profile) const {
    std::size_t expected = 0;
    for (int slot = 0; slot < kMaxJoysticks; ++slot) {
      ProfileJoystick* joystick = profile.Joystick(slot);
      if (joystick == nullptr) continue;
      for (ButtonAssignment& record : joystick->Buttons()) {
        ++expected;
        if (std::find(released.begin(), released.end(), &record) == released.end()) return false;
      }
    }
    return released.size() == expected;
  }
  void Clear() {
    released.clear();
    resets.clear();
    injectedClears = 0;
    pauses = 0;
  }

  bool insideCycle = false;
  bool paused = false;
  int pauses = 0;
  int misuses = 0;  // pause from inside a cycle, nested pause, resume without pause
  int unpausedChanges = 0;
  int injectedClears = 0;
  std::vector<ButtonAssignment*> released;
  std::vector<ConfigFile*> resets;

 private:
  void Change() {
    if (!paused && !insideCycle) ++unpausedChanges;
  }
};

// Runs a call the way the processing thread makes it: inside a cycle.
template <typename F>
auto InsideCycle(FakeProfileCycle& cycle, F call) {
  cycle.insideCycle = true;
  struct Reset {
    FakeProfileCycle& c;
    ~Reset() { c.insideCycle = false; }
  } reset{cycle};
  return call();
}

}  // namespace brevanto::testing
