#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/input/DirectInputConversion.h"
#include "core/input/VirtualButton.h"

namespace brevanto {

// One attached game controller as the joystick source presents it.
struct JoystickInfo {
  // A braced 38-character GUID that tells identical controllers apart and
  // stays the same across restarts and re-plugging into the same port.
  std::string instanceGuid;
  std::string instanceName;
  std::string productName;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  // What the presented state holds: axes of the eight positions X, Y, Z, Rx,
  // Ry, Rz, slider 0, slider 1 (present flags), hats and buttons.
  int numAxes = 0;
  int numPovs = 0;
  int numButtons = 0;
  std::array<bool, kAxisCount> axisPresent{};
  // The axes' names in position order, for the log.
  std::array<const char*, kAxisCount> axisNames{};

  // Vendor in the high 16 bits, product in the low 16 bits.
  int32_t ProductUid() const {
    return static_cast<int32_t>((uint32_t{vendorId} << 16) | productId);
  }
};

// Port: generic game controllers read as the classic joystick state. Devices
// are opened under an index of the caller's choosing (the back-end index).
class JoystickSource {
 public:
  virtual ~JoystickSource() = default;

  // Makes the controllers readable. False when the facility is missing; the
  // reason is logged.
  virtual bool Init() = 0;
  // The attached controllers in the system's order.
  virtual std::vector<JoystickInfo> Enumerate() = 0;
  // Opens the controller at this position of the last Enumerate for reading
  // under index. False (logged) when it cannot be opened.
  virtual bool Open(std::size_t position, int index) = 0;
  // Dead zone and saturation of every axis in 0..10000 of the half range.
  virtual void Configure(int index, int deadZone, int saturation) = 0;
  // False when the device gives no state (not open, unplugged).
  virtual bool Read(int index, DirectInputState& state) = 0;
  // Closes every open device.
  virtual void Release() = 0;
};

}  // namespace brevanto
