#include "platform/linux/output/KeybdEventImpl.h"

#include "core/log/Logger.h"
#include "platform/linux/output/ScanCodeKeys.h"

namespace brevanto {

void KeybdEventImpl::KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) {
  const uint16_t code = EvdevKeyOfVirtualKey(virtualKey, scanCode, Extended(flags));
  if (code == 0) {
    LOG_DEBUG("KeybdEventImpl: no key for virtual key %02X (scan %02X)", virtualKey, scanCode);
    return;
  }
  SendEvdevKey(code, !KeyUp(flags));
}

}  // namespace brevanto
