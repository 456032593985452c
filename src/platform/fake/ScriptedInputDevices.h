#pragma once

#include <array>
#include <vector>

#include "core/device/DeviceConfig.h"
#include "core/processing/InputDevices.h"
#include "platform/fake/ScriptedDeviceSource.h"

namespace brevanto {

// The devices of a replay script as the processing cycle sees them: one
// device per slot the script uses, in slot order, each driving its own slot,
// read through the same state conversions as real pads and joysticks. Each
// device has a record with the defaults of a newly seen controller.
class ScriptedInputDevices final : public InputDevices {
 public:
  ScriptedInputDevices(const ScriptedDeviceSource& source, const DeviceDefaults& defaults);

  int DeviceCount() const override { return static_cast<int>(slots_.size()); }
  int SlotDevice(int slot) const override;
  int Read(int device, const ReadOptions& options, DeviceInput& input,
           bool& displayChanged) override;

  bool DeviceChangePending() const override { return changePending_; }
  void DetectJoysticks(bool forceNotify) override;

  // As if the system reported a device change.
  void RequestDetection() { changePending_ = true; }
  int Detections() const { return detections_; }
  // A device that stops delivering states, as an unplugged one does.
  void SetUnplugged(int slot, bool unplugged);

  TDeviceConfig& Record(int device) { return records_[static_cast<std::size_t>(device)]; }

 private:
  const ScriptedDeviceSource& source_;
  std::vector<int> slots_;  // device index -> slot
  std::vector<TDeviceConfig> records_;
  std::array<int, kMaxJoysticks> slotMap_{};
  std::array<bool, kMaxJoysticks> unplugged_{};
  bool changePending_ = false;
  int detections_ = 0;
};

}  // namespace brevanto
