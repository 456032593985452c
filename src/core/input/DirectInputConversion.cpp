#include "core/input/DirectInputConversion.h"

#include <algorithm>

#include "core/input/StickConversion.h"

namespace brevanto {
namespace {

constexpr uint32_t kPovStep = 4500;  // 45 degrees
constexpr uint32_t kHalfStep = 2250;
constexpr uint32_t kFullCircle = 36000;

bool Within(uint32_t angle, uint32_t low, uint32_t high) {
  return angle >= low && angle <= high;
}

void Set(std::array<int32_t, kVirtualButtonCount>& values, int hat, int direction) {
  values[static_cast<std::size_t>(PovButton(hat, direction))] = kFullValue;
}

}  // namespace

void ConvertPov(uint32_t angle, bool eightWay, int hat,
                std::array<int32_t, kVirtualButtonCount>& values) {
  if (eightWay) {
    if (Within(angle, 0, kHalfStep) || Within(angle, kFullCircle - kHalfStep, kFullCircle)) {
      Set(values, hat, 0);
    }
    for (int d = 1; d < 8; ++d) {
      const uint32_t centre = static_cast<uint32_t>(d) * kPovStep;
      if (Within(angle, centre - kHalfStep, centre + kHalfStep)) Set(values, hat, d);
    }
    return;
  }
  if (Within(angle, 0, kPovStep) || Within(angle, kFullCircle - kPovStep, kFullCircle)) {
    Set(values, hat, 0);
  }
  if (Within(angle, kPovStep, 3 * kPovStep)) Set(values, hat, 2);
  if (Within(angle, 3 * kPovStep, 5 * kPovStep)) Set(values, hat, 4);
  if (Within(angle, 5 * kPovStep, 7 * kPovStep)) Set(values, hat, 6);
}

void ConvertDirectInputState(const DirectInputState& state, std::span<const int> axisMapping,
                             const ReadOptions& options, int analogDeadZone,
                             std::span<int32_t> lastAnalog, DeviceInput& input,
                             bool& displayChanged) {
  input.Clear();
  auto& values = input.values;
  auto& analog = input.analog;

  // A damaged mapping must not read outside the state.
  const std::size_t mapped = std::min<std::size_t>(axisMapping.size(), kAxisCount);
  for (std::size_t i = 0; i < mapped; ++i) {
    const int physical = axisMapping[i];
    if (physical >= 0 && physical < kAxisCount) {
      analog[i] = state.axes[static_cast<std::size_t>(physical)];
    }
  }

  const int deadZone = analogDeadZone / 10;
  ConvertStick(0, analog[0], analog[1], deadZone,
               StickOptions{options.threshold, options.useDiagonalInput}, values);
  ConvertStick(1, analog[2], analog[3], deadZone,
               StickOptions{options.threshold2, options.useDiagonalInput2}, values);
  UpdateAnalogDisplay(analog, axisMapping.first(mapped), lastAnalog, displayChanged);

  ConvertFurtherAxes(analog, options.threshold, values);

  for (int hat = 1; hat <= kPovCount; ++hat) {
    ConvertPov(state.pov[static_cast<std::size_t>(hat - 1)], options.usePov8Way, hat, values);
  }

  const int buttons = std::clamp(options.numberOfButtons, 0, kPlainButtonCount);
  for (int i = 0; i < buttons; ++i) {
    if (state.buttons[static_cast<std::size_t>(i)] & 0x80) {
      values[static_cast<std::size_t>(kFirstPlainButton + i)] = kFullValue;
    }
  }
}

}  // namespace brevanto
