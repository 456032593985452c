#include "platform/linux/sdl/SdlJoystickSource.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <utility>

#include "core/input/ControllerNames.h"
#include "core/input/DeviceInstanceGuid.h"
#include "core/input/JoystickAxis.h"
#include "core/log/Logger.h"
#include "platform/linux/sdl/DeviceLocation.h"
#include "platform/linux/sdl/SdlContext.h"

namespace brevanto {
namespace {

using Layout = SdlJoystickSource::Layout;

constexpr std::array<const char*, kAxisCount> kAxisNames{
    "X Axis", "Y Axis", "Z Axis", "X Rotation", "Y Rotation", "Z Rotation", "Slider", "Slider"};

// One presented button: an SDL button, or an analog trigger read as a button.
struct PresentedButton {
  SDL_GameControllerButton button;
  SDL_GameControllerAxis trigger;
};

constexpr SDL_GameControllerButton kNoButton = SDL_CONTROLLER_BUTTON_INVALID;
constexpr SDL_GameControllerAxis kNoTrigger = SDL_CONTROLLER_AXIS_INVALID;
// An axis position fed by both triggers at once: the left one pushes it
// towards the positive end, the right one towards the negative end, and it
// rests centred.
constexpr auto kBothTriggers = static_cast<SDL_GameControllerAxis>(SDL_CONTROLLER_AXIS_MAX);

constexpr PresentedButton Button(SDL_GameControllerButton button) {
  return {button, kNoTrigger};
}
constexpr PresentedButton Trigger(SDL_GameControllerAxis trigger) {
  return {kNoButton, trigger};
}

// Square, cross, circle, triangle, L1, R1, L2, R2, Share, Options, L3, R3,
// PS, touch pad (and Mute on the PS5), with buttons named by position.
constexpr PresentedButton kPlayStationButtons[] = {
    Button(SDL_CONTROLLER_BUTTON_X),
    Button(SDL_CONTROLLER_BUTTON_A),
    Button(SDL_CONTROLLER_BUTTON_B),
    Button(SDL_CONTROLLER_BUTTON_Y),
    Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER),
    Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER),
    Trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT),
    Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT),
    Button(SDL_CONTROLLER_BUTTON_BACK),
    Button(SDL_CONTROLLER_BUTTON_START),
    Button(SDL_CONTROLLER_BUTTON_LEFTSTICK),
    Button(SDL_CONTROLLER_BUTTON_RIGHTSTICK),
    Button(SDL_CONTROLLER_BUTTON_GUIDE),
    Button(SDL_CONTROLLER_BUTTON_TOUCHPAD),
    Button(SDL_CONTROLLER_BUTTON_MISC1),
};
constexpr int kPs4Buttons = 14;
constexpr int kPs5Buttons = 15;

// B, A, Y, X (south, east, west, north), L, R, ZL, ZR, -, +, the sticks,
// Home, Capture.
constexpr PresentedButton kSwitchProButtons[] = {
    Button(SDL_CONTROLLER_BUTTON_A),
    Button(SDL_CONTROLLER_BUTTON_B),
    Button(SDL_CONTROLLER_BUTTON_X),
    Button(SDL_CONTROLLER_BUTTON_Y),
    Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER),
    Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER),
    Trigger(SDL_CONTROLLER_AXIS_TRIGGERLEFT),
    Trigger(SDL_CONTROLLER_AXIS_TRIGGERRIGHT),
    Button(SDL_CONTROLLER_BUTTON_BACK),
    Button(SDL_CONTROLLER_BUTTON_START),
    Button(SDL_CONTROLLER_BUTTON_LEFTSTICK),
    Button(SDL_CONTROLLER_BUTTON_RIGHTSTICK),
    Button(SDL_CONTROLLER_BUTTON_GUIDE),
    Button(SDL_CONTROLLER_BUTTON_MISC1),
};

// A, B, X, Y, LB, RB, Back (View), Start (Menu), the sticks; the Xbox button
// is not offered there.
constexpr PresentedButton kXboxButtons[] = {
    Button(SDL_CONTROLLER_BUTTON_A),
    Button(SDL_CONTROLLER_BUTTON_B),
    Button(SDL_CONTROLLER_BUTTON_X),
    Button(SDL_CONTROLLER_BUTTON_Y),
    Button(SDL_CONTROLLER_BUTTON_LEFTSHOULDER),
    Button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER),
    Button(SDL_CONTROLLER_BUTTON_BACK),
    Button(SDL_CONTROLLER_BUTTON_START),
    Button(SDL_CONTROLLER_BUTTON_LEFTSTICK),
    Button(SDL_CONTROLLER_BUTTON_RIGHTSTICK),
};

