#include "core/input/XInputConversion.h"

#include <array>

#include "core/input/StickConversion.h"

namespace brevanto {
namespace {

struct ButtonBit {
  uint16_t mask;
  int button;  // plain button 1..128
};

constexpr std::array<ButtonBit, 11> kButtons{{
    {xinput::kA, 1},
    {xinput::kB, 2},
    {xinput::kX, 3},
    {xinput::kY, 4},
    {xinput::kLeftShoulder, 5},
    {xinput::kRightShoulder, 6},
    {xinput::kBack, 7},
    {xinput::kStart, 8},
    {xinput::kLeftThumb, 9},
    {xinput::kRightThumb, 10},
    {xinput::kGuide, 13},
}};

// A trigger counts as a button beyond this value and as an axis beyond the
// second one, where the axis scale starts at 5 and reaches 1000 at 255.
constexpr int kTriggerButtonLevel = 30;
constexpr int kTriggerAxisLevel = 55;

int32_t TriggerAxisValue(uint8_t trigger) {
  return trigger * 5 - 275;
}

int32_t ThumbValue(int16_t thumb) {
  return 1000 * static_cast<int32_t>(thumb) / 32767;
}

void Set(std::array<int32_t, kVirtualButtonCount>& values, int index) {
  values[static_cast<std::size_t>(index)] = kFullValue;
}

void ConvertDpad(uint16_t buttons, bool eightWay,
                 std::array<int32_t, kVirtualButtonCount>& values) {
  const bool up = buttons & xinput::kDpadUp;
  const bool down = buttons & xinput::kDpadDown;
  const bool left = buttons & xinput::kDpadLeft;
  const bool right = buttons & xinput::kDpadRight;
  if (!eightWay) {
    if (up) Set(values, PovButton(1, 0));
    if (right) Set(values, PovButton(1, 2));
    if (down) Set(values, PovButton(1, 4));
    if (left) Set(values, PovButton(1, 6));
    return;
  }
  // Exactly one direction; up wins over down and right over left when a
  // worn pad reports opposite directions together.
  if (up) {
    Set(values, PovButton(1, right ? 1 : left ? 7 : 0));
  } else if (right) {
    Set(values, PovButton(1, down ? 3 : 2));
  } else if (down) {
    Set(values, PovButton(1, left ? 5 : 4));
  } else if (left) {
    Set(values, PovButton(1, 6));
  }
}

}  // namespace

void ConvertXInputState(const XInputGamepadState& pad, const ReadOptions& options,
                        int analogDeadZone, std::span<int32_t> lastAnalog, DeviceInput& input,
                        bool& displayChanged) {
  input.Clear();
  auto& values = input.values;

  for (const ButtonBit& bit : kButtons) {
    if (pad.buttons & bit.mask) Set(values, PlainButton(bit.button));
  }
  if (pad.leftTrigger > kTriggerButtonLevel) Set(values, PlainButton(11));
  if (pad.rightTrigger > kTriggerButtonLevel) Set(values, PlainButton(12));
  // Both triggers share axis 5: the right one pulls it negative.
  if (pad.rightTrigger > kTriggerAxisLevel) {
    values[AxisNegativeButton(5)] = TriggerAxisValue(pad.rightTrigger);
  }
  if (pad.leftTrigger > kTriggerAxisLevel) {
    values[AxisPositiveButton(5)] = TriggerAxisValue(pad.leftTrigger);
  }

  auto& analog = input.analog;
  analog[0] = ThumbValue(pad.thumbLX);
  analog[1] = -ThumbValue(pad.thumbLY);
  analog[2] = ThumbValue(pad.thumbRX);
  analog[3] = -ThumbValue(pad.thumbRY);

  const int deadZone = analogDeadZone / 10;
  ConvertStick(0, analog[0], analog[1], deadZone,
               StickOptions{options.threshold, options.useDiagonalInput}, values);
  ConvertStick(1, analog[2], analog[3], deadZone,
               StickOptions{options.threshold2, options.useDiagonalInput2}, values);

  static constexpr std::array<int, 4> kStickAxes{0, 1, 2, 3};
  UpdateAnalogDisplay(analog, kStickAxes, lastAnalog, displayChanged);

  ConvertDpad(pad.buttons, options.usePov8Way, values);
}

}  // namespace brevanto
