#include "platform/fake/ScriptedInputDevices.h"

#include <string>

#include "core/input/DirectInputBackend.h"
#include "core/input/DirectInputConversion.h"
#include "core/input/XInputConversion.h"

namespace brevanto {
namespace {

constexpr AxisMapping kPadMapping{0, 1, 2, 3, 4, 5, 6, 7};

}  // namespace

ScriptedInputDevices::ScriptedInputDevices(const ScriptedDeviceSource& source,
                                           const DeviceDefaults& defaults)
    : source_(source) {
  slotMap_.fill(-1);
  for (int slot = 0; slot < kMaxJoysticks; ++slot) {
    if (!source.Uses(slot)) continue;
    const bool pad = source.KindOf(slot) == ReplayDeviceKind::XInput;
    TDeviceConfig& record =
        records_.emplace_back((pad ? "XInput-" : "Scripted-") + std::to_string(slot + 1), defaults);
    record.interfaceKind = pad ? InterfaceKind::XInput : InterfaceKind::DirectInput;
    record.present = true;
    record.assignedSlot = slot;
    record.PreferredNumber = slot;
    if (pad) {
      record.axisMapping = kPadMapping;
    } else {
      // A scripted joystick has all eight axes.
      record.axisPresent.fill(true);
      if (record.AxisMappingUndecided()) {
        record.axisMapping = AutomaticDirectInputAxisMapping(record.axisPresent);
      }
    }
    slotMap_[static_cast<std::size_t>(slot)] = static_cast<int>(slots_.size());
    slots_.push_back(slot);
  }
}

int ScriptedInputDevices::SlotDevice(int slot) const {
  if (slot < 0 || slot >= kMaxJoysticks) return -1;
  return slotMap_[static_cast<std::size_t>(slot)];
}

int ScriptedInputDevices::Read(int device, const ReadOptions& options, DeviceInput& input,
                               bool& displayChanged) {
  if (device < 0 || device >= DeviceCount()) return -1;
  const int slot = slots_[static_cast<std::size_t>(device)];
  if (unplugged_[static_cast<std::size_t>(slot)]) return -1;
  TDeviceConfig& record = Record(device);
  if (record.interfaceKind == InterfaceKind::XInput) {
    XInputGamepadState pad;
    if (!source_.ReadXInput(slot, pad)) return -1;
    ConvertXInputState(pad, options, record.AnalogDeadZone, record.lastAnalog, input,
                       displayChanged);
    return 0;
  }
  DirectInputState state;
  if (!source_.ReadDirectInput(slot, state)) return -1;
  ConvertDirectInputState(state, record.axisMapping, options, record.AnalogDeadZone,
                          record.lastAnalog, input, displayChanged);
  return 0;
}

void ScriptedInputDevices::DetectJoysticks(bool /*forceNotify*/) {
  ++detections_;
  changePending_ = false;
}

void ScriptedInputDevices::SetUnplugged(int slot, bool unplugged) {
  if (slot >= 0 && slot < kMaxJoysticks) unplugged_[static_cast<std::size_t>(slot)] = unplugged;
}

}  // namespace brevanto
