#pragma once

#include <memory>
#include <string>

#include "platform/linux/output/InputEventWriter.h"

namespace brevanto {

// The virtual keyboard and mouse "Brevanto virtual input": keys, relative
// axes with both wheels, absolute axes 0..65535 and five mouse buttons.
// Created once; destroying the object removes the device from the system.
class UinputDevice {
 public:
  static constexpr const char* kDefaultPath = "/dev/uinput";
  static constexpr const char* kDeviceName = "Brevanto virtual input";
  static constexpr int kAbsoluteMax = 65535;

  // nullptr when the device cannot be created; the reason is logged at Error.
  static std::unique_ptr<UinputDevice> Create(const std::string& path = kDefaultPath);

  ~UinputDevice();
  UinputDevice(const UinputDevice&) = delete;
  UinputDevice& operator=(const UinputDevice&) = delete;

  InputEventWriter& Writer() { return writer_; }
  // The kernel's name for the device below /sys/devices/virtual/input, or
  // empty when the kernel cannot tell.
  std::string SystemName() const;

 private:
  explicit UinputDevice(int fd) : fd_(fd), writer_(fd) {}

  int fd_;
  InputEventWriter writer_;
};

}  // namespace brevanto
