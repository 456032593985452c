#pragma once

#include <cstdint>

namespace brevanto {

// One entry of an assignment's key list. Bits 0-7 are a value, bits 8-15 a
// category, bits 16-31 an optional explicit scan code (virtual keys only).
// 0 is no key. The numbers are stored in profiles as they are.
using KeyCode = uint32_t;

inline constexpr int kKeysPerInput = 4;
inline constexpr int kInputsPerAssignment = 4;

enum KeyCategory : uint8_t {
  kCategoryVirtualKey = 0,   // Windows virtual-key code 0x01..0xFF
  kCategorySpecial = 1,      // 0x100..0x108, see below
  kCategoryMouseButton = 2,  // 1 left, 2 middle, 3 right
  kCategoryMouseUp = 4,      // mouse movement with speed nn while held
  kCategoryMouseRight = 5,
  kCategoryMouseDown = 6,
  kCategoryMouseLeft = 7,
  kCategoryTrigger = 8,  // plain button nn + 1 of the same slot
  kCategoryWheelUp = 9,  // wheel with speed nn while held
  kCategoryWheelDown = 10,
};

// Category 1: keys a virtual-key code cannot express on its own.
inline constexpr KeyCode kKeyKanji = 0x100;
inline constexpr KeyCode kKeyNumpadEnter = 0x101;
inline constexpr KeyCode kKeyLeftDirectInput = 0x102;
inline constexpr KeyCode kKeyUpDirectInput = 0x103;
inline constexpr KeyCode kKeyRightDirectInput = 0x104;
inline constexpr KeyCode kKeyDownDirectInput = 0x105;
inline constexpr KeyCode kKeyRightCtrlDirectInput = 0x106;
inline constexpr KeyCode kKeyRightAltDirectInput = 0x107;
inline constexpr KeyCode kKeyPauseAlternative = 0x108;

inline constexpr KeyCode kMouseButtonLeft = 0x201;
inline constexpr KeyCode kMouseButtonMiddle = 0x202;
inline constexpr KeyCode kMouseButtonRight = 0x203;

// Bit 8 of a derived scan code: the key is sent with the E0 prefix.
inline constexpr int32_t kExtendedScanFlag = 0x100;

constexpr uint8_t KeyValue(KeyCode code) {
  return static_cast<uint8_t>(code & 0xFF);
}
constexpr uint8_t KeyCategoryOf(KeyCode code) {
  return static_cast<uint8_t>((code >> 8) & 0xFF);
}
constexpr uint16_t ExplicitScanCode(KeyCode code) {
  return static_cast<uint16_t>(code >> 16);
}

constexpr KeyCode MakeKeyCode(uint8_t category, uint8_t value, uint16_t explicitScan = 0) {
  return (static_cast<KeyCode>(explicitScan) << 16) | (static_cast<KeyCode>(category) << 8) | value;
}

// A plain virtual key without an explicit scan code: 0x01..0xFF.
constexpr bool IsPlainVirtualKey(KeyCode code) {
  return code >= 0x01 && code <= 0xFF;
}

}  // namespace brevanto
