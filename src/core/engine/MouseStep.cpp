#include "core/engine/MouseStep.h"

#include <algorithm>
#include <cstdlib>

#include "core/engine/OutputSelection.h"
#include "core/log/Logger.h"
#include "core/ports/AbstractEvent.h"

namespace brevanto {
namespace {

constexpr int64_t kWheelNotchAt = 0x10000;

// The cycle's mouse scaling can push values far above 1000, and profiles are
// not range-checked; sums are formed wide and brought back saturated.
int32_t Saturate(int64_t value) {
  return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// Adds speed × value to a wheel accumulator; true when a notch is due.
bool WheelStep(int32_t& count, int32_t speed, int32_t value) {
  const int64_t sum = count + std::abs(static_cast<int64_t>(speed)) * value;
  if (sum > kWheelNotchAt) {
    count = static_cast<int32_t>(sum & 0xFFFF);
    return true;
  }
  count = Saturate(sum);
  return false;
}

}  // namespace

void MouseStep(ButtonAssignment& record, int32_t value, bool press, bool release) {
  if (press || release) record.keysHeld = press;

  const bool clicks = record.clickLeft || record.clickMiddle || record.clickRight ||
                      record.clickX1 || record.clickX2;
  // Mouse buttons of a record are not reference-counted; with neither edge the
  // output has nothing to do.
  if (clicks && (press || release)) {
    if (press) {
      LOG_DEBUG("%d#button[%d]: MouseEvent click pressed = %d,%d,%d,%d,%d", record.joystickIndex,
                record.buttonIndex, record.clickLeft, record.clickMiddle, record.clickRight,
                record.clickX1, record.clickX2);
    } else {
      LOG_DEBUG("%d#button[%d]: MouseEvent click released = %d,%d,%d,%d,%d", record.joystickIndex,
                record.buttonIndex, record.clickLeft, record.clickMiddle, record.clickRight,
                record.clickX1, record.clickX2);
    }
    CurrentOutput().MouseButtons(press, release, record.clickLeft, record.clickMiddle,
                                 record.clickRight, record.clickX1, record.clickX2);
  }

  if (value <= 0) {
    record.MouseHCount = 0;
    record.MouseVCount = 0;
    record.MouseWHCount = 0;
    return;
  }

  AbstractEvent& output = CurrentOutput();
  if (record.wheelV != 0) {
    const bool notch = WheelStep(record.MouseWVCount, record.wheelV, value);
    LOG_DEBUG("%d#button[%d]: MouseWVCount=%X", record.joystickIndex, record.buttonIndex,
              static_cast<unsigned>(record.MouseWVCount));
    if (notch) {
      output.Wheel(record.wheelV > 0 ? AbstractEvent::kWheelDelta : -AbstractEvent::kWheelDelta);
    }
  }
  if (record.wheelH != 0 && WheelStep(record.MouseWHCount, record.wheelH, value)) {
    output.HWheel(record.wheelH > 0 ? AbstractEvent::kWheelDelta : -AbstractEvent::kWheelDelta);
  }
  if (record.HMove != 0 || record.VMove != 0) {
    if (record.HMove != 0) {
      LOG_DEBUG("%d#button[%d]: MouseHCount=%d, HMove=%d, val=%d", record.joystickIndex,
                record.buttonIndex, record.MouseHCount, record.HMove, value);
    }
    if (record.VMove != 0) {
      LOG_DEBUG("%d#button[%d]: MouseVCount=%d, VMove=%d, val=%d", record.joystickIndex,
                record.buttonIndex, record.MouseVCount, record.VMove, value);
    }
    // 4096 units make a pixel; the remainder kept is 0..0xFFF whatever the
    // direction, so the arithmetic shift rounds both directions the same way.
    const int64_t x = static_cast<int64_t>(record.HMove) * value + record.MouseHCount;
    const int64_t y = static_cast<int64_t>(record.VMove) * value + record.MouseVCount;
    output.MoveRelative(Saturate(x >> 12), Saturate(y >> 12));
    record.MouseHCount = static_cast<int32_t>(x & 0xFFF);
    record.MouseVCount = static_cast<int32_t>(y & 0xFFF);
  }
}

}  // namespace brevanto
