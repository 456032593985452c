#include "core/processing/AnalogPasses.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "core/engine/ButtonAssignment.h"
#include "core/log/Logger.h"
#include "core/profile/ProfileJoystick.h"
#include "core/ports/AbstractEvent.h"

namespace brevanto {
namespace {

constexpr int kStickGroups = 3;  // stick 1, stick 2, axes 5/6
constexpr int kFirstSliderButton = AxisNegativeButton(7);
constexpr int kLastSliderButton = AxisPositiveButton(8);
constexpr int kFirstMovementButton = kFirstPovButton;

// Truncation toward zero that stays defined for values no int32 holds
// (a large analogFactor, a NaN from a damaged profile).
int32_t Truncate(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int32_t>(std::clamp(value, double{INT32_MIN}, double{INT32_MAX}));
}

int32_t& At(VirtualValues& out, int i) {
  return out[static_cast<std::size_t>(i)];
}

// The accelerationFactor of a held Mouse record that accelerates, else 0.
double HeldAcceleration(const ButtonAssignment& record, int32_t value) {
  if (value > 0 && record.kind == AssignmentKind::Mouse && record.accelerationFactor > 1.0f) {
    return record.accelerationFactor;
  }
  return 0.0;
}

// One stick direction pair's acceleration: the negative direction's record
// first, then the positive one's.
double PairAcceleration(const ProfileJoystick& buttons, const VirtualValues& out, int first) {
  const double a = HeldAcceleration(buttons.Button(first), out[static_cast<std::size_t>(first)]);
  if (a > 0.0) return a;
  return HeldAcceleration(buttons.Button(first + 1), out[static_cast<std::size_t>(first + 1)]);
}

void Accelerate(const ProfileJoystick& buttons, int first, double sharpness, VirtualValues& out) {
  double aX = PairAcceleration(buttons, out, first);
  double aY = PairAcceleration(buttons, out, first + 2);
  if (!(aX > 1.0) && !(aY > 1.0)) return;
  // A direction pair without acceleration moves at its plain speed. Counting
  // it as a factor of 0 would give ln(0) below: a stick pushed straight along
  // that pair would stop or produce an undefined value.
  if (!(aX > 1.0)) aX = 1.0;
  if (!(aY > 1.0)) aY = 1.0;

  const double x = 0.001 * (At(out, first) + At(out, first + 1));
  const double y = 0.001 * (At(out, first + 2) + At(out, first + 3));
  double accel = aY;
  if (x > 0.0) {
    const double t = std::atan(y / x) / (std::numbers::pi / 2.0);
    accel = aY * t + aX * (1.0 - t);
  }
  const double r = std::min(std::sqrt(x * x + y * y), 1.0);
  const double e = std::log(accel) / std::log(sharpness);
  const double factor = 1.0 + (accel - 1.0) * std::pow(r, e);
  for (int i = first; i < first + 4; ++i) At(out, i) = Truncate(factor * At(out, i));
}

bool IsAnalogSwitch(const ButtonAssignment& record) {
  return record.kind == AssignmentKind::MultiInput && record.multiMode == MultiMode::AnalogSwitch;
}

// Replaces the larger of a direction pair by level; an equal pair keeps both.
void ReplaceLarger(VirtualValues& out, int first, int32_t level) {
  int32_t& negative = At(out, first);
  int32_t& positive = At(out, first + 1);
  if (negative > positive) {
    negative = level;
  } else if (positive > negative) {
    positive = level;
  }
}

void AnalogSwitchLevel(const ProfileJoystick& buttons, int first, VirtualValues& out) {
  const double x = 0.001 * (At(out, first) + At(out, first + 1));
  const double y = 0.001 * (At(out, first + 2) + At(out, first + 3));
  const int32_t r = std::min(Truncate(std::sqrt(x * x + y * y) * 1000.0), kFullValue);
  const ButtonAssignment& deciding = buttons.Button(x > y ? first : first + 2);
  const int32_t t1 = deciding.analogThreshold1 * 10;
  const int32_t t2 = deciding.analogThreshold2 * 10;
  LOG_DEBUG("AnalogSwitch: Axis[%d] = %d, Axis[%d] = %d", first, At(out, first), first + 1,
            At(out, first + 1));
  LOG_DEBUG("AnalogSwitch: Axis[%d] = %d, Axis[%d] = %d", first + 2, At(out, first + 2), first + 3,
            At(out, first + 3));
  LOG_DEBUG("AnalogSwitch: r=%d, t1=%d, t2=%d", r, t1, t2);
  // The odd levels lie just above a threshold, t1 - 1 just below the first;
  // the engine picks the input from them.
  int32_t level = t1 - 1;
  if (r > t2) {
    level = t2 | 1;
  } else if (r > t1) {
    level = t1 | 1;
  }
  ReplaceLarger(out, first, level);
  ReplaceLarger(out, first + 2, level);
}

}  // namespace

void ApplyAnalogPasses(const ProfileJoystick& buttons, int count,
                       const std::array<int32_t, kAxisCount>& analog, double accelerationSharpness,
                       AbstractEvent& output, VirtualValues& out) {
  count = std::clamp(count, 0, kVirtualButtonCount);

  // Speed factor of held Mouse records and the point of a held MouseAbsolute.
  double speed = 1.0;
  double x = 50.0;
  double y = 50.0;
  bool moved = false;
  for (int i = 0; i < count; ++i) {
    if (At(out, i) <= 0) continue;
    const ButtonAssignment& record = buttons.Button(i);
    if (record.kind == AssignmentKind::MouseAbsolute) {
      x = record.absCenterX;
      y = record.absCenterY;
      moved = true;
    } else if (record.kind == AssignmentKind::Mouse && record.analogFactor != 100) {
      speed *= record.analogFactor / 100.0;
    }
  }

  // An axis whose negative direction holds a MouseAbsolute record with a
  // range moves the cursor around the record's centre; it keeps doing so for
  // the cycle in which the axis returns to rest.
  bool centred = false;
  for (int axis = 0; axis < kAxisCount; ++axis) {
    const ButtonAssignment& record = buttons.Button(AxisNegativeButton(axis + 1));
    if (record.kind != AssignmentKind::MouseAbsolute) continue;
    if (record.absRangeX == 0 && record.absRangeY == 0) continue;
    const int32_t value = analog[static_cast<std::size_t>(axis)];
    if (value == 0 && !record.prevPressed) continue;
    if (!centred) {
      x = record.absCenterX;
      y = record.absCenterY;
      centred = true;
    }
    if (record.absRangeX != 0) x = speed * record.absRangeX * value / -1000.0 + record.absCenterX;
    if (record.absRangeY != 0) y = speed * record.absRangeY * value / -1000.0 + record.absCenterY;
    moved = true;
  }
  if (moved) {
    // Percent of the desktop to normalised coordinates (100 % = 65536).
    const int32_t ax = Truncate(x * 32768.0 / 50.0);
    const int32_t ay = Truncate(y * 32768.0 / 50.0);
    LOG_DEBUG("MouseAbsMove to (%d, %d) absx=%f, absy=%f", ax, ay, x, y);
    output.MoveAbsolute(ax, ay);
  }

  for (int group = 0; group < kStickGroups; ++group) {
    const int first = 4 * group;
    if (At(out, first) <= 0 && At(out, first + 1) <= 0 && At(out, first + 2) <= 0 &&
        At(out, first + 3) <= 0) {
      continue;
    }
    Accelerate(buttons, first, accelerationSharpness, out);
    for (int i = first; i < first + 4; ++i) At(out, i) = Truncate(speed * At(out, i));
    if (IsAnalogSwitch(buttons.Button(first)) || IsAnalogSwitch(buttons.Button(first + 2))) {
      AnalogSwitchLevel(buttons, first, out);
    }
  }

  // Axes 7 and 8 (sliders, pedals): above the knee the value grows up to the
  // record's accelerationFactor at full travel, below it the value shrinks.
  for (int i = kFirstSliderButton; i <= kLastSliderButton && i < count; ++i) {
    const ButtonAssignment& record = buttons.Button(i);
    if (At(out, i) > 0 && record.accelerationFactor > 1.0f) {
      const double a = record.accelerationFactor;
      const double knee = record.analogThreshold1 * 0.01;
      const double factor =
          knee < 1.0 ? (0.001 * At(out, i) - knee) * ((a - 1.0) / (1.0 - knee)) + 1.0 : a;
      At(out, i) = Truncate(factor * At(out, i));
    }
    At(out, i) = Truncate(speed * At(out, i));
  }

  // At the plain speed every value stays as it is; then the records need not
  // be looked at.
  if (speed == 1.0) return;
  for (int i = kFirstMovementButton; i < count; ++i) {
    if (At(out, i) == 0) continue;
    const ButtonAssignment& record = buttons.Button(i);
    if (record.kind == AssignmentKind::Mouse && (record.HMove != 0 || record.VMove != 0)) {
      At(out, i) = Truncate(speed * At(out, i));
    }
  }
}

}  // namespace brevanto
