#include "VirtualButton.h"

#include <SDL.h>

namespace brevanto::bench {

std::unique_ptr<VirtualButton> VirtualButton::Attach(std::string& error) {
  SDL_LockJoysticks();
  // A plain gamepad-sized joystick: two axes, a hat, twelve buttons.
  SDL_VirtualJoystickDesc desc;
  SDL_zero(desc);
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
  desc.naxes = 2;
  desc.nhats = 1;
  desc.nbuttons = 12;
  desc.name = kName;
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  SDL_Joystick* joystick = index >= 0 ? SDL_JoystickOpen(index) : nullptr;
  if (!joystick) error = SDL_GetError();
  if (index >= 0 && !joystick) SDL_JoystickDetachVirtual(index);
  SDL_UnlockJoysticks();
  if (!joystick) return nullptr;
  return std::unique_ptr<VirtualButton>(new VirtualButton(joystick));
}

VirtualButton::~VirtualButton() {
  SDL_LockJoysticks();
  SDL_JoystickClose(joystick_);
  SDL_UnlockJoysticks();
}

void VirtualButton::Set(bool down) {
  SDL_LockJoysticks();
  SDL_JoystickSetVirtualButton(joystick_, 0, down ? 1 : 0);
  SDL_UnlockJoysticks();
}

}  // namespace brevanto::bench
