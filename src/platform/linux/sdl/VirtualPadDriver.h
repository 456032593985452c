#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "core/processing/ReplayScript.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/linux/sdl/SdlEventPump.h"

struct _SDL_Joystick;

namespace brevanto {

// A testing and demonstration aid: SDL virtual controllers played from a
// replay script, so the whole input side can run without hardware. Every
// device the script declares becomes one virtual controller, in slot order:
// an Xbox 360 type pad for "xinput", a generic joystick with 8 axes, 4 hats
// and 128 buttons for "dinput". They are found and read like real ones.
//
// The script's ticks become time with the timer period: the state of tick t
// holds from t x period on. After the end tick every control rests. The
// controllers are fed from the event pump, so they change on the thread that
// reads them. The driver goes before the pump and the SdlContext.
class VirtualPadDriver final : public SdlEventPump::Feeder {
 public:
  using Clock = std::chrono::steady_clock;
  using Now = std::function<Clock::time_point()>;

  static constexpr uint16_t kPadVendorId = 0x045E;
  static constexpr uint16_t kPadProductId = 0x028E;
  static constexpr const char* kPadName = "Brevanto Virtual Pad";
  static constexpr const char* kJoystickName = "Brevanto Virtual Joystick";

  // Attaches the controllers and registers with the pump. nullptr (with a log
  // line and error set) when SDL is not initialised or a controller cannot be
  // attached; nothing stays attached then. now is the clock the script plays
  // by.
  static std::unique_ptr<VirtualPadDriver> Create(const ReplayScript& script, SdlEventPump& pump,
                                                  int periodMs, std::string& error,
                                                  Now now = Clock::now);
  // The same from a script file.
  static std::unique_ptr<VirtualPadDriver> FromFile(const std::string& path, SdlEventPump& pump,
                                                    int periodMs, std::string& error,
                                                    Now now = Clock::now);

  VirtualPadDriver(const VirtualPadDriver&) = delete;
  VirtualPadDriver& operator=(const VirtualPadDriver&) = delete;
  // Unregisters and detaches every controller.
  ~VirtualPadDriver() override;

  // Sets every controller to the state of this moment after the start.
  void ApplyAt(std::chrono::milliseconds elapsed);
  // Applies the state of the clock's time; the first call is the start.
  void BeforePump() override;

  int AttachedCount() const;
  bool Finished() const { return finished_; }

 private:
  struct Attached {
    int instanceId = -1;
    _SDL_Joystick* joystick = nullptr;
    ReplayDeviceKind kind = ReplayDeviceKind::DirectInput;
  };

  VirtualPadDriver(const ReplayScript& script, SdlEventPump& pump, int periodMs, Now now);
  bool Attach(int slot, ReplayDeviceKind kind, std::string& error);
  void Detach(Attached& device);
  void Feed(int slot, const Attached& device, bool rest);

  SdlEventPump& pump_;
  ScriptedDeviceSource source_;
  int periodMs_;
  Now now_;
  std::array<Attached, kMaxJoysticks> devices_{};
  std::optional<Clock::time_point> start_;
  bool finished_ = false;
  // The script events the controllers were last fed up to, or kRested.
  static constexpr std::size_t kRested = static_cast<std::size_t>(-1);
  std::size_t fedState_ = kRested - 1;
};

}  // namespace brevanto
