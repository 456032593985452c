#pragma once

#include <cstdint>

#include "core/ports/AbstractEvent.h"

namespace brevanto {

// Counts the output calls without storing them, so a benchmark measures the
// code that makes them.
class CountingEvent final : public AbstractEvent {
 public:
  void KeyEvent(uint8_t, uint8_t, int32_t) override { ++calls; }
  void MoveAbsolute(int32_t, int32_t) override { ++calls; }
  void MoveRelative(int32_t, int32_t) override { ++calls; }
  void Wheel(int32_t) override { ++calls; }
  void HWheel(int32_t) override { ++calls; }
  void MouseButtons(bool, bool, int32_t, int32_t, int32_t, int32_t, int32_t) override { ++calls; }
  void SendPauseSequence() override { ++calls; }
  long calls = 0;
};

}  // namespace brevanto
