#pragma once

#include <array>

#include "core/ports/PadSource.h"

struct _SDL_GameController;

namespace brevanto {

class SdlContext;

// Xbox-type pads through SDL's game-controller API: every controller SDL maps
// to the standard layout whose type is Xbox 360 or Xbox One, or whose product
// id the controller name table lists as one of those. A pad keeps its user
// index 0..3 for as long as it stays attached; a new pad takes the lowest free
// one.
class SdlPadSource final : public PadSource {
 public:
  explicit SdlPadSource(SdlContext& context);
  SdlPadSource(const SdlPadSource&) = delete;
  SdlPadSource& operator=(const SdlPadSource&) = delete;
  ~SdlPadSource() override;

  bool Init() override;
  void Refresh() override;
  int GetState(int userIndex, XInputGamepadState& state) override;
  bool GetCapabilities(int userIndex, PadCapabilities& capabilities) override;
  void Release() override;

  // Whether SDL's device at this index is a pad this source reads.
  static bool IsXboxType(int deviceIndex);

  // The pad at a user index, or nullptr; only for calls made inside an
  // SdlLock.
  _SDL_GameController* Controller(int userIndex) const;

 private:
  // Whether a held pad is SDL's joystick instance instanceId.
  bool HoldsInstance(int instanceId) const;

  SdlContext& context_;
  std::array<_SDL_GameController*, kMaxUsers> users_{};
};

}  // namespace brevanto
