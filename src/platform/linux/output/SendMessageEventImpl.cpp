#include "platform/linux/output/SendMessageEventImpl.h"

#include "core/log/Logger.h"
#include "platform/linux/output/XTestConnection.h"

namespace brevanto {

void SendMessageEventImpl::KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) {
  // Without uinput, X11 windows still take messages when the target is an
  // X window; a Wayland window's id means nothing to the X server.
  if (out_.wayland && (out_.uinput != nullptr || !target_)) {
    if (!out_.messageFallbackLogged) {
      out_.messageFallbackLogged = true;
      LOG_INFO(
          "KeySendMode 3: Wayland windows take no key messages; keys go as with KeySendMode 1");
    }
    byVirtualKey_.KeyEvent(virtualKey, scanCode, flags);
    return;
  }
  if (!out_.x) {
    if (!out_.messageDropLogged) {
      out_.messageDropLogged = true;
      LOG_ERROR("SendMessageEventImpl: no X display, key events to the target window are dropped");
    }
    return;
  }
  const WindowId window = target_ ? target_() : kNoWindow;
  if (window == kNoWindow) {
    LOG_DEBUG("SendMessageEventImpl: no target window for virtual key %02X", virtualKey);
    return;
  }
  const unsigned keycode = LayoutKeycode(virtualKey, scanCode, Extended(flags));
  if (keycode == 0) {
    LOG_DEBUG("SendMessageEventImpl: no key for virtual key %02X", virtualKey);
    return;
  }
  out_.x->SendKey(window, keycode, !KeyUp(flags));
  out_.x->Flush();
}

}  // namespace brevanto
