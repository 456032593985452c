#pragma once

#include <algorithm>
#include <cstdint>

namespace brevanto {

// The input side counts time in timer ticks: one tick is 16 ms >> TurboMode.
inline constexpr int kBasePeriodMs = 16;
inline constexpr int kMaxTurboMode = 4;

// The settings file is not range-checked; a TurboMode beyond 0..4 would give
// a zero period or a negative shift.
constexpr int ClampTurboMode(int turboMode) {
  return std::clamp(turboMode, 0, kMaxTurboMode);
}

constexpr int TimerPeriodMs(int turboMode) {
  return kBasePeriodMs >> ClampTurboMode(turboMode);
}

constexpr int32_t SaturateInt32(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// cycles = (ms << TurboMode) / 16, truncated toward zero.
constexpr int32_t CyclesFromMilliseconds(int32_t milliseconds, int turboMode) {
  return SaturateInt32(static_cast<int64_t>(milliseconds) *
                       (int64_t{1} << ClampTurboMode(turboMode)) / kBasePeriodMs);
}

// ms = (cycles * 16) >> TurboMode.
constexpr int32_t MillisecondsFromCycles(int32_t cycles, int turboMode) {
  return SaturateInt32((static_cast<int64_t>(cycles) * kBasePeriodMs) >> ClampTurboMode(turboMode));
}

}  // namespace brevanto
