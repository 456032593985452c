#pragma once

#include <cstdint>

#include "core/input/XInputConversion.h"

namespace brevanto {

// Results of a pad query, as the XInput functions give them.
inline constexpr int kPadOk = 0;
inline constexpr int kPadNotConnected = 1167;

struct PadCapabilities {
  uint16_t vendorId = 0;
  uint16_t productId = 0;
  bool wireless = false;
};

// Port: the Xbox-type pads, addressed by user index 0..3.
class PadSource {
 public:
  static constexpr int kMaxUsers = 4;

  virtual ~PadSource() = default;

  // Makes the pads readable. False when the facility is missing; the reason
  // is logged.
  virtual bool Init() = 0;
  // Takes a fresh look at the attached pads before detection probes the user
  // indexes. A pad keeps its user index for as long as it stays attached; a
  // new pad takes the lowest free one.
  virtual void Refresh() = 0;
  // The pad's current state, guide button included. kPadOk, kPadNotConnected
  // or another failure code.
  virtual int GetState(int userIndex, XInputGamepadState& state) = 0;
  // False when the pad's identity cannot be read.
  virtual bool GetCapabilities(int userIndex, PadCapabilities& capabilities) = 0;
  // Lets go of every pad until the next refresh.
  virtual void Release() = 0;
};

}  // namespace brevanto