// The axis each presented position takes, kNoTrigger for none. PlayStation
// pads have the right stick on Z/Rz and the analog triggers on Rx/Ry; the
// Switch Pro pad has its right stick on Rx/Ry and digital triggers.
constexpr std::array<SDL_GameControllerAxis, kAxisCount> kPlayStationAxes{
    SDL_CONTROLLER_AXIS_LEFTX,
    SDL_CONTROLLER_AXIS_LEFTY,
    SDL_CONTROLLER_AXIS_RIGHTX,
    SDL_CONTROLLER_AXIS_TRIGGERLEFT,
    SDL_CONTROLLER_AXIS_TRIGGERRIGHT,
    SDL_CONTROLLER_AXIS_RIGHTY,
    kNoTrigger,
    kNoTrigger};
constexpr std::array<SDL_GameControllerAxis, kAxisCount> kSwitchProAxes{SDL_CONTROLLER_AXIS_LEFTX,
                                                                        SDL_CONTROLLER_AXIS_LEFTY,
                                                                        kNoTrigger,
                                                                        SDL_CONTROLLER_AXIS_RIGHTX,
                                                                        SDL_CONTROLLER_AXIS_RIGHTY,
                                                                        kNoTrigger,
                                                                        kNoTrigger,
                                                                        kNoTrigger};

// Xbox-type pads have the left stick on X/Y, the right stick on Rx/Ry and
// both triggers on Z.
constexpr std::array<SDL_GameControllerAxis, kAxisCount> kXboxAxes{SDL_CONTROLLER_AXIS_LEFTX,
                                                                   SDL_CONTROLLER_AXIS_LEFTY,
                                                                   kBothTriggers,
                                                                   SDL_CONTROLLER_AXIS_RIGHTX,
                                                                   SDL_CONTROLLER_AXIS_RIGHTY,
                                                                   kNoTrigger,
                                                                   kNoTrigger,
                                                                   kNoTrigger};

std::span<const PresentedButton> ButtonsOf(Layout layout) {
  switch (layout) {
    case Layout::Xbox:
      return kXboxButtons;
    case Layout::PlayStation4:
      return std::span(kPlayStationButtons, kPs4Buttons);
    case Layout::PlayStation5:
      return std::span(kPlayStationButtons, kPs5Buttons);
    case Layout::SwitchPro:
      return kSwitchProButtons;
    case Layout::Generic:
      break;
  }
  return {};
}

const std::array<SDL_GameControllerAxis, kAxisCount>& AxesOf(Layout layout) {
  switch (layout) {
    case Layout::SwitchPro:
      return kSwitchProAxes;
    case Layout::Xbox:
      return kXboxAxes;
    default:
      return kPlayStationAxes;
  }
}

Layout LayoutOf(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return Layout::Generic;
  switch (SDL_GameControllerTypeForIndex(deviceIndex)) {
    case SDL_CONTROLLER_TYPE_PS4:
      return Layout::PlayStation4;
    case SDL_CONTROLLER_TYPE_PS5:
      return Layout::PlayStation5;
    case SDL_CONTROLLER_TYPE_NINTENDO_SWITCH_PRO:
      return Layout::SwitchPro;
    case SDL_CONTROLLER_TYPE_XBOX360:
    case SDL_CONTROLLER_TYPE_XBOXONE:
      return Layout::Xbox;
    default:
      break;
  }
  const uint32_t productId = (uint32_t{SDL_JoystickGetDeviceVendor(deviceIndex)} << 16) |
                             SDL_JoystickGetDeviceProduct(deviceIndex);
  const ControllerListEntry* entry = FindController(static_cast<int32_t>(productId));
  if (!entry) return Layout::Generic;
  switch (entry->deviceType) {
    case kDeviceTypePs4:
      return Layout::PlayStation4;
    case kDeviceTypePs5:
      return Layout::PlayStation5;
    case kDeviceTypeSwitchPro:
      return Layout::SwitchPro;
    case kDeviceTypeXbox360:
    case kDeviceTypeXboxOne:
      return Layout::Xbox;
    default:
      return Layout::Generic;
  }
}

// Hundredths of a degree clockwise from up; centred (or an impossible
// combination) is the resting value.
uint32_t HatAngle(Uint8 hat) {
  switch (hat) {
    case SDL_HAT_UP:
      return 0;
    case SDL_HAT_RIGHTUP:
      return 4500;
    case SDL_HAT_RIGHT:
      return 9000;
    case SDL_HAT_RIGHTDOWN:
      return 13500;
    case SDL_HAT_DOWN:
      return 18000;
    case SDL_HAT_LEFTDOWN:
      return 22500;
    case SDL_HAT_LEFT:
      return 27000;
    case SDL_HAT_LEFTUP:
      return 31500;
    default:
      return kPovCentred;
  }
}

