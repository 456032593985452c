#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace brevanto {

inline constexpr uint16_t kHidPageGenericDesktop = 0x01;
inline constexpr uint16_t kHidPageSimulation = 0x02;
inline constexpr uint16_t kHidPageButton = 0x09;
inline constexpr uint16_t kHidUsageJoystick = 0x04;
inline constexpr uint16_t kHidUsageGamepad = 0x05;

// The largest report descriptor and input report the kernel's hidraw hands out.
inline constexpr std::size_t kHidMaxDescriptorBytes = 4096;
inline constexpr std::size_t kHidMaxReportBytes = 16384;

// A usage or a usage range as a main item's local items declared it.
struct HidUsageRange {
  uint16_t usagePage = 0;
  uint16_t usageMin = 0;
  uint16_t usageMax = 0;
};

// The fields of one input main item, or one usage group of it. Field i
// (0 .. reportCount - 1) lies at bitOffset + i * bitSize, counted from the
// first data byte (the byte after the report id when the device uses ids).
struct HidFieldLayout {
  uint8_t reportId = 0;
  uint32_t bitOffset = 0;
  uint16_t bitSize = 0;
  uint16_t reportCount = 0;
  int64_t logicalMin = 0;
  int64_t logicalMax = 0;
};

// Buttons: one-bit variable fields, or array fields whose values select usages.
struct HidButtonCaps : HidFieldLayout {
  uint16_t usagePage = 0;
  uint16_t usageMin = 0;
  uint16_t usageMax = 0;
  bool isRange = false;
  bool isArray = false;
  // Arrays: the usages an index selects, in order, in HidDescriptor::arrayUsages.
  uint32_t firstArrayUsage = 0;
  uint32_t arrayUsageCount = 0;
};

// Values: variable fields wider than one bit. Field i carries usageMin + i for
// a range and usageMin for a single usage.
struct HidValueCaps : HidFieldLayout {
  uint16_t usagePage = 0;
  uint16_t usageMin = 0;
  uint16_t usageMax = 0;
  bool isRange = false;
  bool hasNull = false;

  uint16_t Usage() const { return usageMin; }
};

// What a report descriptor says about the input reports of its game-controller
// collections (usage page 1, usage 4 or 5). Items of other top collections
// still count for the report layout but yield no capabilities.
struct HidDescriptor {
  // The first game-controller top collection, else the first top collection.
  uint16_t usagePage = 0;
  uint16_t usage = 0;
  bool usesReportIds = false;
  std::vector<HidButtonCaps> buttonCaps;
  std::vector<HidValueCaps> valueCaps;
  std::vector<HidUsageRange> arrayUsages;
  // Input bits per report id (id 0 when the device uses none).
  std::array<uint32_t, 256> inputBits{};

  bool IsGameController() const {
    return usagePage == kHidPageGenericDesktop &&
           (usage == kHidUsageJoystick || usage == kHidUsageGamepad);
  }
  // Length in bytes of the input report with this id, its id byte included.
  std::size_t InputReportLength(uint8_t reportId) const;
};

// Parses a report descriptor. A malformed one (truncated items, unbalanced
// collections, absurd sizes, reports longer than hidraw can deliver) logs an
// Error line naming the fault and its byte offset and returns false.
bool ParseHidDescriptor(std::span<const uint8_t> bytes, HidDescriptor& out);

}  // namespace brevanto
