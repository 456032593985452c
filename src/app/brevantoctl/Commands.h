#pragma once

#include <span>

namespace brevanto::ctl {

// One subcommand of brevantoctl: run gets the arguments after its name and
// returns the exit code.
struct Command {
  const char* name;
  const char* summary;
  int (*run)(int argc, char** argv);
};

// Every subcommand, in the order the usage text lists them. Each command's
// source file adds its entry here.
std::span<const Command> Commands();

}  // namespace brevanto::ctl
