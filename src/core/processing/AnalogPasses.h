#pragma once

#include <array>
#include <cstdint>

#include "core/input/AliasEvaluation.h"
#include "core/input/VirtualButton.h"

namespace brevanto {

class AbstractEvent;
class ProfileJoystick;

// Shapes one slot's effective values for the mouse and analog-switch records
// that interpret them, between EffectiveValue and Process:
//   - held Mouse records with an analogFactor scale all mouse movement;
//   - held MouseAbsolute records (and axis-driven ones with a range) put the
//     cursor on the desktop through output.MoveAbsolute;
//   - stick groups with an accelerationFactor grow towards full deflection
//     (AccelerationSharpness sets the curve);
//   - AnalogSwitch records on a stick get the stick's radius as their level;
//   - axes 7 and 8 grow above the record's knee (analogThreshold1).
// count is 56 + NumberOfButtons; analog the slot's logical axes after the
// stick conversion.
void ApplyAnalogPasses(const ProfileJoystick& buttons, int count,
                       const std::array<int32_t, kAxisCount>& analog, double accelerationSharpness,
                       AbstractEvent& output, VirtualValues& out);

}  // namespace brevanto
