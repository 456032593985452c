#pragma once

#include <span>

#include "core/input/DeviceInput.h"
#include "core/input/ReadOptions.h"
#include "core/ports/PadSource.h"
#include "core/ports/Rumble.h"

namespace brevanto {

class DeviceConfigManager;
class TDeviceConfig;

// Xbox-type pads, user index 0..3: found at detection, read once per cycle
// into the common picture. Used in the input API modes 1, 2 and 4.
class XInputBackend {
 public:
  XInputBackend(PadSource& pads, Rumble& rumble, DeviceConfigManager& records);

  // Makes the pads readable; without it no pad is ever detected.
  bool InitXInput();
  bool Available() const { return available_; }

  // Registers every answering pad and stores its record in out, from out[0]
  // on; returns how many. Finds nothing outside the API modes 1, 2 and 4.
  int DetectXInput(int apiMode, std::span<TDeviceConfig*> out);
  int PadCount() const { return padCount_; }

  // 0 when the pad delivered a state into input, -1 when it did not.
  int Read(TDeviceConfig& record, DeviceInput& input, bool& displayChanged,
           const ReadOptions& options);

  // Stops user 0's motors and forgets the pads.
  void ReleaseXInput();

 private:
  PadSource& pads_;
  Rumble& rumble_;
  DeviceConfigManager& records_;
  bool available_ = false;
  int padCount_ = 0;
};

}  // namespace brevanto
