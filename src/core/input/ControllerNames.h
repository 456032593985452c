#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace brevanto {

// Controller types of the name table that the program treats specially.
inline constexpr int kDeviceTypeXbox360 = 31;
inline constexpr int kDeviceTypeXboxOne = 32;
inline constexpr int kDeviceTypePs3 = 33;
inline constexpr int kDeviceTypePs4 = 34;
inline constexpr int kDeviceTypeSwitchPro = 38;
inline constexpr int kDeviceTypePs5 = 45;

// One row of the controller name table: a product id (vendor in the high 16
// bits) with its controller type and, for some, a display name.
struct ControllerListEntry {
  uint32_t productId;
  int deviceType;
  const char* name;  // nullptr when the table has none
};

// The whole table in file order (generated from data/controller_list.csv).
std::span<const ControllerListEntry> ControllerList();

// The first row with this product id, or nullptr.
const ControllerListEntry* FindController(int32_t productId);

struct ControllerName {
  std::string name;
  int deviceType = 0;  // 0 when the product id is not in the table
};

// The default name and device type of a detected controller: the table's
// name when it has one, else the product name the device reports (without a
// "Controller (...)" wrapper), else a family name or the ids. A product id of
// 0 (unknown) is not looked up.
ControllerName NameFor(int32_t productId, std::string_view manufacturer,
                       std::string_view productName);

}  // namespace brevanto
