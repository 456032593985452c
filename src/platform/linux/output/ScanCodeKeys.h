#pragma once

#include <cstdint>

namespace brevanto {

// Linux evdev key code (KEY_*) of a set-1 scan code whose bit 8 stands for
// the E0 prefix, or 0 when the keyboard has no such key. An E0 code the table
// does not know is taken as its plain key. The E0 forms of DirectInput's key
// numbers for the arrows, right Ctrl and right Alt (0xC8, 0xCB, 0xCD, 0xD0,
// 0x9D, 0xB8) name those keys.
uint16_t EvdevKeyOfScanCode(uint16_t scanCode);

// The set-1 scan code (bit 8 = E0 prefix) that EvdevKeyOfScanCode maps to
// this evdev key, preferring the E0 code where a plain one maps there too
// (Print Screen, Num Lock); 0 when no code does.
uint16_t ScanCodeOfEvdevKey(uint16_t evdevKey);

// The evdev key of a virtual key: the key at its place on the US layout. The
// extended flag can only move a key to its E0 twin (Enter to numpad Enter).
// Keys without a place of their own take the scan code given with them.
// 0 when neither names a key.
uint16_t EvdevKeyOfVirtualKey(uint8_t virtualKey, uint8_t scanCode, bool extended);

// X keycodes of the evdev keyboard driver are the evdev codes shifted by 8.
inline constexpr unsigned kXKeycodeOffset = 8;

}  // namespace brevanto
