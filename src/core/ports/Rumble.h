#pragma once

#include <cstdint>

namespace brevanto {

// Port: the two motors of an Xbox-type pad. A speed stays set until the next
// call changes it.
class Rumble {
 public:
  virtual ~Rumble() = default;

  // False when vibration cannot be sent at all (the facility is missing).
  virtual bool Available() const = 0;
  // left is the low-frequency motor, right the high-frequency one; 0..65535.
  // False when the pad at userIndex did not take the speeds.
  virtual bool SetMotors(int userIndex, uint16_t left, uint16_t right) = 0;
};

}  // namespace brevanto
