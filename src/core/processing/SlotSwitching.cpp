#include "core/processing/SlotSwitching.h"

#include <algorithm>

#include "core/engine/ButtonEngine.h"
#include "core/log/Logger.h"
#include "core/processing/TimeBase.h"
#include "core/profile/ConfigFile.h"
#include "core/profile/ProfileJoystick.h"

namespace brevanto {
namespace {

constexpr int32_t kUntilReleased = -1;

int32_t Value(const VirtualValues& out, int i) {
  return out[static_cast<std::size_t>(i)];
}

int Clamped(int count) {
  return std::clamp(count, 0, kVirtualButtonCount);
}

// Ticks since the press; the counter may have wrapped around in between.
int32_t TicksSince(int32_t tick, int32_t since) {
  return static_cast<int32_t>(static_cast<uint32_t>(tick) - static_cast<uint32_t>(since));
}

}  // namespace

int32_t IgnoreCycles(int32_t milliseconds, int turboMode) {
  if (milliseconds < 0) return kUntilReleased;
  return CyclesFromMilliseconds(milliseconds, turboMode);
}

void ApplyProfileChangeIgnore(ProfileJoystick& buttons, const VirtualValues& out, int count,
                              int32_t ignoreMs, int turboMode) {
  if (ignoreMs == 0) {
    LOG_DEBUG("Profile is changed - already pressed buttons are immediately effective");
    return;
  }
  if (ignoreMs > 0) {
    LOG_DEBUG("Profile is changed - already pressed buttons are ignored for the specified time");
  } else {
    LOG_DEBUG(
        "Profile is changed - already pressed buttons are ignored until they're released once");
  }
  const int32_t cycles = IgnoreCycles(ignoreMs, turboMode);
  count = Clamped(count);
  for (int i = 0; i < count; ++i) {
    ButtonAssignment& record = buttons.Button(i);
    record.ignoreCounter = 0;
    if (cycles != 0 && Value(out, i) > 0) {
      LOG_DEBUG("Button[%d]: Input will be ignored for %d", i, cycles);
      record.ignoreCounter = cycles;
    }
  }
}

ProfileJoystick& ScanJoystickSwitch(ConfigFile& profile, ProfileJoystick& own,
                                    const VirtualValues& out, int count, const SlotState& slot,
                                    int32_t tick, int turboMode, std::span<bool> processed) {
  ProfileJoystick* buttons = &own;
  count = Clamped(count);
  for (int i = 0; i < count; ++i) {
    const ButtonAssignment& record = buttons->Button(i);
    if (record.kind != AssignmentKind::JoystickSwitch || Value(out, i) <= 0 ||
        record.ignoreCounter != 0) {
      continue;
    }
    const int32_t held = MillisecondsFromCycles(
        TicksSince(tick, slot.pressedSince[static_cast<std::size_t>(i)]), turboMode);
    if (held < record.switchDelay) continue;

    const int32_t target = record.targetJoystick;
    if (target < 0 || target >= profile.NumberOfJoysticks() ||
        static_cast<std::size_t>(target) >= processed.size() ||
        processed[static_cast<std::size_t>(target)]) {
      break;
    }
    ProfileJoystick* next = profile.Joystick(target);
    if (!next) break;
    processed[static_cast<std::size_t>(target)] = true;
    buttons = next;
    i = -1;  // the new records may switch on again
  }
  return *buttons;
}

void HandOverButtons(ProfileJoystick& from, ProfileJoystick& to, const VirtualValues& out,
                     int count, int32_t ignoreCycles, const EngineContext& context) {
  count = Clamped(count);
  for (int i = 0; i < count; ++i) {
    ButtonAssignment& previous = from.Button(i);
    ButtonAssignment& next = to.Button(i);
    const bool held = Value(out, i) > 0;
    if (ButtonAssignment::SameEffect(previous, next)) {
      if (held) LOG_DEBUG("Button[%d]: The same effect => Hand over input", i);
      ButtonAssignment::HandOver(previous, next);
      next.ignoreCounter = 0;
      continue;
    }
    ForceRelease(previous, context);
    next.ignoreCounter = 0;
    if (held) {
      LOG_DEBUG("Button[%d]: Different effect => Released input effect", i);
      if (ignoreCycles != 0) {
        LOG_DEBUG("Button[%d]: Input will be ignored for %d", i, ignoreCycles);
        next.ignoreCounter = ignoreCycles;
      }
    }
  }
}

void ApplyIgnore(ProfileJoystick& buttons, VirtualValues& out, int count) {
  count = Clamped(count);
  for (int i = 0; i < count; ++i) {
    ButtonAssignment& record = buttons.Button(i);
    if (record.ignoreCounter == 0) continue;
    int32_t& value = out[static_cast<std::size_t>(i)];
    if (value > 0) {
      value = 0;
      if (record.ignoreCounter > 0) --record.ignoreCounter;
    } else {
      LOG_DEBUG("Button[%d]: Button is released so input will take effect from now on", i);
      record.ignoreCounter = 0;
    }
  }
}

}  // namespace brevanto
