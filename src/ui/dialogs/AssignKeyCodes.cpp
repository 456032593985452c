#include "ui/dialogs/AssignKeyCodes.h"

namespace brevanto {

uint32_t KeyCodeOfCapturedKey(const CapturedKey& key) {
  constexpr uint8_t kRightShiftScan = 0x36;
  switch (key.virtualKey) {
    case 0x0D:
      return key.extended ? 0x101 : 0x0D;
    case 0x10:
      return key.scanCode == kRightShiftScan ? 0xA1 : 0x10;
    case 0x11:
      return key.extended ? 0xA3 : 0x11;
    case 0x12:
      return key.extended ? 0xA5 : 0x12;
    default:
      return key.virtualKey;
  }
}

}  // namespace brevanto
