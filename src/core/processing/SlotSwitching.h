#pragma once

#include <cstdint>
#include <span>

#include "core/input/AliasEvaluation.h"
#include "core/input/SlotState.h"

namespace brevanto {

class ConfigFile;
class ProfileJoystick;
struct EngineContext;

// Which assignments drive a joystick slot in one cycle, and which held
// inputs they may not see yet. A profile switch or a joystick switch replaces
// the records while the user may still hold buttons: running effects move to
// the new records where they do the same, are released where they differ, and
// held inputs can be ignored for a while so that the button that caused the
// switch does not immediately trigger its new assignment.

// An ignore setting in cycles: 0 ignores nothing, -1 ignores until the input
// is released once, any other value counts the cycles the milliseconds last.
int32_t IgnoreCycles(int32_t milliseconds, int turboMode);

// The current profile differs from the last cycle's: under the setting
// IgnoreInputAfterProfileSwitch (ignoreMs), the held inputs of buttons are
// ignored for a time or until released. 0 leaves every counter as it is.
void ApplyProfileChangeIgnore(ProfileJoystick& buttons, const VirtualValues& out, int count,
                              int32_t ignoreMs, int turboMode);

// Follows the held JoystickSwitch records that have been held long enough,
// starting with own, and returns the container that interprets the slot's
// input. Every container entered is marked in processed, so each joystick is
// entered once per cycle and a switch to a joystick already processed ends
// the chain.
ProfileJoystick& ScanJoystickSwitch(ConfigFile& profile, ProfileJoystick& own,
                                    const VirtualValues& out, int count, const SlotState& slot,
                                    int32_t tick, int turboMode, std::span<bool> processed);

// The slot moves from the records of from to those of to: a record of to
// whose effect equals its counterpart's takes over the running state (a held
// key stays down); any other counterpart is released, and a held input of it
// is ignored for ignoreCycles (IgnoreCycles of IgnoreInputAfterShiftSwitch).
void HandOverButtons(ProfileJoystick& from, ProfileJoystick& to, const VirtualValues& out,
                     int count, int32_t ignoreCycles, const EngineContext& context);

// Zeroes the inputs still ignored and counts their time down while they are
// held; a released input ends its ignore period.
void ApplyIgnore(ProfileJoystick& buttons, VirtualValues& out, int count);

}  // namespace brevanto
