#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/input/DirectInputConversion.h"
#include "core/input/XInputConversion.h"
#include "core/processing/ReplayScript.h"

namespace brevanto {

// Plays a replay script into device readings: after AdvanceTo(tick) every
// slot's state holds each control's value from its last line at or before
// that tick; controls without such a line are at rest (axes, thumbs, triggers
// and buttons 0, hats centred).
class ScriptedDeviceSource {
 public:
  explicit ScriptedDeviceSource(ReplayScript script);

  // Moves to tick. Going back starts over from the beginning of the script.
  void AdvanceTo(int32_t tick);
  int32_t CurrentTick() const { return tick_; }

  const ReplayScript& Script() const { return script_; }
  bool Uses(int slot) const;
  ReplayDeviceKind KindOf(int slot) const;

  // The slot's reading at the current tick; false when the script has no
  // device of that kind in the slot.
  bool ReadXInput(int slot, XInputGamepadState& state) const;
  bool ReadDirectInput(int slot, DirectInputState& state) const;

 private:
  void Reset();
  void Apply(const ReplayEvent& event);

  ReplayScript script_;
  std::array<XInputGamepadState, kMaxJoysticks> pads_{};
  std::array<DirectInputState, kMaxJoysticks> joysticks_{};
  std::size_t next_ = 0;  // first event not applied yet
  int32_t tick_ = 0;
};

}  // namespace brevanto
