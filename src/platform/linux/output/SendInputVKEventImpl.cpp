#include "platform/linux/output/SendInputVKEventImpl.h"

#include "core/log/Logger.h"
#include "platform/linux/output/ScanCodeKeys.h"
#include "platform/linux/output/XTestConnection.h"

namespace brevanto {

void SendInputVKEventImpl::KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) {
  if (UinputFirst()) {
    SendLayoutKeyThroughUinput(virtualKey, scanCode, flags);
    return;
  }
  if (!out_.x) {
    if (const uint16_t code = EvdevKeyOfVirtualKey(virtualKey, scanCode, Extended(flags))) {
      SendEvdevKey(code, !KeyUp(flags));
    }
    return;
  }
  const unsigned keycode = LayoutKeycode(virtualKey, scanCode, Extended(flags));
  if (keycode == 0) {
    LOG_DEBUG("SendInputVKEventImpl: no key for virtual key %02X", virtualKey);
    return;
  }
  out_.x->Key(keycode, !KeyUp(flags));
  out_.x->Flush();
}

}  // namespace brevanto
