#include "platform/linux/output/InputEventWriter.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "core/engine/MouseButtons.h"

namespace brevanto {
namespace {

struct ButtonCode {
  uint8_t bit;
  uint16_t code;
};

constexpr ButtonCode kButtonCodes[] = {
    {kMouseLeft, BTN_LEFT}, {kMouseMiddle, BTN_MIDDLE}, {kMouseRight, BTN_RIGHT},
    {kMouseX1, BTN_SIDE},   {kMouseX2, BTN_EXTRA},
};

}  // namespace

void InputEventWriter::Add(uint16_t type, uint16_t code, int32_t value) {
  input_event& event = pending_[count_++];
  event = input_event{};
  event.type = type;
  event.code = code;
  event.value = value;
}

bool InputEventWriter::Send() {
  Add(EV_SYN, SYN_REPORT, 0);
  const auto* data = reinterpret_cast<const char*>(pending_.data());
  std::size_t left = count_ * sizeof(input_event);
  count_ = 0;
  while (left > 0) {
    const ssize_t n = ::write(fd_, data, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}

bool InputEventWriter::Key(uint16_t code, bool down) {
  Add(EV_KEY, code, down ? 1 : 0);
  return Send();
}

bool InputEventWriter::MouseButtons(uint8_t buttons, bool down) {
  for (const ButtonCode& b : kButtonCodes) {
    if (buttons & b.bit) Add(EV_KEY, b.code, down ? 1 : 0);
  }
  if (count_ == 0) return true;
  return Send();
}

bool InputEventWriter::RelativeMotion(int32_t dx, int32_t dy) {
  if (dx != 0) Add(EV_REL, REL_X, dx);
  if (dy != 0) Add(EV_REL, REL_Y, dy);
  if (count_ == 0) return true;
  return Send();
}

bool InputEventWriter::AbsoluteMotion(int32_t x, int32_t y) {
  Add(EV_ABS, ABS_X, x);
  Add(EV_ABS, ABS_Y, y);
  return Send();
}

bool InputEventWriter::WheelNotches(uint16_t axis, int32_t notches) {
  const int32_t step = notches < 0 ? -1 : 1;
  for (int32_t i = 0; i < std::abs(notches); ++i) {
    Add(EV_REL, axis, step);
    if (!Send()) return false;
  }
  return true;
}

}  // namespace brevanto
