#pragma once

#include <cstdint>
#include <span>

#include "core/input/DeviceInput.h"

namespace brevanto {

// The profile options that shape one stick.
struct StickOptions {
  int threshold = 0;      // Threshold (stick 1) or Threshold2 (stick 2), 0..1000
  bool diagonal = false;  // UseDiagonalInput / UseDiagonalInput2
};

// Turns the analog pair of stick 0 (axes 1/2) or stick 1 (axes 3/4) into
// direction buttons. deadZone is the device's AnalogDeadZone / 10. Without
// diagonals the pair is rescaled radially so that the threshold becomes zero.
void ConvertStick(int stick, int32_t& x, int32_t& y, int deadZone, const StickOptions& options,
                  std::array<int32_t, kVirtualButtonCount>& values);

// Axes 5..8 (throttles, sliders, triggers): direction buttons above the
// profile's Threshold, with no dead zone and no cap.
void ConvertFurtherAxes(const std::array<int32_t, kAxisCount>& analog, int threshold,
                        std::array<int32_t, kVirtualButtonCount>& values);

// Keeps the device's lastAnalog (value / 20 per physical axis) for the live
// axis display. physicalAxis[i] is the physical index feeding logical axis i;
// axes whose index is outside lastAnalog are skipped. Sets displayChanged when
// an entry changes and never clears it.
void UpdateAnalogDisplay(const std::array<int32_t, kAxisCount>& analog,
                         std::span<const int> physicalAxis, std::span<int32_t> lastAnalog,
                         bool& displayChanged);

}  // namespace brevanto
