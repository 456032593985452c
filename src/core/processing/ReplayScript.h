#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/input/VirtualButton.h"

namespace brevanto {

// A controller recording for `brevantoctl replay`: which joystick slots hold
// which kind of device, the value each control takes from which tick on, and
// the tick to stop at.
//
//   # comment                     blank lines are ignored
//   device <slot> dinput|xinput   slot 1..50; undeclared slots are dinput
//   <tick> <slot> <control> <value>
//   end <tick>
enum class ReplayDeviceKind : uint8_t { DirectInput, XInput };

enum class ReplayControlKind : uint8_t {
  Axis,       // dinput x y z rx ry rz s0 s1 (index 0..7), -1000..1000
  Pov,        // dinput pov1..pov4 (index 0..3), hundredths of a degree, -1 centred
  Button,     // dinput b1..b128 (index 0..127), 0/1
  Thumb,      // xinput lx ly rx ry (index 0..3), -32768..32767
  Trigger,    // xinput lt rt (index 0..1), 0..255
  PadButton,  // xinput a b x y lb rb back start ls rs guide up down left right
              // (index = the pad's button bit), 0/1
};

struct ReplayControl {
  ReplayControlKind kind = ReplayControlKind::Axis;
  uint16_t index = 0;
  friend bool operator==(const ReplayControl&, const ReplayControl&) = default;
};

struct ReplayEvent {
  int32_t tick = 0;  // the control has the value from this cycle on
  int slot = 0;      // 0..49
  ReplayControl control;
  int32_t value = 0;
  int line = 0;
};

struct ReplayScript {
  std::array<bool, kMaxJoysticks> used{};  // named by a device line or an event
  std::array<ReplayDeviceKind, kMaxJoysticks> kinds{};
  std::vector<ReplayEvent> events;  // by tick, in file order within a tick
  int32_t endTick = 0;
};

struct ReplayParseResult {
  std::optional<ReplayScript> script;
  std::string error;  // "line N: ..." when script is empty
};

// Parses a whole script (UTF-8). The first malformed line ends parsing with
// an error naming it; nothing of a bad script is used.
ReplayParseResult ParseReplayScript(std::string_view text);

}  // namespace brevanto
