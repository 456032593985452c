#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brevanto {

class Shell;

// Looks up an environment variable; nothing when it is not set.
using EnvironmentLookup = std::function<std::optional<std::string>(const std::string& name)>;

// What the process was started with, as AppInfo needs it. Tests build their
// own; the program takes it from the running process.
struct StartupContext {
  // Full path of the running executable.
  std::string executablePath;
  // The command line; element 0 is the program as it was started.
  std::vector<std::string> arguments;
  EnvironmentLookup environment;
  // Opens documents and web pages; may be null where nothing is opened.
  Shell* shell = nullptr;

  static StartupContext FromProcess(int argc, const char* const* argv, Shell* shell);
};

}  // namespace brevanto
