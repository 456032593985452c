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

bool SdlRumble::Available() const {
  return context_.Initialized();
}

bool SdlRumble::SetMotors(int userIndex, uint16_t left, uint16_t right) {
  SdlLock lock;
  SDL_GameController* controller = pads_.Controller(userIndex);
  return controller && SDL_GameControllerRumble(controller, left, right, kUntilChanged) == 0;
}

}  // namespace brevanto
