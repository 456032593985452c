#include "core/input/HidReport.h"

namespace brevanto {
namespace hid_detail {

PageUsage ArrayUsage(const HidDescriptor& descriptor, const HidButtonCaps& caps, int64_t index) {
  const auto first = descriptor.arrayUsages.begin() + caps.firstArrayUsage;
  for (auto it = first; it != first + caps.arrayUsageCount; ++it) {
    const int64_t span = static_cast<int64_t>(it->usageMax) - it->usageMin + 1;
    if (index < span) return PageUsage{it->usagePage, static_cast<uint16_t>(it->usageMin + index)};
    index -= span;
  }
  return {};
}

}  // namespace hid_detail

bool HidReportMatches(const HidDescriptor& descriptor, const HidFieldLayout& layout,
                      std::span<const uint8_t> report) {
  if (!descriptor.usesReportIds) return !report.empty();
  return !report.empty() && report[0] == layout.reportId;
}

std::optional<uint32_t> ReadHidField(const HidDescriptor& descriptor, const HidFieldLayout& layout,
                                     uint32_t index, std::span<const uint8_t> report) {
  if (index >= layout.reportCount || layout.bitSize == 0 || layout.bitSize > 32) return {};
  if (!HidReportMatches(descriptor, layout, report)) return {};
  const std::size_t dataStart = descriptor.usesReportIds ? 1 : 0;
  const uint64_t bit =
      static_cast<uint64_t>(layout.bitOffset) + static_cast<uint64_t>(index) * layout.bitSize;
  const uint64_t endByte = (bit + layout.bitSize + 7) / 8;
  if (report.size() - dataStart < endByte) return {};
  const std::size_t firstByte = dataStart + bit / 8;
  const std::size_t lastByte = dataStart + endByte - 1;
  uint64_t bits = 0;
  for (std::size_t i = firstByte; i <= lastByte; ++i) {
    bits |= static_cast<uint64_t>(report[i]) << (8 * (i - firstByte));
  }
  bits >>= bit % 8;
  const uint64_t mask = (uint64_t{1} << layout.bitSize) - 1;
  return static_cast<uint32_t>(bits & mask);
}

std::optional<uint32_t> GetHidUsageValue(const HidDescriptor& descriptor, const HidValueCaps& caps,
                                         uint16_t usage, std::span<const uint8_t> report) {
  if (usage < caps.usageMin || usage > caps.usageMax) return {};
  const uint32_t index = caps.isRange ? static_cast<uint32_t>(usage - caps.usageMin) : 0;
  return ReadHidField(descriptor, caps, index, report);
}

std::optional<uint32_t> GetHidUsageValue(const HidDescriptor& descriptor, uint16_t usagePage,
                                         uint16_t usage, std::span<const uint8_t> report) {
  for (const HidValueCaps& caps : descriptor.valueCaps) {
    if (caps.usagePage != usagePage || !HidReportMatches(descriptor, caps, report)) continue;
    if (auto value = GetHidUsageValue(descriptor, caps, usage, report)) return value;
  }
  return {};
}

int64_t HidLogicalValue(const HidFieldLayout& layout, uint32_t raw) {
  if (layout.logicalMin >= 0 || layout.bitSize == 0 || layout.bitSize > 32) return raw;
  const uint32_t sign = uint32_t{1} << (layout.bitSize - 1);
  if (!(raw & sign)) return raw;
  return static_cast<int64_t>(raw) - (int64_t{1} << layout.bitSize);
}

std::size_t GetHidPressedUsages(const HidDescriptor& descriptor, uint16_t usagePage,
                                std::span<const uint8_t> report, std::span<uint16_t> out) {
  std::size_t count = 0;
  VisitHidPressedUsages(descriptor, usagePage, report, [&](uint16_t usage) {
    if (count == out.size()) return false;
    out[count++] = usage;
    return true;
  });
  return count;
}

}  // namespace brevanto
