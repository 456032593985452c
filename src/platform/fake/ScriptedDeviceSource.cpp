#include "platform/fake/ScriptedDeviceSource.h"

#include <utility>

namespace brevanto {

ScriptedDeviceSource::ScriptedDeviceSource(ReplayScript script) : script_(std::move(script)) {
  Reset();
}

void ScriptedDeviceSource::Reset() {
  pads_.fill(XInputGamepadState{});
  joysticks_.fill(DirectInputState{});
  next_ = 0;
  tick_ = 0;
}

void ScriptedDeviceSource::AdvanceTo(int32_t tick) {
  if (tick < tick_) Reset();
  while (next_ < script_.events.size() && script_.events[next_].tick <= tick) {
    Apply(script_.events[next_++]);
  }
  tick_ = tick;
}

void ScriptedDeviceSource::Apply(const ReplayEvent& event) {
  const auto slot = static_cast<std::size_t>(event.slot);
  const uint16_t index = event.control.index;
  DirectInputState& joystick = joysticks_[slot];
  XInputGamepadState& pad = pads_[slot];
  switch (event.control.kind) {
    case ReplayControlKind::Axis:
      joystick.axes[index] = event.value;
      break;
    case ReplayControlKind::Pov:
      joystick.pov[index] = event.value < 0 ? kPovCentred : static_cast<uint32_t>(event.value);
      break;
    case ReplayControlKind::Button:
      joystick.buttons[index] = event.value != 0 ? 0x80 : 0;
      break;
    case ReplayControlKind::Thumb: {
      int16_t* thumbs[] = {&pad.thumbLX, &pad.thumbLY, &pad.thumbRX, &pad.thumbRY};
      *thumbs[index] = static_cast<int16_t>(event.value);
      break;
    }
    case ReplayControlKind::Trigger:
      (index == 0 ? pad.leftTrigger : pad.rightTrigger) = static_cast<uint8_t>(event.value);
      break;
    case ReplayControlKind::PadButton:
      if (event.value != 0) {
        pad.buttons = static_cast<uint16_t>(pad.buttons | index);
      } else {
        pad.buttons = static_cast<uint16_t>(pad.buttons & ~index);
      }
      break;
  }
}

bool ScriptedDeviceSource::Uses(int slot) const {
  return slot >= 0 && slot < kMaxJoysticks && script_.used[static_cast<std::size_t>(slot)];
}

ReplayDeviceKind ScriptedDeviceSource::KindOf(int slot) const {
  return Uses(slot) ? script_.kinds[static_cast<std::size_t>(slot)] : ReplayDeviceKind::DirectInput;
}

bool ScriptedDeviceSource::ReadXInput(int slot, XInputGamepadState& state) const {
  if (!Uses(slot) || KindOf(slot) != ReplayDeviceKind::XInput) return false;
  state = pads_[static_cast<std::size_t>(slot)];
  return true;
}

bool ScriptedDeviceSource::ReadDirectInput(int slot, DirectInputState& state) const {
  if (!Uses(slot) || KindOf(slot) != ReplayDeviceKind::DirectInput) return false;
  state = joysticks_[static_cast<std::size_t>(slot)];
  return true;
}

}  // namespace brevanto
