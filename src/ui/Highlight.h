#pragma once

#include <QColor>

#include "core/input/SlotState.h"

namespace brevanto {

// The colour of a joystick slot's pressed buttons; slots share the eight
// colours in turn.
QColor HighlightColour(int slot);

// Which slot's colour paints the row of a virtual button, or -1 for none.
// With highlightButtons only the shown slot counts. With forAllTabs alone
// every slot of the profile counts: the shown slot when it presses the
// button, else the lowest-numbered slot that does.
int HighlightSlot(const SlotStates& states, int shownSlot, int numberOfJoysticks, int virtualButton,
                  bool highlightButtons, bool forAllTabs);

// Whether a joystick tab's caption is starred: the window is active, some
// highlighting is on, the slot is in use and presses any button.
bool TabIsStarred(const SlotStates& states, int slot, int numberOfJoysticks, bool windowActive,
                  bool highlightButtons, bool forAllTabs);

}  // namespace brevanto
