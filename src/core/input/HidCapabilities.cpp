#include "core/input/HidCapabilities.h"

#include <string>

#include "core/input/ControllerNames.h"
#include "core/log/Logger.h"

namespace brevanto {
namespace {

constexpr uint16_t kUsageX = 0x30;
constexpr uint16_t kUsageDial = 0x37;
constexpr uint16_t kUsageHatSwitch = 0x39;
constexpr uint16_t kUsageAccelerator = 0xC4;
constexpr uint16_t kUsageBrake = 0xC5;

void LogValueCapability(const HidValueCaps& caps) {
  if (caps.isRange) {
    LOG_DEBUG("ValueCapability: UsageRange=<%X,%X>, BitSize=%d, Logical=[%ld,%ld]", caps.usageMin,
              caps.usageMax, caps.bitSize, static_cast<long>(caps.logicalMin),
              static_cast<long>(caps.logicalMax));
  } else {
    LOG_DEBUG("ValueCapability: Usage=%X, BitSize=%d, Logical=[%ld,%ld]", caps.Usage(),
              caps.bitSize, static_cast<long>(caps.logicalMin), static_cast<long>(caps.logicalMax));
  }
}

}  // namespace

HidValueRole ClassifyHidValueUsage(uint16_t usagePage, uint16_t usage) {
  if (usagePage == kHidPageGenericDesktop) {
    if (usage >= kUsageX && usage <= kUsageDial) return {HidValueRole::kAxis, usage - kUsageX};
    if (usage == kUsageHatSwitch) return {HidValueRole::kHat, -1};
  }
  if (usagePage == kHidPageSimulation) {
    if (usage == kUsageAccelerator) return {HidValueRole::kPedal, 6};
    if (usage == kUsageBrake) return {HidValueRole::kPedal, 7};
  }
  return {};
}

HidCapabilities ReadHidCapabilities(const HidDescriptor& descriptor) {
  HidCapabilities result;
  if (!descriptor.buttonCaps.empty()) {
    const HidButtonCaps& first = descriptor.buttonCaps.front();
    result.numButtons = first.usageMax - first.usageMin + 1;
  }
  for (const HidValueCaps& caps : descriptor.valueCaps) {
    LogValueCapability(caps);
    // A range names several usages; its faults are logged once.
    bool unsupportedBitSize = false;
    bool unsupportedUsage = false;
    for (uint32_t usage = caps.usageMin; usage <= caps.usageMax; ++usage) {
      const HidValueRole role = ClassifyHidValueUsage(caps.usagePage, static_cast<uint16_t>(usage));
      switch (role.kind) {
        case HidValueRole::kAxis:
        case HidValueRole::kPedal:
          ++result.numAxes;
          result.axisPresent[static_cast<std::size_t>(role.axis)] = true;
          unsupportedBitSize = unsupportedBitSize || !IsSupportedHidAxisBitSize(caps.bitSize);
          break;
        case HidValueRole::kHat:
          ++result.numPovs;
          break;
        case HidValueRole::kOther:
          unsupportedUsage = true;
          break;
      }
    }
    if (unsupportedBitSize) LOG_ERROR("Unsupported BitSize!");
    if (unsupportedUsage) LOG_ERROR("Unsupported ValueCapability!");
  }
  std::string flags;
  for (bool present : result.axisPresent) {
    if (!flags.empty()) flags += ',';
    flags += present ? '1' : '0';
  }
  LOG_INFO("numAxis = %d [%s]", result.numAxes, flags.c_str());
  LOG_INFO("numPOVs = %d", result.numPovs);
  LOG_INFO("numButtons = %d", result.numButtons);
  return result;
}

bool IsXboxLayout(const HidCapabilities& caps, bool microsoftDevice, int deviceType) {
  return (caps.numAxes == 5 && microsoftDevice && caps.numPovs == 1) ||
         deviceType == kDeviceTypeXbox360 || deviceType == kDeviceTypeXboxOne;
}

std::array<int, kAxisCount> AutomaticHidAxisMapping(const HidCapabilities& caps, int deviceType,
                                                    bool xboxLayout) {
  const auto& present = caps.axisPresent;
  const bool playStation =
      deviceType == kDeviceTypePs3 || deviceType == kDeviceTypePs4 || deviceType == kDeviceTypePs5;
  if (playStation && present[kAxisZ] && present[kAxisRz]) return {0, 1, 2, 5, 3, 4, 6, 7};
  if (xboxLayout && present[kAxisRx] && present[kAxisRy]) return {0, 1, 3, 4, 2, 5, 6, 7};
  return {0, 1, 2, 3, 4, 5, 6, 7};
}

}  // namespace brevanto
