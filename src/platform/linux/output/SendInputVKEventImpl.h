#pragma once

#include "platform/linux/output/LinuxEvent.h"

namespace brevanto {

// KeySendMode 1: the key that prints the virtual key's character on the
// current X keyboard layout, through XTest. Without X, the uinput key of
// mode 0; in a Wayland session the layout's key through uinput.
class SendInputVKEventImpl : public LinuxEvent {
 public:
  using LinuxEvent::LinuxEvent;
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) override;
};

}  // namespace brevanto
