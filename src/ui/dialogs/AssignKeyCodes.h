#pragma once

#include <array>
#include <cstdint>

#include "ui/CapturedKey.h"

namespace brevanto {

// One of the special key codes the assignment dialog offers by name, for
// keys a keyboard cannot type into a key edit (mouse, media, the DirectInput
// variants). Mouse motion and wheel entries take a speed added to the code.
struct SpecialKeyEntry {
  const char* caption;
  uint32_t code;
  bool takesSpeed;
};

inline constexpr std::array<SpecialKeyEntry, 40> kSpecialKeys = {{
    {"マウスカーソル↑", 0x400, true},
    {"マウスカーソル→", 0x500, true},
    {"マウスカーソル↓", 0x600, true},
    {"マウスカーソル←", 0x700, true},
    {"マウスホイール↑", 0x900, true},
    {"マウスホイール↓", 0xA00, true},
    {"マウス左ボタン", 0x201, false},
    {"マウス中ボタン", 0x202, false},
    {"マウス右ボタン", 0x203, false},
    {"Tab", 0x09, false},
    {"L-Shift", 0xA0, false},
    {"R-Shift", 0xA1, false},
    {"L-Ctrl", 0xA2, false},
    {"R-Ctrl", 0xA3, false},
    {"R-Ctrl (for DirectInput)", 0x106, false},
    {"L-Alt", 0xA4, false},
    {"R-Alt", 0xA5, false},
    {"R-Alt (for DirectInput)", 0x107, false},
    {"L-Win", 0x5B, false},
    {"R-Win", 0x5C, false},
    {"Menu", 0x12, false},
    {"Numpad Enter", 0x101, false},
    {"← (for DirectInput)", 0x102, false},
    {"↑ (for DirectInput)", 0x103, false},
    {"→ (for DirectInput)", 0x104, false},
    {"↓ (for DirectInput)", 0x105, false},
    {"音量ミュート", 0xAD, false},
    {"音量上げる", 0xAF, false},
    {"音量下げる", 0xAE, false},
    {"メディア:次", 0xB0, false},
    {"メディア:前", 0xB1, false},
    {"メディア:停止", 0xB2, false},
    {"メディア:再生", 0xB3, false},
    {"漢字ON/OFF", 0x100, false},
    {"半角", 0xF3, false},
    {"全角", 0xF4, false},
    {"Print Screen", 0x2C, false},
    {"Scroll Lock", 0x91, false},
    {"Pause", 0x13, false},
    {"Pause (Alternative)", 0x108, false},
}};

// The speeds offered for mouse motion and wheel entries: 2, 4, ... 30.
inline constexpr int kSpecialKeySpeedCount = 15;
inline constexpr int SpecialKeySpeed(int i) {
  return 2 * (i + 1);
}

// Plain buttons a key code can trigger from the key edits' menu.
inline constexpr int kTriggerButtonCount = 64;
inline constexpr uint32_t kTriggerButtonCode = 0x800;

// The key code a key press in a key edit stores. Key messages name Shift,
// Ctrl and Alt without their side; the side comes from the scan code (right
// Shift) or the extended flag (right Ctrl, right Alt), and the extended
// Enter is the numeric keypad's. Left Ctrl and left Alt stay generic.
uint32_t KeyCodeOfCapturedKey(const CapturedKey& key);

}  // namespace brevanto
