#pragma once

#include <string>
#include <vector>

namespace brevanto {

// The program's command line: options first ("-l" or "-q": no log file; "-r":
// the running instance re-detects devices; other options are ignored), then
// at most one profile argument. The first argument that is not an option ends
// the options; everything after it is ignored, even text that looks like an
// option.
struct CommandLine {
  bool noLog = false;
  bool refreshDevicesRequest = false;
  // The profile argument: a profile file path or a bare profile name.
  std::string profileArgument;
  // Its folder with a trailing "/" (made absolute), or empty for a bare name.
  std::string profileDirectory;
  // Its file name without the extension.
  std::string profileName;
};

// arguments[0] is the program itself and is skipped.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

}  // namespace brevanto
