#pragma once

#include <cstdint>

namespace brevanto {

// Mouse buttons as a bit set.
enum MouseButton : uint8_t {
  kMouseLeft = 0x01,
  kMouseMiddle = 0x02,
  kMouseRight = 0x04,
  kMouseX1 = 0x08,
  kMouseX2 = 0x10,
};

// What one MouseButtons request does: the selected buttons all go down or all
// go up together. No buttons means nothing is sent.
struct MouseButtonChange {
  bool down = false;
  uint8_t buttons = 0;

  bool operator==(const MouseButtonChange&) const = default;
};

// Press wins over release; with neither, or with no button selected, the
// change is empty.
constexpr MouseButtonChange ResolveMouseButtons(bool press, bool release, int32_t left,
                                                int32_t middle, int32_t right, int32_t x1,
                                                int32_t x2) {
  if (!press && !release) return {};
  uint8_t buttons = 0;
  if (left) buttons |= kMouseLeft;
  if (middle) buttons |= kMouseMiddle;
  if (right) buttons |= kMouseRight;
  if (x1) buttons |= kMouseX1;
  if (x2) buttons |= kMouseX2;
  if (buttons == 0) return {};
  return {press, buttons};
}

}  // namespace brevanto
