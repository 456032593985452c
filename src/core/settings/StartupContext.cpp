#include "core/settings/StartupContext.h"

#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

namespace brevanto {

StartupContext StartupContext::FromProcess(int argc, const char* const* argv, Shell* shell) {
  StartupContext context;
  char path[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path - 1);
  if (length > 0) {
    context.executablePath.assign(path, static_cast<std::size_t>(length));
  } else if (argc > 0 && ::realpath(argv[0], path) != nullptr) {
    context.executablePath = path;
  } else if (argc > 0) {
    context.executablePath = argv[0];
  }
  for (int i = 0; i < argc; ++i) context.arguments.emplace_back(argv[i]);
  context.environment = [](const std::string& name) -> std::optional<std::string> {
    const char* value = ::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  };
  context.shell = shell;
  return context;
}

}  // namespace brevanto
