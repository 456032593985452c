#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/input/VirtualButton.h"

namespace brevanto {

class TDeviceTemplate;

enum class InterfaceKind : int32_t { XInput = 0, DirectInput = 1, Hid = 2 };

using AxisMapping = std::array<int32_t, kAxisCount>;

// What a new record copies from the global settings.
struct DeviceDefaults {
  int32_t analogDeadZone = 1000;
  AxisMapping axisMapping{-1, 0, 0, 0, 0, 0, 6, 7};
};

// One controller the program has ever seen, identified by its GUID string.
class TDeviceConfig {
 public:
  TDeviceConfig(std::string guid, const DeviceDefaults& defaults);

  // Stored fields.
  std::string GUID;
  int32_t PUID = 0;
  std::string Name;
  std::string NameOverride;
  int32_t PreferredNumber = -1;
  int32_t AnalogDeadZone = 1000;
  AxisMapping axisMapping{};
  std::string TemplateID;

  // Run-time fields, set by the back ends and slot assignment.
  InterfaceKind interfaceKind = InterfaceKind::Hid;
  bool present = false;
  int32_t deviceType = 0;
  int32_t backendIndex = 0;
  int32_t assignedSlot = -1;
  const TDeviceTemplate* resolvedTemplate = nullptr;
  // Last reported analog value / 20 per physical axis, for the live display.
  std::array<int32_t, kAxisCount> lastAnalog{};
  // What the device offers, as its back end found it at the last detection:
  // which of the eight axis positions exist, and the counts.
  std::array<bool, kAxisCount> axisPresent{};
  int32_t numAxes = 0;
  int32_t numPovs = 0;
  int32_t numButtons = 0;
  // HID devices whose buttons follow the Xbox pad numbering.
  bool xboxLayout = false;

  // NameOverride when set, otherwise the name the device reports.
  const std::string& DisplayName() const { return NameOverride.empty() ? Name : NameOverride; }

  // A first entry of -1 leaves the mapping to the device's back end.
  bool AxisMappingUndecided() const { return axisMapping[0] == -1; }

  // Entries 4..7 become the physical axes that entries 0..3 do not use, in
  // ascending order; called after the user picked the stick axes.
  void CompleteAxisMapping();

  static InterfaceKind KindForGuid(const std::string& guid);
};

}  // namespace brevanto
