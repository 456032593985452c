#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/program/BrevantoProgram.h"
#include "app/program/DisplayProbe.h"
#include "app/program/ProgramOptions.h"
#include "app/program/WaylandSession.h"
#include "core/settings/StartupContext.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv, argv + argc);
  brevanto::ProgramOptions options = brevanto::ParseProgramOptions(arguments);
  if (!options.error.empty()) {
    std::fprintf(stderr, "brevanto: %s\n%s", options.error.c_str(), brevanto::ProgramUsage());
    return 2;
  }
  if (options.version) {
    std::printf("Brevanto v%s\n", BREVANTO_VERSION);
    return 0;
  }
  if (options.help) {
    std::fputs(brevanto::ProgramUsage(), stdout);
    return 0;
  }

  // Taken before Qt sees the command line: the program's arguments are its
  // own, whatever Qt would make of them.
  brevanto::StartupContext context = brevanto::StartupContext::FromProcess(argc, argv, nullptr);
  const bool windowed = !options.headless && brevanto::DisplayAvailable();
  std::unique_ptr<QCoreApplication> application;
  if (windowed) {
    brevanto::PreferX11Platform();
    application = std::make_unique<QApplication>(argc, argv);
  } else {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }

  int code = 0;
  {
    brevanto::BrevantoProgram program(std::move(context), std::move(options), windowed);
    if (const std::optional<int> early = program.Start()) return *early;
    code = program.Run();
  }
  return code;
}
