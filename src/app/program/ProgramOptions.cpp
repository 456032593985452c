#include "app/program/ProgramOptions.h"

#include <string_view>

namespace brevanto {
namespace {

// The value of "--name=value" or "--name value"; false when it is missing.
bool TakeValue(const std::vector<std::string>& arguments, std::size_t& i, std::string_view name,
               std::string& value) {
  const std::string& argument = arguments[i];
  if (argument.size() > name.size() && argument[name.size()] == '=') {
    value = argument.substr(name.size() + 1);
    return !value.empty();
  }
  if (i + 1 >= arguments.size()) return false;
  value = arguments[++i];
  return !value.empty();
}

}  // namespace

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  if (arguments.empty()) return options;
  options.arguments.push_back(arguments[0]);
  for (std::size_t i = 1; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const auto is = [&argument](std::string_view name) {
      return argument == name || (argument.starts_with(name) && argument.size() > name.size() &&
                                  argument[name.size()] == '=');
    };
    if (argument == "--version") {
      options.version = true;
    } else if (argument == "--help" || argument == "-h") {
      options.help = true;
    } else if (argument == "--headless") {
      options.headless = true;
    } else if (argument == "--no-uinput") {
      options.noUinput = true;
    } else if (is("--data-dir")) {
      if (!TakeValue(arguments, i, "--data-dir", options.dataDir)) {
        options.error = "--data-dir needs a folder";
        return options;
      }
      options.arguments.push_back("--data-dir=" + options.dataDir);
      continue;
    } else if (is("--virtual-pad")) {
      if (!TakeValue(arguments, i, "--virtual-pad", options.virtualPadScript)) {
        options.error = "--virtual-pad needs a script file";
        return options;
      }
      options.arguments.push_back("--virtual-pad=" + options.virtualPadScript);
      continue;
    } else if (is("--screenshots")) {
      if (!TakeValue(arguments, i, "--screenshots", options.screenshotDir)) {
        options.error = "--screenshots needs a folder";
        return options;
      }
      options.arguments.push_back("--screenshots=" + options.screenshotDir);
      continue;
    } else if (argument.starts_with("--")) {
      // Options the program does not know are ignored, as the short ones
      // are; the settings skip it like any other option.
      options.unknown.push_back(argument);
    }
    options.arguments.push_back(argument);
  }
  return options;
}

const char* ProgramUsage() {
  return "usage: brevanto [-q] [-r] [--headless] [--no-uinput] [--data-dir DIR]\n"
         "                [--virtual-pad=SCRIPT] [--screenshots=DIR] [PROFILE]\n"
         "  -l, -q                no log file\n"
         "  -r                    a running instance detects the controllers again\n"
         "  PROFILE               profile name or file to make current; a file's\n"
         "                        folder becomes the data directory\n"
         "  --headless            run without a window even when a display is there\n"
         "  --no-uinput           send keys and mouse through the X server only\n"
         "  --data-dir DIR        keep profiles, settings and the log in DIR\n"
         "  --virtual-pad=SCRIPT  attach scripted virtual controllers (testing aid)\n"
         "  --screenshots=DIR     write pictures of the window into DIR and end\n"
         "  --version, --help\n";
}

}  // namespace brevanto
