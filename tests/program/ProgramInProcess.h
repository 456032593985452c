#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/program/BrevantoProgram.h"
#include "app/program/ProgramOptions.h"
#include "core/settings/StartupContext.h"
#include "program/ProgramProcess.h"
#include "support/DisplayLock.h"
#include "support/ScopedEnvironment.h"

namespace brevanto::testing {

// The real program with its window, started inside the test process on a
// data directory of its own, so that a test can work its window and watch
// what the objects the program wires together do. The environment it reads
// is the one a started program gets from ProgramFixtureData.
class ProgramInProcess : public ::testing::Test {
 protected:
  void SetUp() override {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
      GTEST_SKIP() << "no X display for the window (`make test` runs these under xvfb-run)";
    }
  }
  void TearDown() override {
    program.reset();
    environment_.reset();
  }

  // Starts the program with these options beside the data directory and
  // output through the X server. False (with the test failing) when it did
  // not start.
  bool Start(const std::vector<std::string>& options = {}) {
    SetEnvironment({
        {"HOME", run.Path("home")},
        {"XDG_CONFIG_HOME", run.Path("home/.config")},
        {"XDG_RUNTIME_DIR", run.Path("runtime")},
        {"BREVANTO_DATA_DIR", ""},
        {"BREVANTO_INI_FILE", ""},
        {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + run.Path("no-system-bus")},
    });
    std::vector<std::string> arguments = {BREVANTO_PATH, "--data-dir", run.DataDir(),
                                          "--no-uinput"};
    arguments.insert(arguments.end(), options.begin(), options.end());
    ProgramOptions parsed = ParseProgramOptions(arguments);
    if (!parsed.error.empty()) {
      ADD_FAILURE() << parsed.error;
      return false;
    }
    program = std::make_unique<BrevantoProgram>(StartupContext::FromProcess(0, nullptr, nullptr),
                                                std::move(parsed), true);
    if (const std::optional<int> early = program->Start()) {
      ADD_FAILURE() << "the program ended at start with " << *early << "\n"
                    << ReadText(run.LogPath());
      return false;
    }
    if (program->Form() == nullptr) {
      ADD_FAILURE() << "the program has no window";
      return false;
    }
    return true;
  }

  // Runs the program's event loop until done holds; false when the time ran
  // out first.
  static bool ServeUntil(const std::function<bool()>& done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
      if (timer.elapsed() > timeoutMs) return false;
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
  }
  static void ServeFor(int ms) {
    ServeUntil([] { return false; }, ms);
  }

  // The window takes the focus, which other tests' windows must keep.
  DisplayLock displayLock;
  ProgramFixtureData run;
  std::unique_ptr<BrevantoProgram> program;

 private:
  // An empty value unsets the variable.
  void SetEnvironment(const std::map<std::string, std::string>& changes) {
    if (!environment_) environment_ = std::make_unique<ScopedEnvironment>();
    for (const auto& [name, value] : changes) {
      environment_->Set(name, value.empty() ? std::nullopt : std::optional<std::string>(value));
    }
  }

  std::unique_ptr<ScopedEnvironment> environment_;
};

}  // namespace brevanto::testing
