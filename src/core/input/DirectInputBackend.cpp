#include "core/input/DirectInputBackend.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

#include "core/device/DeviceConfigManager.h"
#include "core/input/ControllerNames.h"
#include "core/input/DirectInputConversion.h"
#include "core/input/XInputBackend.h"
#include "core/log/Logger.h"

namespace brevanto {
namespace {

// The product word as the classic joystick interface reports it: product id
// in the high half, vendor id in the low half.
unsigned long RawProductWord(const JoystickInfo& info) {
  return (static_cast<unsigned long>(info.productId) << 16) | info.vendorId;
}

// An unknown product id (0) says nothing about two devices being the same.
const TDeviceConfig* PresentWithProduct(const DeviceConfigManager& records, int32_t productId,
                                        const TDeviceConfig* except) {
  if (productId == 0) return nullptr;
  for (const TDeviceConfig* record : records.Snapshot()) {
    if (record != except && record->present && record->PUID == productId) return record;
  }
  return nullptr;
}

// The type code of an absolute axis object, with its instance number.
unsigned AxisObjectType(int position) {
  return 0x2u | (static_cast<unsigned>(position) << 8);
}

}  // namespace

AxisMapping AutomaticDirectInputAxisMapping(const std::array<bool, kAxisCount>& present) {
  if (present[kAxisZ] && present[kAxisRz]) return {0, 1, 2, 5, 3, 4, 6, 7};
  if (present[kAxisRx] && present[kAxisRy]) return {0, 1, 3, 4, 2, 5, 6, 7};
  return {0, 1, 2, 3, 4, 5, 6, 7};
}

DirectInputBackend::DirectInputBackend(JoystickSource& joysticks, DeviceConfigManager& records,
                                       const XInputBackend& xinput)
    : joysticks_(joysticks), records_(records), xinput_(xinput) {}

bool DirectInputBackend::InitDirectInput() {
  if (!joysticks_.Init()) {
    LOG_ERROR("DirectInput8Create failed");
    return false;
  }
  LOG_INFO("Initialized DirectInput");
  return true;
}

bool DirectInputBackend::IsXInputDevice(int32_t productId) const {
  if (!xinput_.Available() || xinput_.PadCount() == 0) return false;
  for (const TDeviceConfig* record : records_.Snapshot()) {
    if (!record->present || record->PUID != productId) continue;
    if (record->interfaceKind == InterfaceKind::XInput) return true;
    if (record->interfaceKind == InterfaceKind::Hid &&
        record->GUID.find("IG_") != std::string::npos) {
      return true;
    }
  }
  return false;
}

int DirectInputBackend::DetectDirectInput(int apiMode, std::span<TDeviceConfig*> out) {
  joysticks_.Release();
  count_ = 0;
  if (apiMode != 0 && apiMode != 2 && apiMode != 4) return 0;

  // The device array is shared with the back ends detected before; its free
  // part bounds this one as well as the back end's own limit.
  const std::size_t capacity = std::min<std::size_t>(out.size(), kMaxDevices);
  const std::vector<JoystickInfo> attached = joysticks_.Enumerate();
  for (std::size_t position = 0; position < attached.size(); ++position) {
    if (static_cast<std::size_t>(count_) >= capacity) break;
    TDeviceConfig* record = nullptr;
    if (Register(apiMode, attached[position], position, record)) {
      out[static_cast<std::size_t>(count_++)] = record;
    }
  }
  if (count_ > 0) LOG_INFO("DetectJoysticks: Detected %d DI joystick(s)", count_);
  return count_;
}

bool DirectInputBackend::Register(int apiMode, const JoystickInfo& info, std::size_t position,
                                  TDeviceConfig*& out) {
  LOG_INFO("Detected a DI joystick: %s, %s, %08lX, %s", info.instanceName.c_str(),
           info.productName.c_str(), RawProductWord(info), info.instanceGuid.c_str());
  const int32_t productId = info.ProductUid();
  if (apiMode != 0 && IsXInputDevice(productId)) {
    LOG_DEBUG("But this DI joystick is an XInput device as well, so skipping...");
    return false;
  }
  // Opened before its record is touched, so a device that cannot be read
  // never shows up as present.
  if (!joysticks_.Open(position, count_)) return false;

  TDeviceConfig& record = records_.FindOrCreate(info.instanceGuid);
  record.PUID = productId;
  record.present = true;
  record.interfaceKind = InterfaceKind::DirectInput;
  record.backendIndex = count_;
  if (const TDeviceConfig* same = PresentWithProduct(records_, productId, &record)) {
    record.Name = same->Name;
    record.deviceType = same->deviceType;
  } else {
    ControllerName named = NameFor(productId, "", info.productName);
    record.Name = std::move(named.name);
    record.deviceType = named.deviceType;
  }
  records_.RefreshTemplate(record);
  LOG_DEBUG("Preferred index = %d", record.PreferredNumber);

  LOG_INFO("numAxis = %d", info.numAxes);
  LOG_INFO("numPOVs = %d", info.numPovs);
  LOG_INFO("numButtons = %d", info.numButtons);
  record.numAxes = info.numAxes;
  record.numPovs = info.numPovs;
  record.numButtons = info.numButtons;

  record.axisPresent = {};
  for (int axis = 0; axis < kAxisCount; ++axis) {
    if (!info.axisPresent[static_cast<std::size_t>(axis)]) continue;
    const char* name = info.axisNames[static_cast<std::size_t>(axis)];
    LOG_INFO("EnumDeviceObject: Axis offset=%d type=%x name=%s", axis * 4, AxisObjectType(axis),
             name ? name : "");
    record.axisPresent[static_cast<std::size_t>(axis)] = true;
  }
  if (record.AxisMappingUndecided()) {
    record.axisMapping = AutomaticDirectInputAxisMapping(record.axisPresent);
  }
  joysticks_.Configure(count_, record.AnalogDeadZone, analogSaturation_);
  out = &record;
  return true;
}

int DirectInputBackend::Read(TDeviceConfig& record, DeviceInput& input, bool& displayChanged,
                             const ReadOptions& options) {
  if (record.backendIndex < 0 || record.backendIndex >= count_) return -1;
  DirectInputState state;
  if (!joysticks_.Read(record.backendIndex, state)) return -1;
  ConvertDirectInputState(state, record.axisMapping, options, record.AnalogDeadZone,
                          record.lastAnalog, input, displayChanged);
  return 0;
}

void DirectInputBackend::ReleaseDirectInput() {
  LOG_DEBUG("Disposing DirectInput");
  joysticks_.Release();
  for (TDeviceConfig* record : records_.Snapshot()) {
    if (record->interfaceKind == InterfaceKind::DirectInput) record->present = false;
  }
  count_ = 0;
  LOG_DEBUG("DirectInput released");
}

}  // namespace brevanto
