#include "app/brevantoctl/Commands.h"

#include <array>

namespace brevanto::ctl {

int RunDevices(int argc, char** argv);

std::span<const Command> Commands() {
  static const std::array<Command, 1> commands{{
      {"devices", "list the detected controllers and their joystick slots", RunDevices},
  }};
  return commands;
}

}  // namespace brevanto::ctl
