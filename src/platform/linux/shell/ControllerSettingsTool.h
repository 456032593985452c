#pragma once

#include <functional>
#include <optional>
#include <string>

namespace brevanto {

// A program that shows and tests the game controllers of this computer.
struct ControllerSettingsTool {
  std::string program;
  std::string parameters;
};

// Finds the executable a name stands for, as LinuxShell::ResolveExecutable.
using ExecutableResolver = std::function<std::optional<std::string>(const std::string& name)>;

// The desktop's game-controller settings: jstest-gtk when it is installed
// (it shows every axis and button and calibrates), else the game-controller
// module of KDE's System Settings; nothing when neither is there.
std::optional<ControllerSettingsTool> FindControllerSettingsTool(const ExecutableResolver& resolve);

}  // namespace brevanto
