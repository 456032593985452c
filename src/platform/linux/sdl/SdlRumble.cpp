#include "platform/linux/sdl/SdlRumble.h"

#include <SDL.h>

#include "platform/linux/sdl/SdlContext.h"
#include "platform/linux/sdl/SdlPadSource.h"

namespace brevanto {
namespace {

// A duration of 0 keeps the speeds until the next call, as the pad's own
// interface does; the program's countdown ends the vibration.
constexpr Uint32 kUntilChanged = 0;

}  // namespace

SdlRumble::~SdlRumble() {
  if (!firstPad_) return;
  SdlLock lock;
  SDL_GameControllerClose(firstPad_);
}

bool SdlRumble::Available() const {
  return context_.Initialized();
}

bool SdlRumble::SetMotors(int userIndex, uint16_t left, uint16_t right) {
  SdlLock lock;
  SDL_GameController* controller = pads_.Controller(userIndex);
  // Outside the modes that read pads the pad source holds none; the first
  // pad still confirms a profile switch.
  if (!controller && userIndex == 0) controller = FirstPad();
  return controller && SDL_GameControllerRumble(controller, left, right, kUntilChanged) == 0;
}

SDL_GameController* SdlRumble::FirstPad() {
  if (firstPad_ && SDL_GameControllerGetAttached(firstPad_)) return firstPad_;
  if (firstPad_) SDL_GameControllerClose(firstPad_);
  firstPad_ = nullptr;
  const int count = SDL_NumJoysticks();
  for (int index = 0; index < count; ++index) {
    if (!SdlPadSource::IsXboxType(index)) continue;
    firstPad_ = SDL_GameControllerOpen(index);
    break;
  }
  return firstPad_;
}

}  // namespace brevanto
