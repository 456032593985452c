#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/ports/JoystickSource.h"

struct _SDL_Joystick;
struct _SDL_GameController;

namespace brevanto {

class SdlContext;

// Generic game controllers through SDL's joystick API. Most devices are
// presented in SDL's own order: axes 0..7 at the positions X, Y, Z, Rx, Ry,
// Rz, slider 0, slider 1, hats 0..3, buttons 0..127. Xbox-type pads and the
// PS4, PS5 and Switch Pro families are presented as they appear to the
// classic joystick interface of their original platform, built from SDL's
// standard mapping, so that profiles and button labels made for them carry
// over (and an Xbox pad's triggers do not rest at the end of an axis).
class SdlJoystickSource final : public JoystickSource {
 public:
  static constexpr int kMaxDevices = 50;

  explicit SdlJoystickSource(SdlContext& context, std::string sysfsRoot = "/sys");
  SdlJoystickSource(const SdlJoystickSource&) = delete;
  SdlJoystickSource& operator=(const SdlJoystickSource&) = delete;
  ~SdlJoystickSource() override;

  bool Init() override;
  std::vector<JoystickInfo> Enumerate() override;
  bool Open(std::size_t position, int index) override;
  void Configure(int index, int deadZone, int saturation) override;
  bool Read(int index, DirectInputState& state) override;
  void Release() override;

  enum class Layout { Generic, Xbox, PlayStation4, PlayStation5, SwitchPro };

 private:
  struct Candidate {
    int instanceId = -1;
    Layout layout = Layout::Generic;
  };
  struct Device {
    _SDL_Joystick* joystick = nullptr;
    _SDL_GameController* controller = nullptr;  // family layouts only
    Layout layout = Layout::Generic;
    int axes = 0;
    int hats = 0;
    int buttons = 0;
    int deadZone = 0;
    int saturation = 10000;
  };

  void Close(Device& device);
  void ReadGeneric(const Device& device, DirectInputState& state) const;
  void ReadFamily(const Device& device, DirectInputState& state) const;

  SdlContext& context_;
  std::string sysfsRoot_;
  std::vector<Candidate> candidates_;
  std::array<Device, kMaxDevices> devices_{};
};

}  // namespace brevanto
