#include "core/device/DeviceConfig.h"

#include <algorithm>

namespace brevanto {

TDeviceConfig::TDeviceConfig(std::string guid, const DeviceDefaults& defaults)
    : GUID(std::move(guid)),
      AnalogDeadZone(defaults.analogDeadZone),
      axisMapping(defaults.axisMapping),
      interfaceKind(KindForGuid(GUID)) {}

InterfaceKind TDeviceConfig::KindForGuid(const std::string& guid) {
  if (guid.size() == 10) return InterfaceKind::XInput;
  if (guid.size() == 38) return InterfaceKind::DirectInput;
  return InterfaceKind::Hid;
}

void TDeviceConfig::CompleteAxisMapping() {
  std::size_t next = 4;
  for (int32_t axis = 0; axis < kAxisCount && next < axisMapping.size(); ++axis) {
    if (std::find(axisMapping.begin(), axisMapping.begin() + 4, axis) != axisMapping.begin() + 4) {
      continue;
    }
    axisMapping[next++] = axis;
  }
}

}  // namespace brevanto
