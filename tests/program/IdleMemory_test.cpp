// Once started, the running program gives back the pages of code and fonts
// that start-up read: its resident memory falls while it waits.

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <string>

#include "program/ProgramProcess.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

std::size_t ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stoul(line.substr(6));
  }
  return 0;
}

TEST(IdleMemory, TheRunningProgramReleasesWhatStartUpRead) {
  ProgramFixtureData run;
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nShowDebugLog=1\r\n");
  std::unique_ptr<ChildProcess> program = run.Start({"--headless", "--no-uinput"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: Timer initialized", 30s))
      << ReadText(run.Output());
  const std::size_t started = ResidentKb(program->Pid());

  ASSERT_TRUE(WaitForText(run.LogPath(), "Unchanged file pages released: ", 10s))
      << ReadText(run.LogPath());
  const std::size_t waiting = ResidentKb(program->Pid());
  // Qt, SDL and the C++ runtime alone bring well over 4 MiB of code.
  EXPECT_LT(waiting + 4096, started)
      << "resident " << started << " KiB at start, " << waiting << " KiB while waiting";

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0));
  EXPECT_NE(ReadText(run.LogPath()).find("Application terminated"), std::string::npos);
}

}  // namespace
}  // namespace brevanto::testing
