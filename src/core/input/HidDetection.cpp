#include "core/input/HidDetection.h"

#include <algorithm>
#include <utility>

#include "core/device/DeviceConfigManager.h"
#include "core/input/ControllerNames.h"
#include "core/log/Logger.h"

namespace brevanto {

HidDetection::HidDetection(HidSource& source, DeviceConfigManager& records)
    : source_(source), records_(records) {}

bool HidDetection::LoadHid() {
  available_ = source_.Load();
  return available_;
}

void HidDetection::MarkAbsent() {
  for (TDeviceConfig* record : records_.Snapshot()) {
    if (record->interfaceKind == InterfaceKind::Hid) record->present = false;
  }
  devices_.clear();
}

int HidDetection::DetectHid(int apiMode, std::span<TDeviceConfig*> out) {
  MarkAbsent();
  std::vector<HidDevice> found;
  if (!source_.Enumerate(found)) {
    source_.ReadDevices({});
    return -1;
  }

  const bool read = apiMode == 3 || apiMode == 4;
  for (HidDevice& device : found) {
    const int32_t productId = device.ProductUid();
    ControllerName named = NameFor(productId, device.manufacturer, device.productName);

    TDeviceConfig& record = records_.FindOrCreate(device.identity);
    record.PUID = productId;
    record.Name = std::move(named.name);
    record.present = true;
    record.interfaceKind = InterfaceKind::Hid;
    record.deviceType = named.deviceType;
    record.xboxLayout = IsXboxLayout(device.capabilities, device.microsoft, record.deviceType);
    record.axisPresent = device.capabilities.axisPresent;
    record.numAxes = device.capabilities.numAxes;
    record.numPovs = device.capabilities.numPovs;
    record.numButtons = device.capabilities.numButtons;

    // A controller the user may not read would hold a slot and stay idle.
    if (!read || !device.readable || devices_.size() >= out.size()) {
      record.backendIndex = -1;
      continue;
    }
    record.backendIndex = static_cast<int32_t>(devices_.size());
    records_.RefreshTemplate(record);
    if (record.AxisMappingUndecided()) {
      const auto mapping =
          AutomaticHidAxisMapping(device.capabilities, record.deviceType, record.xboxLayout);
      std::copy(mapping.begin(), mapping.end(), record.axisMapping.begin());
    }
    LOG_DEBUG("Preferred index = %d", record.PreferredNumber);
    out[devices_.size()] = &record;
    devices_.push_back(std::move(device));
  }
  source_.ReadDevices(devices_);
  return Count();
}

void HidDetection::Release() {
  MarkAbsent();
  source_.ReadDevices({});
}

}  // namespace brevanto
