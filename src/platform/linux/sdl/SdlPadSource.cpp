#include "platform/linux/sdl/SdlPadSource.h"

#include <SDL.h>

#include <algorithm>

#include "core/input/ControllerNames.h"
#include "core/log/Logger.h"
#include "platform/linux/sdl/PadButtons.h"
#include "platform/linux/sdl/SdlContext.h"

namespace brevanto {
namespace {

// SDL's triggers run 0..32767, the pad's 0..255; rounding makes the two
// scales meet at every step.
uint8_t Trigger(Sint16 value) {
  const int clamped = value < 0 ? 0 : value;
  return static_cast<uint8_t>((clamped * 255 + 16383) / 32767);
}

// SDL's Y axes point down, the pad's up.
int16_t Upward(Sint16 value) {
  return static_cast<int16_t>(value == -32768 ? 32767 : -value);
}

}  // namespace

SdlPadSource::SdlPadSource(SdlContext& context) : context_(context) {}

SdlPadSource::~SdlPadSource() {
  Release();
}

bool SdlPadSource::Init() {
  return context_.Init();
}

bool SdlPadSource::IsXboxType(int deviceIndex) {
  SdlLock lock;
  if (!SDL_IsGameController(deviceIndex)) return false;
  const SDL_GameControllerType type = SDL_GameControllerTypeForIndex(deviceIndex);
  if (type == SDL_CONTROLLER_TYPE_XBOX360 || type == SDL_CONTROLLER_TYPE_XBOXONE) return true;
  const uint32_t productId = (uint32_t{SDL_JoystickGetDeviceVendor(deviceIndex)} << 16) |
                             SDL_JoystickGetDeviceProduct(deviceIndex);
  const ControllerListEntry* entry = FindController(static_cast<int32_t>(productId));
  return entry &&
         (entry->deviceType == kDeviceTypeXbox360 || entry->deviceType == kDeviceTypeXboxOne);
}

void SdlPadSource::Refresh() {
  if (!context_.Initialized()) return;
  SdlLock lock;
  // A pad keeps its user index while it stays attached, so its record (whose
  // identity holds the index) stays its own when another pad comes or goes.
  for (SDL_GameController*& controller : users_) {
    if (controller && !SDL_GameControllerGetAttached(controller)) {
      SDL_GameControllerClose(controller);
      controller = nullptr;
    }
  }
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    if (!IsXboxType(index) || HoldsInstance(SDL_JoystickGetDeviceInstanceID(index))) continue;
    const auto freeUser = std::find(users_.begin(), users_.end(), nullptr);
    if (freeUser == users_.end()) break;
    SDL_GameController* controller = SDL_GameControllerOpen(index);
    if (!controller) {
      LOG_ERROR("SDL: Cannot open pad %d", index);
      Logger::Instance().Write(LogLevel::Error, SDL_GetError());
      continue;
    }
    *freeUser = controller;
  }
}

bool SdlPadSource::HoldsInstance(int instanceId) const {
  return std::any_of(users_.begin(), users_.end(), [instanceId](SDL_GameController* controller) {
    return controller &&
           SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller)) == instanceId;
  });
}

void SdlPadSource::Release() {
  SdlLock lock;
  for (SDL_GameController*& controller : users_) {
    if (controller) SDL_GameControllerClose(controller);
    controller = nullptr;
  }
}

SDL_GameController* SdlPadSource::Controller(int userIndex) const {
  if (userIndex < 0 || userIndex >= kMaxUsers) return nullptr;
  return users_[static_cast<std::size_t>(userIndex)];
}

int SdlPadSource::GetState(int userIndex, XInputGamepadState& state) {
  SdlLock lock;
  SDL_GameController* controller = Controller(userIndex);
  if (!controller || !SDL_GameControllerGetAttached(controller)) return kPadNotConnected;
  state = XInputGamepadState{};
  for (const PadButton& b : kPadButtons) {
    if (SDL_GameControllerGetButton(controller, b.button)) {
      state.buttons = static_cast<uint16_t>(state.buttons | b.bit);
    }
  }
  state.leftTrigger =
      Trigger(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERLEFT));
  state.rightTrigger =
      Trigger(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_TRIGGERRIGHT));
  state.thumbLX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTX);
  state.thumbLY = Upward(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_LEFTY));
  state.thumbRX = SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTX);
  state.thumbRY = Upward(SDL_GameControllerGetAxis(controller, SDL_CONTROLLER_AXIS_RIGHTY));
  return kPadOk;
}

bool SdlPadSource::GetCapabilities(int userIndex, PadCapabilities& capabilities) {
  SdlLock lock;
  SDL_GameController* controller = Controller(userIndex);
  if (!controller) return false;
  capabilities.vendorId = SDL_GameControllerGetVendor(controller);
  capabilities.productId = SDL_GameControllerGetProduct(controller);
  if (capabilities.vendorId == 0 && capabilities.productId == 0) return false;
  // Only pads that run on batteries report a charge level.
  const SDL_JoystickPowerLevel power =
      SDL_JoystickCurrentPowerLevel(SDL_GameControllerGetJoystick(controller));
  capabilities.wireless = power != SDL_JOYSTICK_POWER_UNKNOWN && power != SDL_JOYSTICK_POWER_WIRED;
  return true;
}

}  // namespace brevanto