uint32_t DpadAngle(SDL_GameController* controller) {
  Uint8 hat = SDL_HAT_CENTERED;
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_UP)) hat |= SDL_HAT_UP;
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_RIGHT)) {
    hat |= SDL_HAT_RIGHT;
  }
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_DOWN)) {
    hat |= SDL_HAT_DOWN;
  }
  if (SDL_GameControllerGetButton(controller, SDL_CONTROLLER_BUTTON_DPAD_LEFT)) {
    hat |= SDL_HAT_LEFT;
  }
  return HatAngle(hat);
}

// A trigger's travel, 0..32767.
int32_t TriggerValue(SDL_GameController* controller, SDL_GameControllerAxis trigger) {
  return std::max<int32_t>(SDL_GameControllerGetAxis(controller, trigger), 0);
}

bool IsTrigger(SDL_GameControllerAxis axis) {
  return axis == SDL_CONTROLLER_AXIS_TRIGGERLEFT || axis == SDL_CONTROLLER_AXIS_TRIGGERRIGHT;
}

void LogSdlError(const char* what, int deviceIndex) {
  LOG_ERROR("SDL: Cannot open %s %d", what, deviceIndex);
  Logger::Instance().Write(LogLevel::Error, SDL_GetError());
}

// The device index SDL gives the instance now, or -1 when it is gone.
int DeviceIndexOf(int instanceId) {
  const int count = SDL_NumJoysticks();
  for (int i = 0; i < count; ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == instanceId) return i;
  }
  return -1;
}

}  // namespace

SdlJoystickSource::SdlJoystickSource(SdlContext& context, std::string sysfsRoot)
    : context_(context), sysfsRoot_(std::move(sysfsRoot)) {}

SdlJoystickSource::~SdlJoystickSource() {
  Release();
}

bool SdlJoystickSource::Init() {
  return context_.Init();
}

std::vector<JoystickInfo> SdlJoystickSource::Enumerate() {
  std::vector<JoystickInfo> list;
  candidates_.clear();
  if (!context_.Initialized()) return list;
  SdlLock lock;
  // Units without a serial number or a port tell apart by their order among
  // units of the same model.
  std::map<std::string, int> sameModel;
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    SDL_Joystick* joystick = SDL_JoystickOpen(index);
    if (!joystick) {
      LogSdlError("joystick", index);
      continue;
    }
    JoystickInfo info;
    const char* name = SDL_JoystickName(joystick);
    info.productName = name ? name : "";
    info.instanceName = info.productName;
    info.vendorId = SDL_JoystickGetVendor(joystick);
    info.productId = SDL_JoystickGetProduct(joystick);

    const Layout layout = LayoutOf(index);
    if (layout == Layout::Generic) {
      info.numAxes = SDL_JoystickNumAxes(joystick);
      info.numPovs = SDL_JoystickNumHats(joystick);
      info.numButtons = SDL_JoystickNumButtons(joystick);
      for (int axis = 0; axis < std::min(info.numAxes, kAxisCount); ++axis) {
        info.axisPresent[static_cast<std::size_t>(axis)] = true;
      }
    } else {
      const auto& axes = AxesOf(layout);
      for (int axis = 0; axis < kAxisCount; ++axis) {
        const bool present = axes[static_cast<std::size_t>(axis)] != kNoTrigger;
        info.axisPresent[static_cast<std::size_t>(axis)] = present;
        info.numAxes += present ? 1 : 0;
      }
      info.numPovs = 1;
      info.numButtons = static_cast<int>(ButtonsOf(layout).size());
    }
    info.axisNames = kAxisNames;

    const SDL_JoystickGUID guid = SDL_JoystickGetGUID(joystick);
    std::array<uint8_t, 16> model{};
    std::memcpy(model.data(), guid.data, model.size());
    std::string distinguisher;
    const DeviceLocation location = ReadDeviceLocation(
        SDL_JoystickPath(joystick) ? SDL_JoystickPath(joystick) : "", sysfsRoot_);
    if (const char* serial = SDL_JoystickGetSerial(joystick); serial && *serial) {
      distinguisher = std::string("serial:") + serial;
    } else if (!location.uniqueId.empty()) {
      distinguisher = "serial:" + location.uniqueId;
    } else if (!location.port.empty()) {
      distinguisher = "port:" + location.port;
    } else {
      char text[33];
      SDL_JoystickGetGUIDString(guid, text, sizeof text);
      distinguisher = "order:" + std::to_string(sameModel[text]++);
    }
    info.instanceGuid = DeviceInstanceGuid(model, distinguisher);

    candidates_.push_back(Candidate{SDL_JoystickInstanceID(joystick), layout});
    SDL_JoystickClose(joystick);
    list.push_back(std::move(info));
  }
  return list;
}

