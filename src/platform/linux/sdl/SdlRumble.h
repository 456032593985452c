#pragma once

#include "core/ports/Rumble.h"

struct _SDL_GameController;

namespace brevanto {

class SdlContext;
class SdlPadSource;

// The motors of the pads, through SDL's rumble call. User 0 is the first pad
// in every input API mode: the pad source's first pad while it reads pads,
// otherwise the first Xbox-type pad attached, opened here for the purpose.
class SdlRumble final : public Rumble {
 public:
  SdlRumble(SdlContext& context, SdlPadSource& pads) : context_(context), pads_(pads) {}
  SdlRumble(const SdlRumble&) = delete;
  SdlRumble& operator=(const SdlRumble&) = delete;
  ~SdlRumble() override;

  bool Available() const override;
  bool SetMotors(int userIndex, uint16_t left, uint16_t right) override;

 private:
  // The first Xbox-type pad, opened by this object; nullptr when none is
  // attached. Called inside an SdlLock.
  _SDL_GameController* FirstPad();

  SdlContext& context_;
  SdlPadSource& pads_;
  _SDL_GameController* firstPad_ = nullptr;
};

}  // namespace brevanto
