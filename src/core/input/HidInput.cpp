#include "core/input/HidInput.h"

#include <algorithm>

#include "core/input/HidCapabilities.h"
#include "core/input/HidReport.h"

namespace brevanto {
namespace {

constexpr std::size_t At(int index) {
  return static_cast<std::size_t>(index);
}

// A signed field read as offset binary, so its logical centre scales to 0 as
// an unsigned field's midpoint does.
uint32_t OffsetBinary(const HidValueCaps& caps, uint32_t raw) {
  if (caps.logicalMin >= 0) return raw;
  return raw ^ (uint32_t{1} << (caps.bitSize - 1));
}

int32_t ScaleAxis(int bitSize, uint32_t raw) {
  const int64_t v = raw;
  switch (bitSize) {
    case 16:
      return static_cast<int32_t>((v * 1000 - 32768000) / 32768);
    case 10:
      return static_cast<int32_t>((v * 1000 - 512000) / 512);
    case 8:
      return static_cast<int32_t>((v * 1000 - 128000) / 128);
    default:
      return 0;
  }
}

int32_t ScalePedal(int bitSize, uint32_t raw) {
  if (!IsSupportedHidAxisBitSize(bitSize)) return 0;
  return static_cast<int32_t>((int64_t{raw} * 1000) >> bitSize);
}

// Hats that count from 0 report 8 (or 15) as their null value; shifting by one
// makes that 9 (or 0), which is no direction.
int32_t HatDirection(const HidValueCaps& caps, uint32_t raw) {
  if (caps.logicalMin == 0) return static_cast<int32_t>((raw + 1) & 0x0F);
  if (caps.logicalMin == 1) return static_cast<int32_t>(std::min<uint32_t>(raw, 0x7FFFFFFF));
  return 0;
}

void DecodeValues(const HidDescriptor& descriptor, std::span<const uint8_t> report,
                  HidState& state) {
  for (const HidValueCaps& caps : descriptor.valueCaps) {
    if (!HidReportMatches(descriptor, caps, report)) continue;
    for (uint32_t usage = caps.usageMin; usage <= caps.usageMax; ++usage) {
      const HidValueRole role = ClassifyHidValueUsage(caps.usagePage, static_cast<uint16_t>(usage));
      if (role.kind == HidValueRole::kOther) continue;
      const std::optional<uint32_t> raw =
          GetHidUsageValue(descriptor, caps, static_cast<uint16_t>(usage), report);
      switch (role.kind) {
        case HidValueRole::kAxis:
          state.axes[At(role.axis)] = raw ? ScaleAxis(caps.bitSize, OffsetBinary(caps, *raw)) : 0;
          break;
        case HidValueRole::kPedal:
          state.axes[At(role.axis)] = raw ? ScalePedal(caps.bitSize, OffsetBinary(caps, *raw)) : 0;
          break;
        case HidValueRole::kHat:
          state.hat = raw ? HatDirection(caps, *raw) : 0;
          break;
        case HidValueRole::kOther:
          break;
      }
    }
  }
}

void DecodeButtons(const HidDescriptor& descriptor, std::span<const uint8_t> report,
                   HidState& state) {
  if (descriptor.buttonCaps.empty()) return;
  const HidButtonCaps& first = descriptor.buttonCaps.front();
  const bool carried = std::any_of(
      descriptor.buttonCaps.begin(), descriptor.buttonCaps.end(),
      [&](const HidButtonCaps& caps) { return HidReportMatches(descriptor, caps, report); });
  if (!carried) return;
  state.buttons.fill(false);
  VisitHidPressedUsages(descriptor, first.usagePage, report, [&](uint16_t usage) {
    const int index = usage - first.usageMin;
    if (index >= 0 && index < kPlainButtonCount) state.buttons[At(index)] = true;
    return true;
  });
}

// Hat directions as virtual POV buttons; with four directions a diagonal
// presses both of its neighbours.
void ReadHat(int32_t hat, bool eightWay, DeviceInput& input) {
  if (hat < 1 || hat > 8) return;
  if (eightWay) {
    input.values[At(kFirstPovButton - 1 + hat)] = kFullValue;
    return;
  }
  if (hat == 8 || hat == 1 || hat == 2) input.values[At(PovButton(1, 0))] = kFullValue;
  if (hat >= 2 && hat <= 4) input.values[At(PovButton(1, 2))] = kFullValue;
  if (hat >= 4 && hat <= 6) input.values[At(PovButton(1, 4))] = kFullValue;
  if (hat >= 6 && hat <= 8) input.values[At(PovButton(1, 6))] = kFullValue;
}

void ReadButtons(const HidState& state, const HidReadOptions& options, int deadZone,
                 DeviceInput& input) {
  const int count = std::clamp(options.numberOfButtons, 0, kPlainButtonCount);
  for (int button = 1; button <= count; ++button) {
    bool down = false;
    if (!options.xboxLayout || button <= 10) {
      down = state.buttons[At(button - 1)];
    } else if (button == 11) {
      // The pad's triggers share one axis; each side becomes a button of its own.
      down = input.analog[4] > deadZone;
    } else if (button == 12) {
      down = input.analog[4] < -deadZone;
    } else {
      down = state.buttons[At(button - 3)];
    }
    if (down) input.values[At(PlainButton(button))] = kFullValue;
  }
}

}  // namespace

void DecodeHidReport(const HidDescriptor& descriptor, std::span<const uint8_t> report,
                     HidState& state) {
  DecodeValues(descriptor, report, state);
  DecodeButtons(descriptor, report, state);
}

void ReadHid(const HidState& state, const HidReadOptions& options, std::span<int32_t> lastAnalog,
             DeviceInput& input, bool& displayChanged) {
  input.Clear();
  for (int i = 0; i < kAxisCount; ++i) {
    const int physical = options.axisMapping[At(i)];
    input.analog[At(i)] = physical >= 0 && physical < kAxisCount ? state.axes[At(physical)] : 0;
  }
  const int deadZone = options.analogDeadZone / 10;
  ConvertStick(0, input.analog[0], input.analog[1], deadZone, options.stick1, input.values);
  ConvertStick(1, input.analog[2], input.analog[3], deadZone, options.stick2, input.values);
  UpdateAnalogDisplay(input.analog, options.axisMapping, lastAnalog, displayChanged);
  ConvertFurtherAxes(input.analog, options.stick1.threshold, input.values);
  ReadHat(state.hat, options.usePov8Way, input);
  ReadButtons(state, options, deadZone, input);
}

void HidStateTable::Reset(int count) {
  count_.store(0, std::memory_order_release);
  const HidState cleared{};
  for (int i = 0; i < kSize; ++i) Publish(i, cleared);
  count_.store(std::clamp(count, 0, kSize), std::memory_order_release);
}

void HidStateTable::Publish(int index, const HidState& state) {
  Entry& entry = entries_[At(index)];
  for (std::size_t i = 0; i < state.axes.size(); ++i) {
    entry.axes[i].store(state.axes[i], std::memory_order_relaxed);
  }
  entry.hat.store(state.hat, std::memory_order_relaxed);
  for (std::size_t i = 0; i < state.buttons.size(); ++i) {
    entry.buttons[i].store(state.buttons[i], std::memory_order_relaxed);
  }
}

HidState HidStateTable::Snapshot(int index) const {
  HidState state;
  if (index < 0 || index >= kSize) return state;
  const Entry& entry = entries_[At(index)];
  for (std::size_t i = 0; i < state.axes.size(); ++i) {
    state.axes[i] = entry.axes[i].load(std::memory_order_relaxed);
  }
  state.hat = entry.hat.load(std::memory_order_relaxed);
  for (std::size_t i = 0; i < state.buttons.size(); ++i) {
    state.buttons[i] = entry.buttons[i].load(std::memory_order_relaxed);
  }
  return state;
}

void HidStateTable::Decode(int index, const HidDescriptor& descriptor,
                           std::span<const uint8_t> report) {
  if (index < 0 || index >= Count()) return;
  HidState state = Snapshot(index);
  DecodeHidReport(descriptor, report, state);
  Publish(index, state);
}

int HidStateTable::Read(int index, const HidReadOptions& options, std::span<int32_t> lastAnalog,
                        DeviceInput& input, bool& displayChanged) const {
  if (index < 0 || index >= Count()) return -1;
  ReadHid(Snapshot(index), options, lastAnalog, input, displayChanged);
  return 0;
}

}  // namespace brevanto
