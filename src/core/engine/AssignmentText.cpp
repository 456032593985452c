#include "core/engine/AssignmentText.h"

#include <charconv>
#include <cstdint>

#include "core/device/DeviceConfig.h"
#include "core/device/DeviceTemplate.h"
#include "core/engine/KeyNames.h"
#include "core/input/VirtualButton.h"
#include "core/profile/ProfileJoystick.h"
#include "core/text/NumberText.h"

namespace brevanto {
namespace {

std::string ShortestFloat(float value) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string Arrows(int32_t vertical, int32_t horizontal) {
  std::string text;
  if (vertical > 0) text += "↓(" + std::to_string(vertical) + ") ";
  if (vertical < 0) text += "↑(" + std::to_string(-static_cast<int64_t>(vertical)) + ") ";
  if (horizontal > 0) text += "→(" + std::to_string(horizontal) + ") ";
  if (horizontal < 0) text += "←(" + std::to_string(-static_cast<int64_t>(horizontal)) + ") ";
  return text;
}

std::string ClickWords(const ButtonAssignment& r) {
  std::string text;
  if (r.clickLeft) text += "左Click ";
  if (r.clickMiddle) text += "中Click ";
  if (r.clickRight) text += "右Click ";
  if (r.clickX1) text += "Click4 ";
  if (r.clickX2) text += "Click5 ";
  return text;
}

std::string MouseText(const ButtonAssignment& r) {
  std::string text = "Mouse: " + Arrows(r.VMove, r.HMove);
  if (r.accelerationFactor > 1.0f) {
    // A factor past the integer range (a hand-edited profile) shows the
    // largest integer: converting it as it stands is undefined.
    constexpr float kLargest = 2147483648.0f;  // 2^31, the first float past INT32_MAX
    const int32_t factor =
        r.accelerationFactor >= kLargest ? INT32_MAX : static_cast<int32_t>(r.accelerationFactor);
    text += "x" + std::to_string(factor);
  }
  text += ClickWords(r);
  if (r.wheelV != 0) text += "Wheel(" + std::to_string(-static_cast<int64_t>(r.wheelV)) + ") ";
  if (r.wheelH != 0) text += "HWheel(" + std::to_string(r.wheelH) + ") ";
  if (r.analogFactor != 100) text += "速度調整(" + std::to_string(r.analogFactor) + "%)";
  return text;
}

std::string MultiInputText(const ButtonAssignment& r) {
  const std::string k1 = KeysText(r.keys[0]);
  const std::string k2 = KeysText(r.keys[1]);
  const std::string k3 = KeysText(r.keys[2]);
  const std::string k4 = KeysText(r.keys[3]);
  switch (r.multiMode) {
    case MultiMode::MultiSwitch2:
      return k1 + " / " + k2;
    case MultiMode::MultiSwitch3:
      return k1 + " / " + k2 + " / " + k3;
    case MultiMode::MultiSwitch4:
      return k1 + " / " + k2 + " / " + k3 + " / " + k4;
    case MultiMode::DelayedSwitch:
      return "短押し=" + k1 + ", 長押し=" + k2 + ", 離す=" + k3;
    case MultiMode::AnalogSwitch:
      return k1 + " >> " + k2 + " >> " + k3;
    case MultiMode::ReleaseSwitch:
      return "離される=" + k1 + ", 押される=" + k2;
    case MultiMode::RepeatSwitch:
      return k1 + " | " + k2 + " | " + k3 + " | " + k4;
    case MultiMode::MultiSequence:
      return k1 + " -> " + k2 + " -> " + k3 + " -> " + k4;
  }
  return "None";
}

}  // namespace

std::string ButtonCaption(int buttonIndex, const TDeviceTemplate* deviceTemplate) {
  if (buttonIndex < kFirstPlainButton) return ButtonName(buttonIndex);
  const std::string number = "[" + std::to_string(buttonIndex - 55) + "] ";
  if (deviceTemplate) {
    if (auto label = deviceTemplate->LabelOf(buttonIndex)) return number + *label;
  }
  return number + "Button";
}

const TDeviceTemplate* SlotTemplate(const TDeviceConfig* attachedDevice,
                                    const ProfileJoystick& slot) {
  if (attachedDevice && attachedDevice->resolvedTemplate) return attachedDevice->resolvedTemplate;
  return slot.resolvedTemplate;
}

std::string RowCaption(const ButtonAssignment& record, const TDeviceConfig* attachedDevice,
                       const ProfileJoystick& slot) {
  return ButtonCaption(record, SlotTemplate(attachedDevice, slot));
}

std::string KeysText(const KeyCodes& codes) {
  if (codes[0] == 0) return "None";
  std::string text = KeyName(codes[0]);
  for (std::size_t i = 1; i < codes.size() && codes[i] != 0; ++i) text += ", " + KeyName(codes[i]);
  return text;
}

std::string AssignmentText(const ButtonAssignment& r) {
  switch (r.kind) {
    case AssignmentKind::Keys:
      return KeysText(r.keys[0]);
    case AssignmentKind::Mouse:
      return MouseText(r);
    case AssignmentKind::JoystickSwitch:
      return "Joystick #" + std::to_string(static_cast<int64_t>(r.targetJoystick) + 1) +
             " の設定を使用";
    case AssignmentKind::ProfileSwitch:
      return "設定ファイル \"" + r.targetName + "\" へ切り替える";
    case AssignmentKind::MultiInput:
      return MultiInputText(r);
    case AssignmentKind::MouseAbsolute:
      return ClickWords(r) + Arrows(r.absRangeY, r.absRangeX) + "@ (" +
             ShortestFloat(r.absCenterX) + "," + ShortestFloat(r.absCenterY) + ")";
    case AssignmentKind::LaunchProgram:
      return "実行=" + r.targetName;
    case AssignmentKind::PasteText:
      return r.pasteText;
    default:
      return "None";
  }
}

std::string RepeatText(const ButtonAssignment& r) {
  if (r.repeatRate == 0.0f) return "---";
  if (r.repeatRate > 0.0f) return "1/" + FloatText(r.repeatRate);
  return FloatText(-r.repeatRate) + "秒";
}

}  // namespace brevanto
