#include "core/settings/CommandLine.h"

#include <filesystem>
#include <system_error>

namespace brevanto {

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument.empty() || argument[0] != '-') {
      line.profileArgument = argument;
      break;
    }
    if (argument.size() < 2) continue;
    if (argument[1] == 'l' || argument[1] == 'q') line.noLog = true;
    if (argument[1] == 'r') line.refreshDevicesRequest = true;
  }

  const std::string& profile = line.profileArgument;
  const std::size_t slash = profile.rfind('/');
  std::string file = profile;
  if (slash != std::string::npos) {
    std::error_code error;
    std::filesystem::path folder = std::filesystem::absolute(profile.substr(0, slash + 1), error);
    line.profileDirectory = error ? profile.substr(0, slash + 1) : folder.string();
    if (line.profileDirectory.back() != '/') line.profileDirectory += '/';
    file = profile.substr(slash + 1);
  }
  const std::size_t dot = file.rfind('.');
  line.profileName = dot == std::string::npos ? file : file.substr(0, dot);
  return line;
}

}  // namespace brevanto
