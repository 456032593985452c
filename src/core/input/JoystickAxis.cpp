#include "core/input/JoystickAxis.h"

#include <algorithm>
#include <cmath>

namespace brevanto {

int32_t ScaleJoystickAxis(int32_t raw, int deadZone, int saturation) {
  constexpr double kHalfRange = 32767.0;
  constexpr double kWhole = 10000.0;
  const double dead = std::clamp(deadZone, 0, 10000);
  const double full = std::clamp(saturation, 0, 10000);
  const double magnitude = raw < 0 ? -static_cast<double>(raw) : static_cast<double>(raw);
  const double d = std::min(magnitude * kWhole / kHalfRange, kWhole);
  int32_t value = 0;
  if (d <= dead) {
    value = 0;
  } else if (d >= full) {
    value = 1000;
  } else {
    value = static_cast<int32_t>(std::lround(1000.0 * (d - dead) / (full - dead)));
  }
  return raw < 0 ? -value : value;
}

}  // namespace brevanto
