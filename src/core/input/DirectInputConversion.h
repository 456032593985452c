#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "core/input/DeviceInput.h"
#include "core/input/ReadOptions.h"

namespace brevanto {

// A POV hat at rest reports any angle above 35999; this is the usual one.
inline constexpr uint32_t kPovCentred = 0xFFFFFFFFu;

// One reading of a generic joystick in the layout of the classic joystick
// state: eight axes scaled to -1000..1000 (X, Y, Z, RX, RY, RZ, slider 0,
// slider 1), four POV angles in hundredths of a degree and 128 buttons whose
// bit 0x80 means pressed. The joystick source fills it.
struct DirectInputState {
  std::array<int32_t, kAxisCount> axes{};
  std::array<uint32_t, kPovCount> pov{kPovCentred, kPovCentred, kPovCentred, kPovCentred};
  std::array<uint8_t, kPlainButtonCount> buttons{};
};

// Turns a joystick reading into the common picture. axisMapping[i] is the
// physical axis (0..7) that feeds logical axis i + 1; an entry outside 0..7
// feeds nothing. Sticks 1 and 2 use the device's analogDeadZone (0..10000),
// axes 5..8 the profile's Threshold, POV hats follow UsePOV8Way, and only the
// profile's first NumberOfButtons buttons are reported. lastAnalog (per
// physical axis) is the live axis display; displayChanged is set when an
// entry changes. input is overwritten.
void ConvertDirectInputState(const DirectInputState& state, std::span<const int> axisMapping,
                             const ReadOptions& options, int analogDeadZone,
                             std::span<int32_t> lastAnalog, DeviceInput& input,
                             bool& displayChanged);

// The directions one hat reports for an angle: four-way directions use the
// even direction numbers. Exact boundaries report both neighbours.
void ConvertPov(uint32_t angle, bool eightWay, int hat /* 1..4 */,
                std::array<int32_t, kVirtualButtonCount>& values);

}  // namespace brevanto
