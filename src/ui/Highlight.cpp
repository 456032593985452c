#include "ui/Highlight.h"

#include <algorithm>

namespace brevanto {

QColor HighlightColour(int slot) {
  static const QColor kColours[8] = {
      QColor(255, 255, 0),  // yellow
      QColor(0, 255, 0),    // lime
      QColor(0, 255, 255),  // aqua
      QColor(255, 0, 255),  // fuchsia
      QColor(128, 0, 0),    // maroon
      QColor(0, 128, 0),    // green
      QColor(128, 128, 0),  // olive
      QColor(0, 0, 128),    // navy
  };
  return kColours[((slot % 8) + 8) % 8];
}

namespace {

bool Pressed(const SlotStates& states, int slot, int virtualButton) {
  return slot >= 0 && slot < kMaxJoysticks &&
         states[static_cast<std::size_t>(slot)].pressed[static_cast<std::size_t>(virtualButton)];
}

}  // namespace

int HighlightSlot(const SlotStates& states, int shownSlot, int numberOfJoysticks, int virtualButton,
                  bool highlightButtons, bool forAllTabs) {
  if (virtualButton < 0 || virtualButton >= kVirtualButtonCount) return -1;
  if (highlightButtons) return Pressed(states, shownSlot, virtualButton) ? shownSlot : -1;
  if (!forAllTabs) return -1;
  int colour = -1;
  for (int slot = std::min(numberOfJoysticks, kMaxJoysticks) - 1; slot >= 0; --slot) {
    if (!Pressed(states, slot, virtualButton)) continue;
    colour = slot;
    if (slot == shownSlot) break;
  }
  return colour;
}

bool TabIsStarred(const SlotStates& states, int slot, int numberOfJoysticks, bool windowActive,
                  bool highlightButtons, bool forAllTabs) {
  return windowActive && (highlightButtons || forAllTabs) && slot >= 0 &&
         slot < std::min(numberOfJoysticks, kMaxJoysticks) &&
         states[static_cast<std::size_t>(slot)].anyPressed;
}

}  // namespace brevanto
