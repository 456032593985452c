#include "app/brevantoctl/Commands.h"

#include <array>

#include "app/brevantoctl/Resave.h"

namespace brevanto::ctl {

std::span<const Command> Commands() {
  static const std::array commands{
      Command{"resave", "load a profile and write it in the current format", RunResave},
  };
  return commands;
}

}  // namespace brevanto::ctl
