#pragma once

#include "core/input/DeviceInput.h"
#include "core/input/ReadOptions.h"

namespace brevanto {

// The detected controllers as the processing cycle reads them: the device
// array, the map from joystick slot to device, and each device's read
// through its back end. Detection keeps them; the cycle only reads them,
// under the processing lock.
class InputDevices {
 public:
  virtual ~InputDevices() = default;

  // Devices in the array, 0..50.
  virtual int DeviceCount() const = 0;
  // The array index of the device that drives the slot (0..49), or -1.
  virtual int SlotDevice(int slot) const = 0;
  // Reads the device at an array index into input (cleared first): 0 when it
  // delivered a state, -1 when it did not. displayChanged is set, never
  // cleared, when a live axis value for the device dialog changed.
  virtual int Read(int device, const ReadOptions& options, DeviceInput& input,
                   bool& displayChanged) = 0;

  // The system reported controllers coming or going since the last detection.
  virtual bool DeviceChangePending() const = 0;
  // Detects the controllers again, from inside a cycle (the processing lock
  // is held); clears the pending flag.
  virtual void DetectJoysticks(bool forceNotify) = 0;
};

}  // namespace brevanto
