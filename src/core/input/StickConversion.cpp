#include "core/input/StickConversion.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>

namespace brevanto {
namespace {

void Set(std::array<int32_t, kVirtualButtonCount>& values, int index, int32_t value) {
  values[static_cast<std::size_t>(index)] = value;
}

}  // namespace

void ConvertStick(int stick, int32_t& x, int32_t& y, int deadZone, const StickOptions& options,
                  std::array<int32_t, kVirtualButtonCount>& values) {
  const int f = std::max(deadZone, options.threshold);
  const int limit = f >= 1000 ? 999 : f;
  const int left = 4 * stick;
  const int right = left + 1;
  const int up = left + 2;
  const int down = left + 3;
  const int diagonals = kFirstDiagonal + 4 * stick;

  if (!options.diagonal) {
    if (x < -limit) Set(values, left, -x);
    if (x > limit) Set(values, right, x);
    if (y < -limit) Set(values, up, -y);
    if (y > limit) Set(values, down, y);

    const double r = std::sqrt(static_cast<double>(x) * x + static_cast<double>(y) * y);
    if (r < limit) {
      x = 0;
      y = 0;
    } else if (f >= 1) {
      const double k = (std::min(r, 1000.0) - limit) / (1000.0 - limit);
      x = static_cast<int32_t>(std::trunc(k * x));
      y = static_cast<int32_t>(std::trunc(k * y));
    }
    return;
  }

  const int32_t ax = std::abs(x);
  const int32_t ay = std::abs(y);
  const int32_t big = std::max(ax, ay);
  const int32_t small = std::min(ax, ay);
  const bool inDiagonalZone = big < small * 2.4;

  auto horizontal = [&] {
    if (x > limit) Set(values, right, x);
    if (x < -limit) Set(values, left, -x);
  };

  if (y < -limit) {
    if (inDiagonalZone) {
      if (x > limit) Set(values, diagonals + kDiagonalUpRight, big);
      if (x < -limit) Set(values, diagonals + kDiagonalUpLeft, big);
    } else if (ax < ay) {
      Set(values, up, ay);
    } else {
      horizontal();
    }
  } else if (y <= limit) {
    horizontal();
  } else {
    if (inDiagonalZone) {
      if (x > limit) Set(values, diagonals + kDiagonalDownRight, big);
      if (x < -limit) Set(values, diagonals + kDiagonalDownLeft, big);
    } else if (ax < ay) {
      Set(values, down, ay);
    } else {
      horizontal();
    }
  }
}

void ConvertFurtherAxes(const std::array<int32_t, kAxisCount>& analog, int threshold,
                        std::array<int32_t, kVirtualButtonCount>& values) {
  for (int axis = 5; axis <= kAxisCount; ++axis) {
    const int32_t v = analog[static_cast<std::size_t>(axis - 1)];
    if (v < -threshold) {
      Set(values, AxisNegativeButton(axis), -v);
    } else if (v > threshold) {
      Set(values, AxisPositiveButton(axis), v);
    }
  }
}

void UpdateAnalogDisplay(const std::array<int32_t, kAxisCount>& analog,
                         std::span<const int> physicalAxis, std::span<int32_t> lastAnalog,
                         bool& displayChanged) {
  const std::size_t count = std::min<std::size_t>(physicalAxis.size(), analog.size());
  for (std::size_t i = 0; i < count; ++i) {
    const int physical = physicalAxis[i];
    if (physical < 0 || static_cast<std::size_t>(physical) >= lastAnalog.size()) continue;
    const int32_t q = analog[i] / 20;
    int32_t& last = lastAnalog[static_cast<std::size_t>(physical)];
    if (q != last) {
      // The device dialog reads these on the user-interface thread while
      // the cycle runs.
      std::atomic_ref<int32_t>(last).store(q, std::memory_order_relaxed);
      displayChanged = true;
    }
  }
}

}  // namespace brevanto
