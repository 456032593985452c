#include "core/processing/DeviceDetection.h"

#include <span>

#include "core/device/DeviceConfigManager.h"
#include "core/input/DirectInputBackend.h"
#include "core/input/HidDetection.h"
#include "core/input/HidInput.h"
#include "core/input/XInputBackend.h"
#include "core/log/Logger.h"
#include "core/processing/Messages.h"
#include "core/processing/ProcessingTimer.h"
#include "core/ports/MessageSink.h"

namespace brevanto {
namespace {

// Holds the processing lock for one detection. On the processing thread the
// cycle holds it already; the lock is re-entrant.
class DetectionLock {
 public:
  explicit DetectionLock(ProcessingTimer* timer) : timer_(timer) {
    if (timer_) timer_->SafeEnterCriticalSection();
  }
  ~DetectionLock() {
    if (timer_) timer_->LeaveCriticalSection();
  }
  DetectionLock(const DetectionLock&) = delete;
  DetectionLock& operator=(const DetectionLock&) = delete;

 private:
  ProcessingTimer* timer_;
};

}  // namespace

DeviceDetection::DeviceDetection(DeviceConfigManager& records, HidDetection& hid,
                                 XInputBackend& xinput, DirectInputBackend& directInput,
                                 MessageSink& sink)
    : records_(records), hid_(hid), xinput_(xinput), directInput_(directInput), sink_(sink) {
  slotMap_.fill(-1);
}

bool DeviceDetection::InitJoysticks() {
  if (!hid_.LoadHid()) {
    if (apiMode_ == 3 || apiMode_ == 4) {
      LOG_INFO("Falling back Input API mode to 2");
      apiMode_ = 2;
    }
  } else {
    LOG_INFO("Initialized HID");
  }
  xinput_.InitXInput();
  if (!directInput_.InitDirectInput()) return false;
  DetectJoysticks(false);
  return true;
}

void DeviceDetection::DetectJoysticks(bool forceNotify) {
  LOG_DEBUG("Detecting Joysticks... (API mode = %d)", apiMode_);
  const int previousTotal = total_;
  {
    DetectionLock lock(timer_);

    // A record not found again must not look as if it still owned a slot.
    records_.ClearPresentFlags();
    for (TDeviceConfig* record : records_.Snapshot()) record->assignedSlot = -1;
    if (slots_) {
      for (SlotState& slot : *slots_) slot.ClearForRedetection();
    }
    devices_.fill(nullptr);

    const std::span<TDeviceConfig*> array(devices_);
    hidCount_ = hid_.Available() ? hid_.DetectHid(apiMode_, array) : 0;
    if (hidCount_ < 0) {
      LOG_ERROR("Failed to detect HID joysticks");
      LOG_SYSTEM_ERROR();
      hidCount_ = 0;
    }
    xinputCount_ =
        xinput_.DetectXInput(apiMode_, array.subspan(static_cast<std::size_t>(hidCount_)));
    directInputCount_ = directInput_.DetectDirectInput(
        apiMode_, array.subspan(static_cast<std::size_t>(hidCount_ + xinputCount_)));
    total_ = hidCount_ + xinputCount_ + directInputCount_;

    if (total_ == 0) {
      LOG_DEBUG("DetectJoysticks: Failed to detect joysticks");
      slotMap_.fill(-1);
    } else {
      AssignSlots();
    }
    LOG_INFO("%d joystick(s) are detected", total_);
  }
  if (total_ != previousTotal || forceNotify) sink_.Post(WM_BRV_DEVICES_CHANGED, 0, 0);
  deviceChangePending_.store(false, std::memory_order_relaxed);
}

void DeviceDetection::AssignSlots() {
  slotMap_.fill(-1);
  for (int i = 0; i < total_; ++i) {
    TDeviceConfig& device = *devices_[static_cast<std::size_t>(i)];
    const int preferred = device.PreferredNumber;
    if (preferred >= 0 && preferred < kMaxJoysticks &&
        slotMap_[static_cast<std::size_t>(preferred)] < 0) {
      Assign(preferred, i);
    } else {
      device.assignedSlot = -1;
    }
  }
  for (int i = 0; i < total_; ++i) {
    if (devices_[static_cast<std::size_t>(i)]->assignedSlot >= 0) continue;
    for (int slot = 0; slot < kMaxJoysticks; ++slot) {
      if (slotMap_[static_cast<std::size_t>(slot)] < 0) {
        Assign(slot, i);
        break;
      }
    }
  }
}

void DeviceDetection::Assign(int slot, int device) {
  TDeviceConfig& record = *devices_[static_cast<std::size_t>(device)];
  slotMap_[static_cast<std::size_t>(slot)] = device;
  record.assignedSlot = slot;
  LOG_INFO("Assign %s to Joystick[%d] (%s)", record.DisplayName().c_str(), slot + 1,
           record.GUID.c_str());
}

void DeviceDetection::ReleaseJoysticks() {
  directInput_.ReleaseDirectInput();
  xinput_.ReleaseXInput();
  hid_.Release();
  // Nothing is readable until the next detection.
  devices_.fill(nullptr);
  slotMap_.fill(-1);
  total_ = hidCount_ = xinputCount_ = directInputCount_ = 0;
}

TDeviceConfig* DeviceDetection::Device(int index) const {
  if (index < 0 || index >= total_) return nullptr;
  return devices_[static_cast<std::size_t>(index)];
}

int DeviceDetection::SlotDevice(int slot) const {
  if (slot < 0 || slot >= kMaxJoysticks) return -1;
  return slotMap_[static_cast<std::size_t>(slot)];
}

int DeviceDetection::Read(int device, const ReadOptions& options, DeviceInput& input,
                          bool& displayChanged) {
  TDeviceConfig* record = Device(device);
  if (!record) return -1;
  switch (record->interfaceKind) {
    case InterfaceKind::XInput:
      return xinput_.Read(*record, input, displayChanged, options);
    case InterfaceKind::DirectInput:
      return directInput_.Read(*record, input, displayChanged, options);
    case InterfaceKind::Hid: {
      if (!hidStates_) return -1;
      HidReadOptions hid;
      for (std::size_t i = 0; i < hid.axisMapping.size(); ++i) {
        hid.axisMapping[i] = record->axisMapping[i];
      }
      hid.analogDeadZone = record->AnalogDeadZone;
      hid.stick1 = StickOptions{options.threshold, options.useDiagonalInput};
      hid.stick2 = StickOptions{options.threshold2, options.useDiagonalInput2};
      hid.usePov8Way = options.usePov8Way;
      hid.numberOfButtons = options.numberOfButtons;
      hid.xboxLayout = record->xboxLayout;
      return hidStates_->Read(record->backendIndex, hid, record->lastAnalog, input, displayChanged);
    }
  }
  return -1;
}

}  // namespace brevanto
