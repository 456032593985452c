#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "app/program/BrevantoProgram.h"
#include "app/program/DisplayProbe.h"
#include "app/program/FatalError.h"
#include "app/program/ProgramOptions.h"
#include "app/program/WaylandSession.h"
#include "core/settings/StartupContext.h"

namespace {

int Run(int argc, char** argv, brevanto::ProgramOptions options, bool windowed,
        std::unique_ptr<QCoreApplication>& application) {
  // Taken before Qt sees the command line: the program's arguments are its
  // own, whatever Qt would make of them.
  brevanto::StartupContext context = brevanto::StartupContext::FromProcess(argc, argv, nullptr);
  if (windowed) {
    brevanto::PreferX11Platform();
    application = std::make_unique<QApplication>(argc, argv);
  } else {
    application = std::make_unique<QCoreApplication>(argc, argv);
  }
  brevanto::BrevantoProgram program(std::move(context), std::move(options), windowed);
  if (const std::optional<int> early = program.Start()) return *early;
  return program.Run();
}

}  // namespace

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
  for (const std::string& option : options.unknown) {
    std::fprintf(stderr, "brevanto: unknown option %s ignored\n", option.c_str());
  }

  const bool windowed = !options.headless && brevanto::DisplayAvailable();
  std::unique_ptr<QCoreApplication> application;
  // The program reports what goes wrong in its own start-up; this is for
  // whatever escapes it (the program is gone by then, so is its log).
  try {
    return Run(argc, argv, std::move(options), windowed, application);
  } catch (const std::exception& error) {
    brevanto::ReportFatalError(std::string("Stopped by an error: ") + error.what(),
                               windowed && application != nullptr);
  } catch (...) {
    brevanto::ReportFatalError("Stopped by an unknown error", windowed && application != nullptr);
  }
  return 1;
}
