#include "core/input/PressedFlags.h"

#include <algorithm>

namespace brevanto {

bool UpdatePressed(SlotState& slot, const VirtualValues& values, int count, int threshold,
                   int32_t tick) {
  const int n = std::clamp(count, 0, kVirtualButtonCount);
  bool changed = false;
  slot.anyPressed = false;
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const bool p = values[k] > threshold;
    if (p && !slot.pressed[k]) slot.pressedSince[k] = tick;
    changed |= p != slot.pressed[k];
    slot.pressed[k] = p;
    slot.anyPressed |= p;
  }
  return changed;
}

}  // namespace brevanto
