#pragma once

#include "platform/linux/output/LinuxEvent.h"

namespace brevanto {

// KeySendMode 2: the key of the set-1 scan code (the extended flag is the E0
// prefix), through the uinput keyboard, else XTest.
class SendInputSCEventImpl : public LinuxEvent {
 public:
  using LinuxEvent::LinuxEvent;
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) override;
};

}  // namespace brevanto
