#pragma once

#include "core/input/VirtualButton.h"

namespace brevanto {

// The profile options that shape a device reading. The cycle fills them from
// the current profile; the back ends pass them to the state conversions.
struct ReadOptions {
  int threshold = 0;   // Threshold: stick 1, the further axes and the pressed flags
  int threshold2 = 0;  // Threshold2: stick 2
  bool useDiagonalInput = false;
  bool useDiagonalInput2 = false;
  bool usePov8Way = false;
  int numberOfButtons = kPlainButtonCount;  // plain buttons a joystick reports, at most 128
};

}  // namespace brevanto
