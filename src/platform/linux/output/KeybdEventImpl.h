#pragma once

#include "platform/linux/output/LinuxEvent.h"

namespace brevanto {

// KeySendMode 0: the key at the virtual key's place on the keyboard, through
// the uinput keyboard, else XTest.
class KeybdEventImpl : public LinuxEvent {
 public:
  using LinuxEvent::LinuxEvent;
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) override;
};

}  // namespace brevanto
