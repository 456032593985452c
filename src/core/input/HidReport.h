#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "core/input/HidDescriptor.h"

namespace brevanto {

// Reading input reports by their descriptor. Every function checks the report
// id and the report length first: a field the report does not fully hold is
// never read.

// Whether the report carries the fields of this layout (its id matches).
bool HidReportMatches(const HidDescriptor& descriptor, const HidFieldLayout& layout,
                      std::span<const uint8_t> report);

// The raw bits of field `index` of the layout, or nothing when the report is
// too short, of another report id, or the field is wider than 32 bits.
std::optional<uint32_t> ReadHidField(const HidDescriptor& descriptor, const HidFieldLayout& layout,
                                     uint32_t index, std::span<const uint8_t> report);

// The raw value of the field that carries this usage in this report.
std::optional<uint32_t> GetHidUsageValue(const HidDescriptor& descriptor, const HidValueCaps& caps,
                                         uint16_t usage, std::span<const uint8_t> report);
std::optional<uint32_t> GetHidUsageValue(const HidDescriptor& descriptor, uint16_t usagePage,
                                         uint16_t usage, std::span<const uint8_t> report);

// The raw bits read as a two's-complement number when the logical range is
// signed, as they stand otherwise.
int64_t HidLogicalValue(const HidFieldLayout& layout, uint32_t raw);

namespace hid_detail {
struct PageUsage {
  uint16_t page = 0;
  uint16_t usage = 0;  // 0: none
};
// The usage an array index selects; none outside the declared list.
PageUsage ArrayUsage(const HidDescriptor& descriptor, const HidButtonCaps& caps, int64_t index);
}  // namespace hid_detail

// Calls visit(usage) for every pressed button usage of this usage page found
// in the report, in field order, until visit returns false.
template <typename Visit>
void VisitHidPressedUsages(const HidDescriptor& descriptor, uint16_t usagePage,
                           std::span<const uint8_t> report, Visit&& visit) {
  for (const HidButtonCaps& caps : descriptor.buttonCaps) {
    if (!HidReportMatches(descriptor, caps, report)) continue;
    for (uint32_t i = 0; i < caps.reportCount; ++i) {
      const std::optional<uint32_t> raw = ReadHidField(descriptor, caps, i, report);
      if (!raw) break;  // the report ends here
      uint16_t usage = 0;
      if (caps.isArray) {
        const int64_t value = HidLogicalValue(caps, *raw);
        if (value < caps.logicalMin || value > caps.logicalMax) continue;  // nothing selected
        const hid_detail::PageUsage selected =
            hid_detail::ArrayUsage(descriptor, caps, value - caps.logicalMin);
        if (selected.page == usagePage) usage = selected.usage;
      } else if (caps.usagePage == usagePage && *raw != 0) {
        if (!caps.isRange) {
          usage = caps.usageMin;
        } else if (caps.usageMin + i <= caps.usageMax) {
          usage = static_cast<uint16_t>(caps.usageMin + i);
        }
      }
      if (usage != 0 && !visit(usage)) return;
    }
  }
}

// Writes the pressed button usages of this usage page found in the report to
// out (at most out.size()), in field order, and returns how many it wrote.
std::size_t GetHidPressedUsages(const HidDescriptor& descriptor, uint16_t usagePage,
                                std::span<const uint8_t> report, std::span<uint16_t> out);

}  // namespace brevanto
