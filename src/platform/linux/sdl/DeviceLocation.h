#pragma once

#include <string>

namespace brevanto {

// What sysfs tells about where a controller's device node sits.
struct DeviceLocation {
  std::string uniqueId;  // the device's own unique id (serial or radio address)
  std::string port;      // the physical port it is plugged into
};

// For an event node (/dev/input/eventN) its "uniq" and "phys" attributes; for
// a hidraw node (/dev/hidrawN) the sysfs folder of the port above the HID
// device, which outlives re-plugging while the HID device's own name does not.
// Empty fields for other nodes or missing attributes. sysfsRoot is a parameter
// so that a test can build a fake tree.
DeviceLocation ReadDeviceLocation(const std::string& nodePath,
                                  const std::string& sysfsRoot = "/sys");

}  // namespace brevanto
