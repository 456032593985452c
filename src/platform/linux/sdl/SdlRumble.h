#pragma once

#include "core/ports/Rumble.h"

namespace brevanto {

class SdlContext;
class SdlPadSource;

// The motors of the pads the pad source reads, through SDL's rumble call.
class SdlRumble final : public Rumble {
 public:
  SdlRumble(SdlContext& context, SdlPadSource& pads) : context_(context), pads_(pads) {}

  bool Available() const override;
  bool SetMotors(int userIndex, uint16_t left, uint16_t right) override;

 private:
  SdlContext& context_;
  SdlPadSource& pads_;
};

}  // namespace brevanto
