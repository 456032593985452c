#include "platform/fake/FakeControllers.h"

#include <cstdio>

namespace brevanto {

int FakePadSource::GetState(int userIndex, XInputGamepadState& state) {
  if (userIndex < 0 || userIndex >= kMaxUsers) return kPadNotConnected;
  const auto& pad = pads[static_cast<std::size_t>(userIndex)];
  if (!pad) return kPadNotConnected;
  if (pad->result == kPadOk) state = pad->state;
  return pad->result;
}

bool FakePadSource::GetCapabilities(int userIndex, PadCapabilities& capabilities) {
  if (userIndex < 0 || userIndex >= kMaxUsers) return false;
  const auto& pad = pads[static_cast<std::size_t>(userIndex)];
  if (!pad || !pad->capabilities) return false;
  capabilities = *pad->capabilities;
  return true;
}

JoystickInfo FakeJoystickSource::Info(int number, uint16_t vendorId, uint16_t productId,
                                      std::initializer_list<int> axes) {
  JoystickInfo info;
  char guid[40];
  std::snprintf(guid, sizeof guid, "{00000000-0000-0000-0000-%012X}", number);
  info.instanceGuid = guid;
  info.instanceName = "Joystick " + std::to_string(number);
  info.productName = info.instanceName;
  info.vendorId = vendorId;
  info.productId = productId;
  for (int axis : axes) info.axisPresent[static_cast<std::size_t>(axis)] = true;
  info.numAxes = static_cast<int>(axes.size());
  info.numPovs = 1;
  info.numButtons = 12;
  return info;
}

std::vector<JoystickInfo> FakeJoystickSource::Enumerate() {
  std::vector<JoystickInfo> list;
  for (const Device& device : attached) list.push_back(device.info);
  return list;
}

bool FakeJoystickSource::Open(std::size_t position, int index) {
  if (position >= attached.size() || !attached[position].opens) return false;
  opened[static_cast<std::size_t>(index)] = static_cast<int>(position);
  return true;
}

void FakeJoystickSource::Configure(int index, int deadZone, int saturation) {
  settings[static_cast<std::size_t>(index)] = Settings{deadZone, saturation};
}

bool FakeJoystickSource::Read(int index, DirectInputState& state) {
  if (index < 0 || index >= static_cast<int>(opened.size())) return false;
  const int position = opened[static_cast<std::size_t>(index)];
  if (position < 0 || position >= static_cast<int>(attached.size())) return false;
  state = attached[static_cast<std::size_t>(position)].state;
  return true;
}

void FakeJoystickSource::Release() {
  ++releaseCount;
  opened.fill(-1);
}

HidDevice FakeHidSource::Device(const std::string& path, uint16_t vendorId, uint16_t productId,
                                int numAxes, int numPovs, int numButtons) {
  HidDevice device;
  device.path = path;
  device.identity = path;
  device.vendorId = vendorId;
  device.productId = productId;
  device.manufacturer = "General";
  device.productName = "Gamepad";
  device.readable = true;
  device.capabilities.numAxes = numAxes;
  for (int axis = 0; axis < numAxes && axis < kAxisCount; ++axis) {
    device.capabilities.axisPresent[static_cast<std::size_t>(axis)] = true;
  }
  device.capabilities.numPovs = numPovs;
  device.capabilities.numButtons = numButtons;
  return device;
}

}  // namespace brevanto
