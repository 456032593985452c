// What the program does when its start does not go as planned: options it
// does not know, and an error nobody foresaw.

#include <gtest/gtest.h>

#include <string>

#include "program/ProgramProcess.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

TEST(StartProblems, AnUnknownOptionIsReportedAndTheProgramRuns) {
  ProgramFixtureData run;
  std::unique_ptr<ChildProcess> program = run.Start({"--frobnicate", "--headless", "--x=1"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: Timer initialized", 30s))
      << ReadText(run.Output());
  EXPECT_TRUE(program->Running());
  const std::string output = ReadText(run.Output());
  EXPECT_NE(output.find("brevanto: unknown option --frobnicate ignored\n"), std::string::npos)
      << output;
  EXPECT_NE(output.find("brevanto: unknown option --x=1 ignored\n"), std::string::npos) << output;
  const std::string log = ReadText(run.LogPath());
  EXPECT_NE(log.find("Unknown option ignored: --frobnicate"), std::string::npos) << log;
  EXPECT_NE(log.find("Unknown option ignored: --x=1"), std::string::npos) << log;
  // The known option after it still counts.
  EXPECT_NE(log.find("Running without a window (headless, as asked)"), std::string::npos);

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0));
}

TEST(StartProblems, AnUnforeseenErrorInStartUpIsLoggedShownAndEndsTheProgramInOrder) {
  // A stack limit so large that no thread's stack can be mapped: the first
  // thread start-up makes that is not prepared for it throws.
  if (std::string(PRLIMIT_PATH).empty()) GTEST_SKIP() << "prlimit (util-linux) is not installed";
  ProgramFixtureData run;
  const std::vector<std::string> arguments = {
      PRLIMIT_PATH, "--stack=1099511627776", "--",        BREVANTO_PATH,
      "--data-dir", run.DataDir(),           "--headless"};
  ChildProcess program(arguments, run.Env(), run.Output());
  ASSERT_TRUE(program.Started());
  const std::optional<int> code = program.Wait(60s);
  const std::string output = ReadText(run.Output());
  ASSERT_TRUE(code.has_value()) << output;
  EXPECT_EQ(*code, 1) << output;
  const std::string log = ReadText(run.LogPath());
  const std::size_t failed = log.find("Error  Start-up failed: ");
  ASSERT_NE(failed, std::string::npos) << log;
  const std::size_t end = log.find_first_of("\r\n", failed);
  const std::string reason = log.substr(failed + 7, end - failed - 7);
  EXPECT_NE(output.find("brevanto: " + reason), std::string::npos) << output;
  // The orderly way out: settings saved, the log closed.
  EXPECT_NE(log.find("Saving .ini file...", failed), std::string::npos) << log;
  EXPECT_NE(log.find("Application terminated", failed), std::string::npos) << log;
}

}  // namespace
}  // namespace brevanto::testing
