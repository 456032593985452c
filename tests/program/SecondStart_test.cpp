// Starting the program while it runs: the second start hands its request over
// and ends, unless several instances are allowed.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>

#include "program/ProgramProcess.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kProfile[] = "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\n";

std::size_t Count(const std::string& text, const std::string& what) {
  std::size_t n = 0;
  for (std::size_t pos = text.find(what); pos != std::string::npos;
       pos = text.find(what, pos + what.size())) {
    ++n;
  }
  return n;
}

TEST(SecondStart, HandsProfileRefreshAndRestoreToTheRunningInstanceAndEnds) {
  ProgramFixtureData run;
  run.WriteData("Other.cfg", kProfile);
  run.WriteData("Race.cfg", kProfile);
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Other\r\nShowDebugLog=1\r\n");
  std::unique_ptr<ChildProcess> first = run.Start({"--headless"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());

  std::unique_ptr<ChildProcess> second = run.Start({"--headless", "-r", "Race"});
  EXPECT_EQ(second->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  ASSERT_TRUE(WaitForText(run.LogPath(), "Received WM_BRV_RESTORE Message", 10s));

  const std::string log = ReadText(run.LogPath());
  // The running instance's log goes on: the second start neither emptied it
  // nor wrote its own start lines into it.
  EXPECT_EQ(Count(log, "Starting Brevanto v"), 1u) << log;
  const std::size_t copyData = log.find("Received WM_COPYDATA Message: Race");
  const std::size_t refresh = log.find("Received WM_BRV_REFRESH_DEVICES Message");
  const std::size_t restore = log.find("Received WM_BRV_RESTORE Message");
  ASSERT_NE(copyData, std::string::npos) << log;
  ASSERT_NE(refresh, std::string::npos) << log;
  EXPECT_LT(copyData, refresh);
  EXPECT_LT(refresh, restore);
  EXPECT_TRUE(first->Running());

  first->Signal(SIGTERM);
  EXPECT_EQ(first->Wait(30s), std::optional<int>(0));
  // Race was made current and is remembered.
  EXPECT_NE(ReadText(run.DataDir() + "Brevanto.ini").find("FileName=Race"), std::string::npos);
}

TEST(SecondStart, RunsBesideTheFirstWhenSeveralInstancesAreAllowed) {
  ProgramFixtureData run;
  run.WriteData("Race.cfg", kProfile);
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nAllowMultipleRunning=1\r\n");
  std::unique_ptr<ChildProcess> first = run.Start({"--headless"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  // Each run writes the log anew; the second's start lines show it is up.
  std::unique_ptr<ChildProcess> second = run.Start({"--headless", "-l"});
  EXPECT_FALSE(second->Wait(3s).has_value()) << ReadText(run.Output());
  EXPECT_TRUE(first->Running());

  for (ChildProcess* p : {first.get(), second.get()}) {
    p->Signal(SIGTERM);
    EXPECT_EQ(p->Wait(30s), std::optional<int>(0));
  }
}

TEST(SecondStart, FindsTheRunningInstanceWhateverItsDataDirectoryWithoutARuntimeFolder) {
  // No $XDG_RUNTIME_DIR: both starts meet in the user's private folder of
  // $TMPDIR, not in their data directories.
  ProgramFixtureData run;
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nShowDebugLog=1\r\n");
  std::filesystem::create_directories(run.Path("tmp"));
  std::filesystem::create_directories(run.Path("other-data"));
  const std::map<std::string, std::string> noRuntime = {{"XDG_RUNTIME_DIR", ""},
                                                        {"TMPDIR", run.Path("tmp")}};
  std::unique_ptr<ChildProcess> first = run.Start({"--headless"}, noRuntime);
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());

  ChildProcess second({BREVANTO_PATH, "--data-dir", run.Path("other-data"), "--headless"},
                      run.Env(noRuntime), run.Output());
  EXPECT_EQ(second.Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  EXPECT_TRUE(WaitForText(run.LogPath(), "Received WM_BRV_RESTORE Message", 10s));
  EXPECT_FALSE(std::filesystem::exists(run.Path("other-data/Brevanto.log")));

  struct stat st {};
  const std::string folder = run.Path("tmp") + "/brevanto-" + std::to_string(::geteuid());
  ASSERT_EQ(::lstat(folder.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0700u);
  EXPECT_TRUE(std::filesystem::exists(folder + "/Mutex_Brevanto.lock"));

  first->Signal(SIGTERM);
  EXPECT_EQ(first->Wait(30s), std::optional<int>(0));
}

TEST(SecondStart, ARequestTheRunningInstanceDoesNotTakeEndsWithAnError) {
  ProgramFixtureData run;
  run.WriteData("Race.cfg", kProfile);
  std::unique_ptr<ChildProcess> first = run.Start({"--headless"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  // The running instance holds its lock but answers nothing.
  first->Signal(SIGSTOP);

  const std::string before = ReadText(run.Output());
  std::unique_ptr<ChildProcess> second = run.Start({"--headless", "Race"});
  const std::optional<int> code = second->Wait(60s);
  first->Signal(SIGCONT);
  const std::string output = ReadText(run.Output()).substr(before.size());
  EXPECT_EQ(code, std::optional<int>(1)) << output;
  // One line that says why.
  EXPECT_TRUE(output.starts_with("brevanto: the running instance")) << output;
  EXPECT_EQ(Count(output, "\n"), 1u) << output;

  first->Signal(SIGTERM);
  EXPECT_EQ(first->Wait(30s), std::optional<int>(0));
}

}  // namespace
}  // namespace brevanto::testing
