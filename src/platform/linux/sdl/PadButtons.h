#pragma once

#include <SDL.h>

#include <cstdint>

#include "core/input/XInputConversion.h"

namespace brevanto {

// An Xbox-type pad's buttons: SDL's game-controller button and the pad
// state's bit, in SDL's standard button order (which a virtual pad's button
// numbers follow).
struct PadButton {
  SDL_GameControllerButton button;
  uint16_t bit;
};

inline constexpr PadButton kPadButtons[] = {
    {SDL_CONTROLLER_BUTTON_A, xinput::kA},
    {SDL_CONTROLLER_BUTTON_B, xinput::kB},
    {SDL_CONTROLLER_BUTTON_X, xinput::kX},
    {SDL_CONTROLLER_BUTTON_Y, xinput::kY},
    {SDL_CONTROLLER_BUTTON_BACK, xinput::kBack},
    {SDL_CONTROLLER_BUTTON_GUIDE, xinput::kGuide},
    {SDL_CONTROLLER_BUTTON_START, xinput::kStart},
    {SDL_CONTROLLER_BUTTON_LEFTSTICK, xinput::kLeftThumb},
    {SDL_CONTROLLER_BUTTON_RIGHTSTICK, xinput::kRightThumb},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, xinput::kLeftShoulder},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, xinput::kRightShoulder},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, xinput::kDpadUp},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, xinput::kDpadDown},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, xinput::kDpadLeft},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, xinput::kDpadRight},
};

}  // namespace brevanto
