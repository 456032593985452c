#pragma once

#include <span>
#include <vector>

#include "core/ports/HidSource.h"

namespace brevanto {

class DeviceConfigManager;
class TDeviceConfig;

// Finds the HID game controllers. They are enumerated and their records
// updated in every input API mode, so the other back ends can recognise a
// controller seen through HID; only the modes 3 and 4 register them for
// reading.
class HidDetection {
 public:
  HidDetection(HidSource& source, DeviceConfigManager& records);

  // Whether HID access exists at all.
  bool LoadHid();
  bool Available() const { return available_; }

  // Updates the record of every controller found; in the modes 3 and 4 also
  // stores every readable one in out, from out[0] on, and has the source read
  // it. Returns how
  // many were registered for reading, or -1 when the list of HID devices
  // cannot be obtained.
  int DetectHid(int apiMode, std::span<TDeviceConfig*> out);

  // The controllers registered for reading, by HID index.
  const std::vector<HidDevice>& Devices() const { return devices_; }
  int Count() const { return static_cast<int>(devices_.size()); }

  // Marks every HID record not present, forgets the devices and stops
  // reading them.
  void Release();

 private:
  void MarkAbsent();

  HidSource& source_;
  DeviceConfigManager& records_;
  bool available_ = false;
  std::vector<HidDevice> devices_;
};

}  // namespace brevanto
