#include "core/input/ControllerNames.h"

#include <cstdio>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

const char* FamilyName(int deviceType) {
  switch (deviceType) {
    case kDeviceTypeXbox360:
      return "Xbox 360 Controller";
    case kDeviceTypeXboxOne:
      return "Xbox One Controller";
    case kDeviceTypePs3:
      return "PS3 Controller";
    case kDeviceTypePs4:
      return "PS4 Controller";
    case kDeviceTypePs5:
      return "PS5 Controller";
    default:
      return nullptr;
  }
}

std::string IdName(int32_t productId) {
  const auto id = static_cast<uint32_t>(productId);
  char text[32];
  std::snprintf(text, sizeof text, "Controller (%04X-%04X)", id >> 16, id & 0xFFFFu);
  return text;
}

}  // namespace

const ControllerListEntry* FindController(int32_t productId) {
  const auto id = static_cast<uint32_t>(productId);
  // Detection is the only caller; a scan keeps the first of duplicate rows.
  for (const ControllerListEntry& entry : ControllerList()) {
    if (entry.productId == id) return &entry;
  }
  return nullptr;
}

ControllerName NameFor(int32_t productId, std::string_view /*manufacturer*/,
                       std::string_view productName) {
  ControllerName result;
  // The table's row for id 0 stands for Xbox pads whose ids are unknown; a
  // controller reporting no ids is not known to be one.
  const ControllerListEntry* entry = productId != 0 ? FindController(productId) : nullptr;
  if (entry) {
    LOG_DEBUG("Found the controller template for %08lX",
              static_cast<unsigned long>(static_cast<uint32_t>(productId)));
    result.deviceType = entry->deviceType;
    if (entry->name) {
      result.name = entry->name;
      return result;
    }
  }

  const std::string_view trimmed = Trim(productName);
  constexpr std::string_view kWrapperStart = "Controller (";
  if (trimmed.size() > kWrapperStart.size() && trimmed.starts_with(kWrapperStart) &&
      trimmed.ends_with(')')) {
    result.name = trimmed.substr(kWrapperStart.size(), trimmed.size() - kWrapperStart.size() - 1);
  } else {
    result.name = trimmed;
  }
  // "Controller ()" would leave no name at all; treat it as no product name.
  if (result.name.empty()) {
    const char* family = entry ? FamilyName(entry->deviceType) : nullptr;
    result.name = family ? family : IdName(productId);
  }
  return result;
}

}  // namespace brevanto
