#pragma once

#include <set>
#include <string>
#include <vector>

#include "core/ports/HidSource.h"

namespace brevanto {

// Lists the game controllers (top collection: generic desktop joystick or
// gamepad) among /sys/class/hidraw, reading identity and names from sysfs and
// the report descriptor from sysfs or the node. Both folders are parameters
// so that a test can build a fake tree. HidrawBackend reads what it finds.
class HidrawEnumerator {
 public:
  explicit HidrawEnumerator(std::string classDir = "/sys/class/hidraw",
                            std::string devDir = "/dev");

  // False (logged) when the class folder is missing: the kernel has no
  // hidraw support loaded.
  bool Load();
  // Fills out with the controllers found and logs each one. Returns false when
  // the class folder cannot be listed.
  bool Enumerate(std::vector<HidDevice>& out);

  const std::string& DevDir() const { return devDir_; }

 private:
  // Adds the node to unreadable when it cannot be opened.
  bool Describe(const std::string& name, int position, HidDevice& device,
                std::set<std::string>& unreadable) const;

  std::string classDir_;
  std::string devDir_;
  // The controller nodes that could not be opened at the last enumeration.
  std::set<std::string> unreadable_;
};

}  // namespace brevanto
