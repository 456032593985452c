#include "app/brevantoctl/Commands.h"

#include <array>

namespace brevanto::ctl {

int RunSend(int argc, char** argv);

std::span<const Command> Commands() {
  static const std::array commands{
      Command{"send", "send a message to the running Brevanto", RunSend},
  };
  return commands;
}

}  // namespace brevanto::ctl
