#include "app/brevantoctl/Commands.h"

#include <array>

namespace brevanto::ctl {

std::span<const Command> Commands() {
  static const std::array<Command, 0> commands{};
  return commands;
}

}  // namespace brevanto::ctl
