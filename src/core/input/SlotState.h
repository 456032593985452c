#pragma once

#include <array>
#include <cstdint>

#include "core/input/VirtualButton.h"

namespace brevanto {

class ProfileJoystick;

// What the processing cycle remembers of one joystick slot between cycles.
struct SlotState {
  std::array<bool, kVirtualButtonCount> pressed{};
  std::array<int32_t, kVirtualButtonCount> pressedSince{};
  bool anyPressed = false;
  // The assignment container that drove the slot in the last cycle.
  ProfileJoystick* lastButtons = nullptr;

  // Device re-detection forgets the highlight of the first 128 virtual buttons.
  void ClearForRedetection() {
    anyPressed = false;
    for (int i = 0; i < 128; ++i) pressed[static_cast<std::size_t>(i)] = false;
  }
};

// All slots in one block, as the cycle walks them.
using SlotStates = std::array<SlotState, kMaxJoysticks>;

}  // namespace brevanto
