#pragma once

#include <string>
#include <vector>

namespace brevanto {

// The program's own long options, beside the short ones the settings read
// ("-l", "-q", "-r" and the profile argument):
//   --version, --help
//   --headless            no window even when a display is there
//   --no-uinput           key and mouse output through the X server only
//   --data-dir DIR        the data directory (as BREVANTO_DATA_DIR)
//   --virtual-pad=SCRIPT  scripted virtual controllers (testing aid)
//   --screenshots=DIR     writes pictures of the window into DIR and ends
//                         (documentation aid; needs a display)
struct ProgramOptions {
  bool version = false;
  bool help = false;
  bool headless = false;
  bool noUinput = false;
  std::string dataDir;
  std::string virtualPadScript;
  std::string screenshotDir;
  // The command line as the settings read it: element 0 the program, every
  // option one word ("--data-dir DIR" becomes "--data-dir=DIR"), so a value
  // is never taken for the profile argument.
  std::vector<std::string> arguments;
  // Long options the program does not know; each is ignored with a warning.
  std::vector<std::string> unknown;
  // Why the command line cannot be used; empty when it can.
  std::string error;
};

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments);

// The usage text of --help.
const char* ProgramUsage();

}  // namespace brevanto
