#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/input/HidCapabilities.h"
#include "core/input/HidDescriptor.h"

namespace brevanto {

// One game controller found among the hidraw nodes.
struct HidrawDevice {
  int listPosition = 0;  // among all hidraw nodes, in node-number order
  std::string path;      // the device node; it identifies the device
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

// Lists the game controllers (top collection: generic desktop joystick or
// gamepad) among /sys/class/hidraw, reading identity and names from sysfs and
// the report descriptor from sysfs or the node. Both folders are parameters
// so that a test can build a fake tree.
class HidrawEnumerator {
 public:
  explicit HidrawEnumerator(std::string classDir = "/sys/class/hidraw",
                            std::string devDir = "/dev");

  // Fills out with the controllers found and logs each one. Returns false when
  // the class folder cannot be listed.
  bool Enumerate(std::vector<HidrawDevice>& out) const;

 private:
  bool Describe(const std::string& name, int position, HidrawDevice& device) const;

  std::string classDir_;
  std::string devDir_;
};

}  // namespace brevanto
