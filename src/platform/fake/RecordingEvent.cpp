#include "platform/fake/RecordingEvent.h"

#include <cstdio>

namespace brevanto {

std::string OutputCall::Text() const {
  char text[96];
  const auto& a = args;
  switch (op) {
    case Op::Key:
      std::snprintf(text, sizeof text, "key %02X %02X %X", static_cast<unsigned>(a[0]),
                    static_cast<unsigned>(a[1]), static_cast<unsigned>(a[2]));
      break;
    case Op::MoveAbsolute:
      std::snprintf(text, sizeof text, "abs %d %d", a[0], a[1]);
      break;
    case Op::MoveRelative:
      std::snprintf(text, sizeof text, "move %d %d", a[0], a[1]);
      break;
    case Op::Wheel:
      std::snprintf(text, sizeof text, "wheel %d", a[0]);
      break;
    case Op::HWheel:
      std::snprintf(text, sizeof text, "hwheel %d", a[0]);
      break;
    case Op::MouseButtons:
      std::snprintf(text, sizeof text, "buttons %d %d %d %d %d %d %d", a[0], a[1], a[2], a[3], a[4],
                    a[5], a[6]);
      break;
    case Op::PauseSequence:
      return "pause";
  }
  return text;
}

void RecordingEvent::Record(OutputCall::Op op, std::array<int32_t, 7> args) {
  calls_.push_back(OutputCall{op, args});
}

void RecordingEvent::KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) {
  Record(OutputCall::Op::Key, {virtualKey, scanCode, flags});
}

void RecordingEvent::MoveAbsolute(int32_t x, int32_t y) {
  Record(OutputCall::Op::MoveAbsolute, {x, y});
}

void RecordingEvent::MoveRelative(int32_t dx, int32_t dy) {
  Record(OutputCall::Op::MoveRelative, {dx, dy});
}

void RecordingEvent::Wheel(int32_t delta) {
  Record(OutputCall::Op::Wheel, {delta});
}

void RecordingEvent::HWheel(int32_t delta) {
  Record(OutputCall::Op::HWheel, {delta});
}

void RecordingEvent::MouseButtons(bool press, bool release, int32_t left, int32_t middle,
                                  int32_t right, int32_t x1, int32_t x2) {
  Record(OutputCall::Op::MouseButtons, {press, release, left, middle, right, x1, x2});
}

void RecordingEvent::SendPauseSequence() {
  Record(OutputCall::Op::PauseSequence, {});
}

std::vector<std::string> RecordingEvent::Texts() const {
  std::vector<std::string> texts;
  texts.reserve(calls_.size());
  for (const OutputCall& call : calls_) texts.push_back(call.Text());
  return texts;
}

}  // namespace brevanto
