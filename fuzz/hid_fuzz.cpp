// Feeds arbitrary report descriptors and reports through the HID parser, the
// report decoder and the read into virtual buttons.
//
// Input: a little-endian 16-bit descriptor length (taken modulo what is
// left), the descriptor, two option bytes, then reports, each preceded by its
// length byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/input/HidCapabilities.h"
#include "core/input/HidDescriptor.h"
#include "core/input/HidInput.h"
#include "core/input/HidReport.h"

using namespace brevanto;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  std::span<const uint8_t> input(data, size);
  const std::size_t descriptorLength = (input[0] | (input[1] << 8)) % (size - 1);
  input = input.subspan(2);
  HidDescriptor descriptor;
  if (!ParseHidDescriptor(input.first(descriptorLength), descriptor)) return 0;
  input = input.subspan(descriptorLength);
  for (uint32_t id = 0; id < 256; ++id) {
    if (descriptor.InputReportLength(static_cast<uint8_t>(id)) > kHidMaxReportBytes) std::abort();
  }
  const HidCapabilities caps = ReadHidCapabilities(descriptor);

  HidReadOptions options;
  if (input.size() >= 2) {
    options.xboxLayout = input[0] & 1;
    options.usePov8Way = input[0] & 2;
    options.stick1.diagonal = input[0] & 4;
    options.numberOfButtons = static_cast<int8_t>(input[1]) * 2;
    options.axisMapping = AutomaticHidAxisMapping(caps, input[0] >> 3, options.xboxLayout);
    if (input[0] & 0x80) options.axisMapping[7] = input[1] - 128;  // a damaged stored mapping
    input = input.subspan(2);
  }

  HidState state;
  std::array<int32_t, kAxisCount> lastAnalog{};
  uint16_t usages[64];
  while (!input.empty()) {
    const std::size_t length = std::min<std::size_t>(input[0], input.size() - 1);
    const std::span<const uint8_t> report = input.subspan(1, length);
    input = input.subspan(1 + length);

    DecodeHidReport(descriptor, report, state);
    for (const HidValueCaps& value : descriptor.valueCaps) {
      (void)GetHidUsageValue(descriptor, value.usagePage, value.usageMax, report);
    }
    if (!descriptor.buttonCaps.empty()) {
      const std::size_t count =
          GetHidPressedUsages(descriptor, descriptor.buttonCaps.front().usagePage, report, usages);
      if (count > std::size(usages)) std::abort();
    }
    DeviceInput out;
    bool changed = false;
    ReadHid(state, options, lastAnalog, out, changed);
  }
  return 0;
}
