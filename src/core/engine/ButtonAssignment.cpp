#include "core/engine/ButtonAssignment.h"

#include "core/engine/ScanCodes.h"

namespace brevanto {

int32_t DeriveScanCode(KeyCode code) {
  if (IsPlainVirtualKey(code)) return VirtualKeyToScanCode(KeyValue(code));
  if (KeyCategoryOf(code) != kCategoryVirtualKey) return 0;
  return ExplicitScanCode(code);
}

void ButtonAssignment::Clear() {
  static_cast<AssignmentFields&>(*this) = AssignmentFields{};
  scanCodes = {};
  ResetRuntimeState();
}

void ButtonAssignment::Stamp(int joystick, int button) {
  joystickIndex = static_cast<int16_t>(joystick);
  buttonIndex = static_cast<int16_t>(button);
}

void ButtonAssignment::Copy(const ButtonAssignment& source) {
  if (this != &source) static_cast<AssignmentFields&>(*this) = source;
  ResetRuntimeState();
  Derive();
}

void ButtonAssignment::Derive() {
  for (int input = 0; input < kInputsPerAssignment; ++input) {
    for (int k = 0; k < kKeysPerInput; ++k) {
      scanCodes[static_cast<std::size_t>(input)][static_cast<std::size_t>(k)] =
          DeriveScanCode(keys[static_cast<std::size_t>(input)][static_cast<std::size_t>(k)]);
    }
  }
  repeatCounter = 0;
  if (targetJoystick < 0) {
    kind = AssignmentKind::None;
    targetJoystick = 0;
  }
}

void ButtonAssignment::ResetRuntimeState() {
  static_cast<AssignmentRuntime&>(*this) = AssignmentRuntime{};
}

bool ButtonAssignment::SameEffect(const ButtonAssignment& a, const ButtonAssignment& b) {
  if (a.kind != b.kind) return false;
  switch (a.kind) {
    case AssignmentKind::Keys:
      return a.keys[0] == b.keys[0];
    case AssignmentKind::Mouse:
      return a.clickLeft == b.clickLeft && a.clickMiddle == b.clickMiddle &&
             a.clickRight == b.clickRight && a.clickX1 == b.clickX1 && a.clickX2 == b.clickX2;
    case AssignmentKind::MultiInput:
      return a.multiMode == b.multiMode && a.keys == b.keys;
    default:
      return false;
  }
}

void ButtonAssignment::HandOver(ButtonAssignment& from, ButtonAssignment& to) {
  // Handing a record over to itself would only wipe the state it holds.
  if (&from == &to) return;
  to.toggleState = from.toggleState;
  to.toggleEdge = from.toggleEdge;
  to.prevPressed = from.prevPressed;
  to.keysHeld = from.keysHeld;
  to.heldCodes = from.heldCodes;
  to.pressTick = from.pressTick;
  to.releaseTick = from.releaseTick;
  to.MouseHCount = from.MouseHCount;
  to.MouseVCount = from.MouseVCount;
  to.MouseWHCount = from.MouseWHCount;
  to.MouseWVCount = from.MouseWVCount;
  to.inputIndex = from.inputIndex;
  to.stepTimer = from.stepTimer;
  from.ResetRuntimeState();
}

}  // namespace brevanto
