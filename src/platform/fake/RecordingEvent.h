#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/ports/AbstractEvent.h"

namespace brevanto {

// One call made on an output method, with its arguments in call order.
struct OutputCall {
  enum class Op { Key, MoveAbsolute, MoveRelative, Wheel, HWheel, MouseButtons, PauseSequence };

  Op op = Op::Key;
  // Key: virtual key, scan, flags. Moves: x, y. Wheels: delta.
  // MouseButtons: press, release, left, middle, right, X1, X2.
  std::array<int32_t, 7> args{};

  // Compact text for test expectations:
  //   "key 41 1E 0"  virtual key and scan in hex, flags in hex
  //   "abs 32768 0", "move -2 0", "wheel 120", "hwheel -120"
  //   "buttons 1 0 1 0 0 0 1"  press release left middle right X1 X2
  //   "pause"
  std::string Text() const;

  bool operator==(const OutputCall&) const = default;
};

// An output method that performs nothing and records every call.
class RecordingEvent : public AbstractEvent {
 public:
  void KeyEvent(uint8_t virtualKey, uint8_t scanCode, int32_t flags) override;
  void MoveAbsolute(int32_t x, int32_t y) override;
  void MoveRelative(int32_t dx, int32_t dy) override;
  void Wheel(int32_t delta) override;
  void HWheel(int32_t delta) override;
  void MouseButtons(bool press, bool release, int32_t left, int32_t middle, int32_t right,
                    int32_t x1, int32_t x2) override;
  void SendPauseSequence() override;

  const std::vector<OutputCall>& Calls() const { return calls_; }
  // The calls as Text() lines.
  std::vector<std::string> Texts() const;
  void Clear() { calls_.clear(); }

 private:
  void Record(OutputCall::Op op, std::array<int32_t, 7> args);

  std::vector<OutputCall> calls_;
};

}  // namespace brevanto
