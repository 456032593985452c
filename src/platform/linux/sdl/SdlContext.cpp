#include "platform/linux/sdl/SdlContext.h"

#include <SDL.h>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

constexpr Uint32 kSubsystems = SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER;

// The state of every control is read directly each cycle; only devices coming
// and going are wanted as events. The others would fill the queue for nothing.
constexpr Uint32 kIgnoredEvents[] = {
    SDL_JOYAXISMOTION,
    SDL_JOYBALLMOTION,
    SDL_JOYHATMOTION,
    SDL_JOYBUTTONDOWN,
    SDL_JOYBUTTONUP,
    SDL_JOYBATTERYUPDATED,
    SDL_CONTROLLERAXISMOTION,
    SDL_CONTROLLERBUTTONDOWN,
    SDL_CONTROLLERBUTTONUP,
    SDL_CONTROLLERTOUCHPADDOWN,
    SDL_CONTROLLERTOUCHPADMOTION,
    SDL_CONTROLLERTOUCHPADUP,
    SDL_CONTROLLERSENSORUPDATE,
};

}  // namespace

SdlContext::~SdlContext() {
  if (!initialized_) return;
  SDL_QuitSubSystem(kSubsystems);
  // SDL keeps process-wide resources (its D-Bus connection) until SDL_Quit;
  // nothing else in the process uses SDL.
  if (SDL_WasInit(0) == 0) SDL_Quit();
}

bool SdlContext::Init() {
  if (tried_) return initialized_;
  tried_ = true;
  // Controllers keep working while another application has the focus: that
  // application is the one the generated input is for.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  // Buttons by position (south, east, west, north), whatever their labels: the
  // layouts built from SDL's standard mapping rely on it.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  if (SDL_InitSubSystem(kSubsystems) != 0) {
    LOG_ERROR("SDL: Cannot initialise the joystick subsystems");
    Logger::Instance().Write(LogLevel::Error, SDL_GetError());
    return false;
  }
  for (Uint32 type : kIgnoredEvents) SDL_EventState(type, SDL_IGNORE);
  initialized_ = true;
  return true;
}

SdlLock::SdlLock() {
  SDL_LockJoysticks();
}

SdlLock::~SdlLock() {
  SDL_UnlockJoysticks();
}

}  // namespace brevanto
