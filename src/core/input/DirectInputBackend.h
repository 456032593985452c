#pragma once

#include <array>
#include <span>

#include "core/device/DeviceConfig.h"
#include "core/input/DeviceInput.h"
#include "core/input/ReadOptions.h"
#include "core/ports/JoystickSource.h"

namespace brevanto {

class DeviceConfigManager;
class XInputBackend;

// The mapping a device gets while its stored one is undecided: the second
// stick on Z/Rz when both exist, else on Rx/Ry, else the identity.
AxisMapping AutomaticDirectInputAxisMapping(const std::array<bool, kAxisCount>& axisPresent);

// Generic game controllers: found at detection, configured (dead zone,
// saturation, axis mapping) and read once per cycle into the common picture.
// Used in the input API modes 0, 2 and 4; in 2 and 4 the pads the XInput back
// end reads are left to it.
class DirectInputBackend {
 public:
  static constexpr int kMaxDevices = 50;

  DirectInputBackend(JoystickSource& joysticks, DeviceConfigManager& records,
                     const XInputBackend& xinput);

  // The global AnalogSaturation (0..10000), applied at the next detection.
  void SetAnalogSaturation(int saturation) { analogSaturation_ = saturation; }

  bool InitDirectInput();

  // Registers every attached controller and stores its record in out, from
  // out[0] on; returns how many.
  int DetectDirectInput(int apiMode, std::span<TDeviceConfig*> out);
  int Count() const { return count_; }

  // Whether the XInput back end already reads a pad of this product.
  bool IsXInputDevice(int32_t productId) const;

  // 0 when the device delivered a state into input, -1 when it did not.
  int Read(TDeviceConfig& record, DeviceInput& input, bool& displayChanged,
           const ReadOptions& options);

  void ReleaseDirectInput();

 private:
  bool Register(int apiMode, const JoystickInfo& info, std::size_t position, TDeviceConfig*& out);

  JoystickSource& joysticks_;
  DeviceConfigManager& records_;
  const XInputBackend& xinput_;
  int analogSaturation_ = 10000;
  int count_ = 0;
};

}  // namespace brevanto
