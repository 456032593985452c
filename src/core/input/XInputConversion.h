#pragma once

#include <cstdint>
#include <span>

#include "core/input/DeviceInput.h"
#include "core/input/ReadOptions.h"

namespace brevanto {

// Button bits of an Xbox-type pad, as the pad reports them.
namespace xinput {
inline constexpr uint16_t kDpadUp = 0x0001;
inline constexpr uint16_t kDpadDown = 0x0002;
inline constexpr uint16_t kDpadLeft = 0x0004;
inline constexpr uint16_t kDpadRight = 0x0008;
inline constexpr uint16_t kStart = 0x0010;
inline constexpr uint16_t kBack = 0x0020;
inline constexpr uint16_t kLeftThumb = 0x0040;
inline constexpr uint16_t kRightThumb = 0x0080;
inline constexpr uint16_t kLeftShoulder = 0x0100;
inline constexpr uint16_t kRightShoulder = 0x0200;
// Only the extended state read reports the guide button; the pad source
// leaves the bit clear when it cannot read it.
inline constexpr uint16_t kGuide = 0x0400;
inline constexpr uint16_t kA = 0x1000;
inline constexpr uint16_t kB = 0x2000;
inline constexpr uint16_t kX = 0x4000;
inline constexpr uint16_t kY = 0x8000;
}  // namespace xinput

// One reading of an Xbox-type pad. The pad source fills it; everything after
// the read is the conversion below.
struct XInputGamepadState {
  uint16_t buttons = 0;
  uint8_t leftTrigger = 0;  // 0..255
  uint8_t rightTrigger = 0;
  int16_t thumbLX = 0;  // -32768..32767, up positive
  int16_t thumbLY = 0;
  int16_t thumbRX = 0;
  int16_t thumbRY = 0;
};

// Turns a pad reading into the common picture: buttons 1..13, the triggers
// as buttons and as axis 5, both sticks and the D-pad as POV 1. input is
// overwritten. analogDeadZone is the device's AnalogDeadZone (0..10000);
// lastAnalog is the device's live axis display (entries 0..3 are updated and
// displayChanged is set when one of them changes).
void ConvertXInputState(const XInputGamepadState& pad, const ReadOptions& options,
                        int analogDeadZone, std::span<int32_t> lastAnalog, DeviceInput& input,
                        bool& displayChanged);

}  // namespace brevanto
