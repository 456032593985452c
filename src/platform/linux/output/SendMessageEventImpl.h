#pragma once

#include <functional>

#include "core/ports/WindowTracker.h"
#include "platform/linux/output/LinuxEvent.h"
#include "platform/linux/output/SendInputVKEventImpl.h"

namespace brevanto {

// KeySendMode 3: KeyPress and KeyRelease events sent straight to the target
// window with XSendEvent, with the keycode of mode 1. The mouse goes the
// common way. Wayland has no such messages: in a Wayland session the keys go
// as with mode 1.
class SendMessageEventImpl : public LinuxEvent {
 public:
  // The window the key events go to (kNoWindow: none), asked at every event:
  // the processing cycle's target window.
  using TargetWindowSource = std::function<WindowId()>;

  explicit SendMessageEventImpl(OutputFacilities& facilities)
      : LinuxEvent(facilities), byVirtualKey_(facilities) {}
  void SetTargetWindowSource(TargetWindowSource source) { target_ = std::move(source); }
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) override;

 private:
  TargetWindowSource target_;
  SendInputVKEventImpl byVirtualKey_;
};

}  // namespace brevanto
