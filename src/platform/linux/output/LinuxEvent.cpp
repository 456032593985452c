#include "platform/linux/output/LinuxEvent.h"

#include <linux/input-event-codes.h>

#include "core/engine/MouseButtons.h"
#include "core/log/Logger.h"
#include "platform/linux/output/InputEventWriter.h"
#include "platform/linux/output/ScanCodeKeys.h"
#include "platform/linux/output/VirtualKeySyms.h"
#include "platform/linux/output/XTestConnection.h"

namespace brevanto {
namespace {

// X pointer buttons: 4/5 turn the wheel up/down, 6/7 tilt it left/right,
// 8/9 are the back and forward side buttons.
struct XButton {
  uint8_t bit;
  unsigned button;
};
constexpr XButton kXButtons[] = {
    {kMouseLeft, 1}, {kMouseMiddle, 2}, {kMouseRight, 3}, {kMouseX1, 8}, {kMouseX2, 9},
};

}  // namespace

void LinuxEvent::Drop() {
  if (out_.dropLogged) return;
  out_.dropLogged = true;
  LOG_ERROR(
      "Output: neither uinput nor an X display is available, key and mouse output is dropped");
}

void LinuxEvent::SendEvdevKey(uint16_t code, bool down) {
  if (out_.uinput) {
    out_.uinput->Key(code, down);
  } else if (out_.x) {
    out_.x->Key(code + kXKeycodeOffset, down);
    out_.x->Flush();
  } else {
    Drop();
  }
}

unsigned LinuxEvent::LayoutKeycode(uint8_t virtualKey, uint8_t scanCode, bool extended) const {
  if (const unsigned keycode = out_.x->KeycodeOfKeysym(KeysymOfVirtualKey(virtualKey, extended))) {
    return keycode;
  }
  const uint16_t code = EvdevKeyOfVirtualKey(virtualKey, scanCode, extended);
  return code ? code + kXKeycodeOffset : 0;
}

void LinuxEvent::SendLayoutKeyThroughUinput(uint8_t virtualKey, uint8_t scanCode, int32_t flags) {
  const unsigned keycode = out_.x ? LayoutKeycode(virtualKey, scanCode, Extended(flags)) : 0;
  const uint16_t code = keycode > kXKeycodeOffset
                            ? static_cast<uint16_t>(keycode - kXKeycodeOffset)
                            : EvdevKeyOfVirtualKey(virtualKey, scanCode, Extended(flags));
  if (code == 0) {
    LOG_DEBUG("Output: no key for virtual key %02X", virtualKey);
    return;
  }
  out_.uinput->Key(code, !KeyUp(flags));
}

void LinuxEvent::MoveAbsolute(int32_t x, int32_t y) {
  // X knows the screen size; uinput leaves the scaling to the compositor.
  if (out_.x && !UinputFirst()) {
    out_.x->MoveAbsolute(x, y);
    out_.x->Flush();
  } else if (out_.uinput) {
    out_.uinput->AbsoluteMotion(x, y);
  } else {
    Drop();
  }
}

void LinuxEvent::MoveRelative(int32_t dx, int32_t dy) {
  if (dx == 0 && dy == 0) return;
  if (out_.uinput) {
    out_.uinput->RelativeMotion(dx, dy);
  } else if (out_.x) {
    out_.x->MoveRelative(dx, dy);
    out_.x->Flush();
  } else {
    Drop();
  }
}

void LinuxEvent::WheelNotches(int32_t delta, uint16_t axis, unsigned positiveButton,
                              unsigned negativeButton) {
  const int32_t notches = delta / kWheelDelta;
  if (notches == 0) return;
  if (out_.uinput) {
    out_.uinput->WheelNotches(axis, notches);
  } else if (out_.x) {
    const unsigned button = notches > 0 ? positiveButton : negativeButton;
    for (int32_t i = 0; i < (notches > 0 ? notches : -notches); ++i) {
      out_.x->Button(button, true);
      out_.x->Button(button, false);
    }
    out_.x->Flush();
  } else {
    Drop();
  }
}

void LinuxEvent::Wheel(int32_t delta) {
  WheelNotches(delta, REL_WHEEL, 4, 5);
}

void LinuxEvent::HWheel(int32_t delta) {
  WheelNotches(delta, REL_HWHEEL, 7, 6);
}

void LinuxEvent::MouseButtons(bool press, bool release, int32_t left, int32_t middle, int32_t right,
                              int32_t x1, int32_t x2) {
  const MouseButtonChange change = ResolveMouseButtons(press, release, left, middle, right, x1, x2);
  if (change.buttons == 0) return;
  if (out_.uinput) {
    out_.uinput->MouseButtons(change.buttons, change.down);
  } else if (out_.x) {
    for (const XButton& b : kXButtons) {
      if (change.buttons & b.bit) out_.x->Button(b.button, change.down);
    }
    out_.x->Flush();
  } else {
    Drop();
  }
}

void LinuxEvent::SendPauseSequence() {
  SendEvdevKey(KEY_PAUSE, true);
  SendEvdevKey(KEY_PAUSE, false);
}

}  // namespace brevanto
