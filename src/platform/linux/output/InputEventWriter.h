#pragma once

#include <linux/input.h>

#include <array>
#include <cstddef>
#include <cstdint>

namespace brevanto {

// Encodes key and mouse reports as input_event records closed by SYN_REPORT
// and writes each report to a file descriptor with one write. Knows nothing
// about where the descriptor leads, so a pipe can stand in for the device.
class InputEventWriter {
 public:
  explicit InputEventWriter(int fd) : fd_(fd) {}

  bool Key(uint16_t code, bool down);
  // The buttons of a MouseButton bit set, all in one report.
  bool MouseButtons(uint8_t buttons, bool down);
  // Nothing is written for (0, 0).
  bool RelativeMotion(int32_t dx, int32_t dy);
  bool AbsoluteMotion(int32_t x, int32_t y);
  // One report per notch on REL_WHEEL or REL_HWHEEL; the sign is the direction.
  bool WheelNotches(uint16_t axis, int32_t notches);

 private:
  void Add(uint16_t type, uint16_t code, int32_t value);
  bool Send();

  int fd_;
  std::array<input_event, 8> pending_{};
  std::size_t count_ = 0;
};

}  // namespace brevanto
