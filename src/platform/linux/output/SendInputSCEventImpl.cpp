#include "platform/linux/output/SendInputSCEventImpl.h"

#include <linux/input-event-codes.h>

#include "core/log/Logger.h"
#include "platform/linux/output/ScanCodeKeys.h"

namespace brevanto {

void SendInputSCEventImpl::KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) {
  const uint16_t scan = static_cast<uint16_t>(scanCode | (Extended(flags) ? 0x100 : 0));
  // Pause is stored with Num Lock's scan code 0x145; sent as that, a Pause
  // assignment would toggle Num Lock.
  const uint16_t code =
      (virtualKey == 0x13 && scan == 0x145) ? KEY_PAUSE : EvdevKeyOfScanCode(scan);
  if (code == 0) {
    LOG_DEBUG("SendInputSCEventImpl: no key for scan code %03X", scan);
    return;
  }
  SendEvdevKey(code, !KeyUp(flags));
}

}  // namespace brevanto
