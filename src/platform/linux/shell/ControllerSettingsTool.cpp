#include "platform/linux/shell/ControllerSettingsTool.h"

namespace brevanto {

std::optional<ControllerSettingsTool> FindControllerSettingsTool(
    const ExecutableResolver& resolve) {
  const ControllerSettingsTool candidates[] = {
      {"jstest-gtk", ""},
      {"kcmshell6", "kcm_gamecontroller"},
      {"kcmshell5", "kcm_gamecontroller"},
  };
  for (const ControllerSettingsTool& candidate : candidates) {
    if (std::optional<std::string> path = resolve(candidate.program)) {
      return ControllerSettingsTool{*path, candidate.parameters};
    }
  }
  return std::nullopt;
}

}  // namespace brevanto
