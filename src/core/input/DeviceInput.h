#pragma once

#include <array>
#include <cstdint>

#include "core/input/VirtualButton.h"

namespace brevanto {

// One reading of a device: the intensity of every virtual button (0..1000) and
// the eight logical axes after axis mapping (-1000..1000, negative = left/up).
struct DeviceInput {
  std::array<int32_t, kVirtualButtonCount> values{};
  std::array<int32_t, kAxisCount> analog{};

  void Clear() {
    values.fill(0);
    analog.fill(0);
  }
};

}  // namespace brevanto
