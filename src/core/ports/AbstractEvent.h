#pragma once

#include <cstdint>

namespace brevanto {

// Port: the output method that turns the engine's key and mouse requests into
// system input. The engine calls only the current method (see
// core/engine/OutputSelection.h), never the system directly. The six key and
// mouse operations keep their historical order; the Pause sequence comes last.
class AbstractEvent {
 public:
  // Bits of the KeyEvent flags.
  static constexpr int32_t kExtendedKey = 0x1;
  static constexpr int32_t kKeyUp = 0x2;
  // One wheel notch.
  static constexpr int32_t kWheelDelta = 120;

  virtual ~AbstractEvent() = default;

  // One key down or up. scanCode is the low byte of a set-1 scan code; the E0
  // prefix travels as kExtendedKey in flags.
  virtual void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) = 0;
  // Cursor to a point given in normalised desktop coordinates 0..65535.
  virtual void MoveAbsolute(int32_t x, int32_t y) = 0;
  virtual void MoveRelative(int32_t dx, int32_t dy) = 0;
  // Vertical wheel; positive turns away from the user. Multiples of kWheelDelta.
  virtual void Wheel(int32_t delta) = 0;
  // Horizontal wheel; positive tilts right.
  virtual void HWheel(int32_t delta) = 0;
  // All selected buttons go down (press) or up (release, when not press) at
  // once; the button arguments are booleans. Neither flag: nothing happens.
  virtual void MouseButtons(bool press, bool release, int32_t left, int32_t middle, int32_t right,
                            int32_t x1, int32_t x2) = 0;
  // The Pause key pressed and released as the keyboard itself sends it (the
  // E1-prefixed sequence), whatever the method sends for ordinary keys.
  virtual void SendPauseSequence() = 0;
};

}  // namespace brevanto
