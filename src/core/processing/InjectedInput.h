#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "core/input/VirtualButton.h"

namespace brevanto {

// Button presses another program injects through the window messages: the
// plain buttons of one joystick driven without a controller, and optionally
// one slot whose controller is ignored meanwhile. The user-interface thread
// writes it (the target change inside TimerDisable/TimerEnable, presses and
// releases at any time); the cycle reads it.
class InjectedInput {
 public:
  static constexpr int32_t kNone = -1;

  // Joystick numbers outside 0..49 mean none.
  void SetSuppressedSlot(intptr_t slot) {
    suppressedSlot_.store(Normalized(slot), std::memory_order_relaxed);
  }
  // Stores the new target and forgets the injected states. The caller has
  // released the previous target's buttons with the cycle paused.
  void SetTarget(intptr_t target) {
    ClearStates();
    injectTarget_.store(Normalized(target), std::memory_order_relaxed);
  }
  // Forgets every injected press and keeps the target: a profile switch must
  // not carry presses into the new profile.
  void ClearStates() {
    for (auto& state : states_) state.store(false, std::memory_order_relaxed);
  }

  // Plain button 0..127; other numbers are ignored.
  void Press(intptr_t button) { SetState(button, true); }
  void Release(intptr_t button) { SetState(button, false); }

  // The stored target, kNone when there is none.
  int32_t injectTarget() const { return injectTarget_.load(std::memory_order_relaxed); }
  int32_t suppressedSlot() const { return suppressedSlot_.load(std::memory_order_relaxed); }

  // The target or suppressed slot when it is one of the profile's
  // joystickCount joysticks, else kNone: the cycle's per-joystick arrays are
  // only that long.
  int32_t InjectTargetWithin(int joystickCount) const {
    return Within(injectTarget(), joystickCount);
  }
  int32_t SuppressedSlotWithin(int joystickCount) const {
    return Within(suppressedSlot(), joystickCount);
  }

  bool Pressed(int button) const {
    return button >= 0 && button < kPlainButtonCount &&
           states_[static_cast<std::size_t>(button)].load(std::memory_order_relaxed);
  }

 private:
  static int32_t Normalized(intptr_t joystick) {
    return joystick >= 0 && joystick < kMaxJoysticks ? static_cast<int32_t>(joystick) : kNone;
  }
  static int32_t Within(int32_t joystick, int joystickCount) {
    return joystick >= 0 && joystick < joystickCount ? joystick : kNone;
  }
  void SetState(intptr_t button, bool pressed) {
    if (button < 0 || button >= kPlainButtonCount) return;
    states_[static_cast<std::size_t>(button)].store(pressed, std::memory_order_relaxed);
  }

  std::atomic<int32_t> injectTarget_{kNone};
  std::atomic<int32_t> suppressedSlot_{kNone};
  std::array<std::atomic<bool>, kPlainButtonCount> states_{};
};

}  // namespace brevanto
