#pragma once

#include <cstdint>

namespace brevanto {

// A raw joystick axis (-32768..32767) on the scale -1000..1000 with a dead
// zone and a saturation, both in 0..10000 of the half range: d = |raw| as a
// fraction of the half range gives 0 up to the dead zone, full deflection from
// the saturation on and a straight line in between; the sign is kept.
int32_t ScaleJoystickAxis(int32_t raw, int deadZone, int saturation);

// An analog trigger (0..32767) as a full-range axis: -32767 released,
// 32767 fully pressed.
constexpr int32_t TriggerAsFullRangeAxis(int32_t trigger) {
  return trigger * 2 - 32767;
}

}  // namespace brevanto
