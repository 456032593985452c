// Switching profiles by initial from another program: the initial is one
// byte of the Japanese Windows code page.

#include <gtest/gtest.h>

#include <string>

#include "program/ProgramProcess.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kProfile[] = "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\n";

TEST(ProfileInitial, AHalfWidthKatakanaInitialFindsItsProfile) {
  ProgramFixtureData run;
  // 0xC0 is the half-width katakana TA in CP932 and A with grave in Latin-1.
  run.WriteData("Àtlas.cfg", kProfile);
  run.WriteData("ﾀｲﾑ.cfg", kProfile);
  run.WriteData("Other.cfg", kProfile);
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Other\r\n");
  std::unique_ptr<ChildProcess> program = run.Start({"--headless"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: Timer initialized", 30s))
      << ReadText(run.Output());

  // The byte as another program sends it, and the character as typed.
  for (const char* initial : {"\xC0", "ﾀ"}) {
    SCOPED_TRACE(initial);
    EXPECT_EQ(run.Send({"profile", "Other"}), 0) << ReadText(run.Output());
    EXPECT_EQ(run.Send({"switch-file", initial}), 0) << ReadText(run.Output());
  }
  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0));

  const std::string log = ReadText(run.LogPath());
  const auto count = [&log](const std::string& text) {
    std::size_t n = 0;
    for (std::size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1)) {
      ++n;
    }
    return n;
  };
  EXPECT_EQ(count("Received WM_BRV_SWITCH_FILE Message: ﾀ ("), 2u) << log;
  EXPECT_EQ(count("About to load config file \"ﾀｲﾑ\""), 2u) << log;
  EXPECT_EQ(count("Àtlas"), 0u) << log;
  EXPECT_NE(ReadText(run.DataDir() + "Brevanto.ini").find("FileName=ﾀｲﾑ"), std::string::npos);
}

}  // namespace
}  // namespace brevanto::testing
