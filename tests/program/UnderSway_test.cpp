// The program in a Wayland session of a wlroots compositor (a headless Sway
// the test starts): what it sees of native Wayland windows and how it sends
// to them.

#include <gtest/gtest.h>

#include <string>

#include "program/ProgramProcess.h"
#include "support/HeadlessSway.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kProfile[] = "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\n";

// A native Wayland window comes to the front and its application link
// switches the profile through the running processing cycle; when it goes,
// the profile chosen before comes back.
TEST(UnderSway, ANativeWaylandWindowSwitchesTheProfileByItsTitleAndProgram) {
  std::string whyNot;
  const std::unique_ptr<HeadlessSway> sway = HeadlessSway::Start(whyNot);
  if (!sway) GTEST_SKIP() << whyNot;

  ProgramFixtureData run;
  run.WriteData("Desktop.cfg", kProfile);
  run.WriteData("Game.cfg", kProfile);
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Desktop\r\n");
  // Both the program and the title must match: the title from the
  // compositor's window list, the program from the process Sway names.
  run.WriteData("AppLink.dat",
                "\xEF\xBB\xBF"
                "AppLinkData\r\n46\r\n1\r\n\r\n"
                "Game|Game|wayland_window_probe|Wayland Game\r\n");
  std::unique_ptr<ChildProcess> program =
      run.Start({"--headless", "--no-uinput"}, {{"XDG_SESSION_TYPE", "wayland"},
                                                {"WAYLAND_DISPLAY", sway->WaylandDisplay()},
                                                {"SWAYSOCK", sway->SwaySocket()}});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: Timer initialized", 30s))
      << ReadText(run.Output());
  EXPECT_NE(ReadText(run.LogPath())
                .find("Wayland session: application links follow Wayland and X11 windows "
                      "(wlroots foreign-toplevel list, process ids from Sway IPC)"),
            std::string::npos)
      << ReadText(run.LogPath());

  {
    const auto window =
        WaylandWindowProcess::Open(sway->WaylandDisplay(), "Wayland Game — level 1", "game");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(WaitForText(run.LogPath(), "About to load config file \"Game\"", 20s))
        << ReadText(run.LogPath());
  }
  // Its window gone, nothing matches: back to the profile chosen last.
  const auto backToDesktop = [&] {
    const std::string log = ReadText(run.LogPath());
    const std::size_t game = log.find("About to load config file \"Game\"");
    return game != std::string::npos &&
           log.find("About to load config file \"Desktop\"", game) != std::string::npos;
  };
  for (int i = 0; i < 200 && !backToDesktop(); ++i) std::this_thread::sleep_for(50ms);
  EXPECT_TRUE(backToDesktop()) << ReadText(run.LogPath());

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0));
}

// A profile that sends key messages, in a Wayland session whose windows the
// program sees: the keys cannot be addressed to a Wayland window and go as
// with KeySendMode 1 instead, which the log says once.
TEST(UnderSway, KeyMessagesInAWaylandSessionGoAsKeysByVirtualKey) {
  std::string whyNot;
  const std::unique_ptr<HeadlessSway> sway = HeadlessSway::Start(whyNot);
  if (!sway) GTEST_SKIP() << whyNot;

  ProgramFixtureData run;
  run.WriteData("Messages.cfg",
                "[General]\r\nFileVersion=70\r\nNumberOfJoysticks=1\r\nNumberOfButtons=8\r\n"
                "KeySendMode=3\r\n\r\n[Joystick 1]\r\nButton01=1, 41:00:00:00, 0.000, 0, 0\r\n");
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Messages\r\n");
  std::string script = "device 1 dinput\n";
  for (int tick = 60; tick < 1200; tick += 60) {
    script += std::to_string(tick) + " 1 b1 1\n" + std::to_string(tick + 6) + " 1 b1 0\n";
  }
  run.Write("pad.txt", script + "end 1260\n");
  const auto window = WaylandWindowProcess::Open(sway->WaylandDisplay(), "Editor", "editor");
  ASSERT_NE(window, nullptr);

  std::unique_ptr<ChildProcess> program =
      run.Start({"--headless", "--no-uinput", "--virtual-pad=" + run.Path("pad.txt")},
                {{"WAYLAND_DISPLAY", sway->WaylandDisplay()}, {"SWAYSOCK", sway->SwaySocket()}});
  EXPECT_TRUE(WaitForText(run.LogPath(),
                          "KeySendMode 3: Wayland windows take no key messages; keys go as with "
                          "KeySendMode 1",
                          30s))
      << ReadText(run.LogPath());
  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0));
}

}  // namespace
}  // namespace brevanto::testing
