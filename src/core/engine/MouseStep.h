#pragma once

#include <cstdint>

#include "core/engine/ButtonAssignment.h"

namespace brevanto {

// One cycle of a Mouse or MouseAbsolute record: its mouse buttons go down on
// press and up on release, and while value > 0 it moves by speed × value / 4096
// pixels and turns the wheels by one notch each time speed × value sums past
// 0x10000. Sub-pixel remainders and the horizontal wheel start over on every
// release; the vertical wheel carries its part of a notch to the next press.
void MouseStep(ButtonAssignment& record, int32_t value, bool press, bool release);

}  // namespace brevanto