bool SdlJoystickSource::Open(std::size_t position, int index) {
  if (position >= candidates_.size() || index < 0 || index >= kMaxDevices) return false;
  SdlLock lock;
  Device& device = devices_[static_cast<std::size_t>(index)];
  Close(device);
  const Candidate& candidate = candidates_[position];
  const int deviceIndex = DeviceIndexOf(candidate.instanceId);
  if (deviceIndex < 0) {
    LOG_ERROR("SDL: Joystick %d went away before it could be opened", candidate.instanceId);
    return false;
  }
  device.layout = candidate.layout;
  if (device.layout == Layout::Generic) {
    device.joystick = SDL_JoystickOpen(deviceIndex);
    if (!device.joystick) {
      LogSdlError("joystick", deviceIndex);
      return false;
    }
    device.axes = std::min(SDL_JoystickNumAxes(device.joystick), kAxisCount);
    device.hats = std::min(SDL_JoystickNumHats(device.joystick), kPovCount);
    device.buttons = std::min(SDL_JoystickNumButtons(device.joystick), kPlainButtonCount);
  } else {
    device.controller = SDL_GameControllerOpen(deviceIndex);
    if (!device.controller) {
      LogSdlError("game controller", deviceIndex);
      return false;
    }
    device.joystick = SDL_GameControllerGetJoystick(device.controller);
  }
  device.deadZone = 0;
  device.saturation = 10000;
  return true;
}

void SdlJoystickSource::Configure(int index, int deadZone, int saturation) {
  if (index < 0 || index >= kMaxDevices) return;
  Device& device = devices_[static_cast<std::size_t>(index)];
  device.deadZone = deadZone;
  device.saturation = saturation;
}

bool SdlJoystickSource::Read(int index, DirectInputState& state) {
  if (index < 0 || index >= kMaxDevices) return false;
  SdlLock lock;
  const Device& device = devices_[static_cast<std::size_t>(index)];
  if (!device.joystick || !SDL_JoystickGetAttached(device.joystick)) return false;
  state = DirectInputState{};
  if (device.layout == Layout::Generic) {
    ReadGeneric(device, state);
  } else {
    ReadFamily(device, state);
  }
  return true;
}

void SdlJoystickSource::ReadGeneric(const Device& device, DirectInputState& state) const {
  for (int axis = 0; axis < device.axes; ++axis) {
    state.axes[static_cast<std::size_t>(axis)] = ScaleJoystickAxis(
        SDL_JoystickGetAxis(device.joystick, axis), device.deadZone, device.saturation);
  }
  for (int hat = 0; hat < device.hats; ++hat) {
    state.pov[static_cast<std::size_t>(hat)] = HatAngle(SDL_JoystickGetHat(device.joystick, hat));
  }
  for (int button = 0; button < device.buttons; ++button) {
    if (SDL_JoystickGetButton(device.joystick, button)) {
      state.buttons[static_cast<std::size_t>(button)] = 0x80;
    }
  }
}

void SdlJoystickSource::ReadFamily(const Device& device, DirectInputState& state) const {
  SDL_GameController* controller = device.controller;
  const auto& axes = AxesOf(device.layout);
  for (std::size_t position = 0; position < axes.size(); ++position) {
    const SDL_GameControllerAxis axis = axes[position];
    if (axis == kNoTrigger) continue;
    int32_t raw = 0;
    if (axis == kBothTriggers) {
      raw = TriggerValue(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT) -
            TriggerValue(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT);
    } else if (IsTrigger(axis)) {
      // Analog triggers are full-range axes there, resting at one end.
      raw = TriggerAsFullRangeAxis(SDL_GameControllerGetAxis(controller, axis));
    } else {
      raw = SDL_GameControllerGetAxis(controller, axis);
    }
    state.axes[position] = ScaleJoystickAxis(raw, device.deadZone, device.saturation);
  }
  state.pov[0] = DpadAngle(controller);
  const auto buttons = ButtonsOf(device.layout);
  for (std::size_t i = 0; i < buttons.size(); ++i) {
    const PresentedButton& b = buttons[i];
    const bool down = b.trigger != kNoTrigger ? SDL_GameControllerGetAxis(controller, b.trigger) > 0
                                              : SDL_GameControllerGetButton(controller, b.button);
    if (down) state.buttons[i] = 0x80;
  }
}

void SdlJoystickSource::Close(Device& device) {
  if (device.controller) {
    SDL_GameControllerClose(device.controller);
  } else if (device.joystick) {
    SDL_JoystickClose(device.joystick);
  }
  device = Device{};
}

void SdlJoystickSource::Release() {
  SdlLock lock;
  for (Device& device : devices_) Close(device);
}

}  // namespace brevanto
