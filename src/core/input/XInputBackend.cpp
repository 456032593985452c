#include "core/input/XInputBackend.h"

#include <cstdio>
#include <string>
#include <utility>

#include "core/device/DeviceConfigManager.h"
#include "core/input/ControllerNames.h"
#include "core/input/XInputConversion.h"
#include "core/log/Logger.h"

namespace brevanto {
namespace {

// A wireless receiver may not tell which pad answers; it is then taken for
// the wireless Xbox 360 pad.
constexpr uint16_t kMicrosoftVendorId = 0x045E;
constexpr uint16_t kWirelessXbox360ProductId = 0x02A1;

// What a pad offers: two sticks and two triggers, the D-pad, eleven buttons.
constexpr int kPadAxes = 6;
constexpr int kPadPovs = 1;
constexpr int kPadButtons = 11;

// A record of the same product found through another interface lends the pad
// its name and device type.
const TDeviceConfig* SameProductElsewhere(const DeviceConfigManager& records, int32_t productId) {
  if (productId == 0) return nullptr;
  for (const TDeviceConfig* record : records.Snapshot()) {
    if (record->present && record->PUID == productId &&
        record->interfaceKind != InterfaceKind::XInput) {
      return record;
    }
  }
  return nullptr;
}

}  // namespace

XInputBackend::XInputBackend(PadSource& pads, Rumble& rumble, DeviceConfigManager& records)
    : pads_(pads), rumble_(rumble), records_(records) {}

bool XInputBackend::InitXInput() {
  available_ = pads_.Init();
  if (available_) LOG_INFO("Initialized XInput");
  return available_;
}

int XInputBackend::DetectXInput(int apiMode, std::span<TDeviceConfig*> out) {
  padCount_ = 0;
  if (!available_ || (apiMode != 1 && apiMode != 2 && apiMode != 4)) return 0;

  pads_.Refresh();
  for (int user = 0; user < PadSource::kMaxUsers; ++user) {
    if (static_cast<std::size_t>(padCount_) >= out.size()) break;
    XInputGamepadState state;
    const int result = pads_.GetState(user, state);
    if (result == kPadNotConnected) {
      LOG_DEBUG("XI device[%d] not connected", user);
      continue;
    }
    if (result != kPadOk) {
      LOG_ERROR("XInputGetState failed for index %d (Error=%08X)", user,
                static_cast<unsigned>(result));
      continue;
    }

    LOG_INFO("Detected XI device[%d]", user);
    std::string identifier = "XInput-" + std::to_string(padCount_);
    std::string name = "XInput Device #" + std::to_string(padCount_ + 1);
    int32_t productId = 0;
    int deviceType = 0;

    PadCapabilities caps;
    if (pads_.GetCapabilities(user, caps)) {
      LOG_INFO("VendorId=%04X, ProductId=%04X", caps.vendorId, caps.productId);
      if (caps.productId == 0 && caps.wireless) {
        caps.vendorId = kMicrosoftVendorId;
        caps.productId = kWirelessXbox360ProductId;
      }
      productId = static_cast<int32_t>((uint32_t{caps.vendorId} << 16) | caps.productId);
      char text[24];
      std::snprintf(text, sizeof text, "%08lX-%d",
                    static_cast<unsigned long>(static_cast<uint32_t>(productId)), user + 1);
      identifier = text;
      if (const TDeviceConfig* sameProduct = SameProductElsewhere(records_, productId)) {
        name = sameProduct->Name;
        deviceType = sameProduct->deviceType;
      } else if (FindController(productId)) {
        // Pads whose driver offers no HID view (wired Xbox pads on Linux)
        // are named by the table, which also gives their button labels.
        ControllerName named = NameFor(productId, "", "");
        name = std::move(named.name);
        deviceType = named.deviceType;
      }
    }
    LOG_INFO("GUID=%s, Name=%s", identifier.c_str(), name.c_str());

    TDeviceConfig& record = records_.FindOrCreate(identifier);
    record.PUID = productId;
    record.present = true;
    record.interfaceKind = InterfaceKind::XInput;
    record.backendIndex = user;
    record.Name = name;
    record.deviceType = deviceType;
    record.numAxes = kPadAxes;
    record.numPovs = kPadPovs;
    record.numButtons = kPadButtons;
    records_.RefreshTemplate(record);
    record.axisMapping = {0, 1, 2, 3, 4, 5, 6, 7};
    LOG_DEBUG("Preferred index = %d", record.PreferredNumber);

    out[static_cast<std::size_t>(padCount_++)] = &record;
  }
  LOG_INFO("DetectJoysticks: Detected %d XI joystick(s)", padCount_);
  return padCount_;
}

int XInputBackend::Read(TDeviceConfig& record, DeviceInput& input, bool& displayChanged,
                        const ReadOptions& options) {
  if (record.backendIndex < 0 || record.backendIndex >= PadSource::kMaxUsers) return -1;
  XInputGamepadState state;
  if (pads_.GetState(record.backendIndex, state) != kPadOk) return -1;
  ConvertXInputState(state, options, record.AnalogDeadZone, record.lastAnalog, input,
                     displayChanged);
  return 0;
}

void XInputBackend::ReleaseXInput() {
  if (rumble_.Available()) {
    rumble_.SetMotors(0, 0, 0);
    LOG_DEBUG("Vibration Disabled");
  }
  pads_.Release();
  for (TDeviceConfig* record : records_.Snapshot()) {
    if (record->interfaceKind == InterfaceKind::XInput) record->present = false;
  }
  padCount_ = 0;
}

}  // namespace brevanto
