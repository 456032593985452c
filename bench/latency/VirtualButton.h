#pragma once

#include <memory>
#include <string>

struct _SDL_Joystick;

namespace brevanto::bench {

// One button of an SDL virtual joystick the benchmark holds itself, so it
// knows the moment the button changes. The program finds the joystick as it
// finds any controller that arrives. SDL must be initialised (by the
// program) for as long as it exists.
class VirtualButton {
 public:
  static constexpr const char* kName = "Latency Bench Joystick";

  // nullptr (with error set) when SDL cannot attach it.
  static std::unique_ptr<VirtualButton> Attach(std::string& error);
  // Closes the benchmark's handle; the joystick stays attached until SDL's
  // joystick subsystem is quit, so the program is never left reading a
  // controller that vanished under it.
  ~VirtualButton();
  VirtualButton(const VirtualButton&) = delete;
  VirtualButton& operator=(const VirtualButton&) = delete;

  // Sets the first button; the program reads it with its next SDL update.
  void Set(bool down);

 private:
  explicit VirtualButton(_SDL_Joystick* joystick) : joystick_(joystick) {}

  _SDL_Joystick* joystick_;
};

}  // namespace brevanto::bench
