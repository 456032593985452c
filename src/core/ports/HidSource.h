#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/input/HidCapabilities.h"
#include "core/input/HidDescriptor.h"

namespace brevanto {

// One HID game controller (top collection: generic desktop joystick or
// gamepad).
struct HidDevice {
  int listPosition = 0;  // among all HID nodes of the system
  std::string path;      // the device node the reports are read from
  // The record identity: the same for the same controller across re-plugging
  // and restarts, different for two identical controllers.
  std::string identity;
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  std::string manufacturer;  // "General" unless the device names one
  std::string productName;   // "Gamepad" or "Joystick" unless the device names one
  bool microsoft = false;    // a Microsoft device that names no manufacturer
  bool readable = false;     // the node could be opened for reading
  HidDescriptor descriptor;
  HidCapabilities capabilities;

  // Vendor id in the high 16 bits, product id in the low 16 bits.
  int32_t ProductUid() const {
    return static_cast<int32_t>((uint32_t{vendorId} << 16) | productId);
  }
};

// Port: the HID game controllers of the system.
class HidSource {
 public:
  virtual ~HidSource() = default;

  // False when the system offers no HID access at all.
  virtual bool Load() = 0;
  // Fills out with the controllers found (and logs each). False when the
  // list of HID devices cannot be obtained.
  virtual bool Enumerate(std::vector<HidDevice>& out) = 0;
  // The controllers to read from now on, by HID index: their input reports
  // are decoded into the state table entry of their index, which starts
  // cleared. Empty: read nothing. Replaces the previous set.
  virtual void ReadDevices(std::span<const HidDevice> devices) = 0;
};

}  // namespace brevanto
