#pragma once

#include <array>
#include <cstdint>

#include "core/input/HidDescriptor.h"
#include "core/input/VirtualButton.h"

namespace brevanto {

// What a value usage means to the state table: axes X..Dial feed axes 0..7,
// Accelerator and Brake feed the one-sided axes 6 and 7, and the hat switch
// the hat.
struct HidValueRole {
  enum Kind { kOther, kAxis, kPedal, kHat };
  Kind kind = kOther;
  int axis = -1;
};
HidValueRole ClassifyHidValueUsage(uint16_t usagePage, uint16_t usage);

// Axis bit sizes the decoder scales; other sizes read as 0.
constexpr bool IsSupportedHidAxisBitSize(int bitSize) {
  return bitSize == 8 || bitSize == 10 || bitSize == 16;
}

struct HidCapabilities {
  int numAxes = 0;
  std::array<bool, kAxisCount> axisPresent{};
  int numPovs = 0;
  int numButtons = 0;
};

// Counts the axes, hats and buttons of the descriptor and logs them with every
// value capability it meets ("numAxis = ...", "numPOVs = ...", "numButtons = ...").
HidCapabilities ReadHidCapabilities(const HidDescriptor& descriptor);

// Devices whose buttons follow the Xbox pad numbering: the shared trigger axis
// then also gives buttons 11 and 12.
bool IsXboxLayout(const HidCapabilities& caps, bool microsoftDevice, int deviceType);

// The axis mapping a device gets when its stored mapping is still undecided:
// PlayStation pads put their right stick on Z/Rz, Xbox pads on Rx/Ry.
std::array<int, kAxisCount> AutomaticHidAxisMapping(const HidCapabilities& caps, int deviceType,
                                                    bool xboxLayout);

}  // namespace brevanto
