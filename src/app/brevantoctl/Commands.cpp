#include "app/brevantoctl/Commands.h"

#include <array>

#include "app/brevantoctl/Describe.h"
#include "app/brevantoctl/Devices.h"
#include "app/brevantoctl/Replay.h"
#include "app/brevantoctl/Resave.h"

namespace brevanto::ctl {

int RunSend(int argc, char** argv);

std::span<const Command> Commands() {
  static const std::array commands{
      Command{"resave", "load a profile and write it in the current format", RunResave},
      Command{"describe", "list the button rows of one joystick of a profile", RunDescribe},
      Command{"devices", "list the detected controllers and their joystick slots", RunDevices},
      Command{"send", "send a message to the running Brevanto", RunSend},
      Command{"replay", "run a profile over a scripted controller recording", RunReplay},
  };
  return commands;
}

}  // namespace brevanto::ctl
