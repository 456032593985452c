// The real program under the test's X server: a scripted virtual controller
// drives it, a small X client window with the focus receives what it sends.

// GoogleTest before Xlib, whose macros (None, Bool) break it.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xlib.h>
#include <X11/keysym.h>
// clang-format on

#include <algorithm>
#include <string>

#include "program/ProgramProcess.h"
#include "support/TestWindow.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

constexpr char kFirstProfile[] =
    "[General]\r\n"
    "FileVersion=70\r\n"
    "NumberOfJoysticks=1\r\n"
    "NumberOfButtons=8\r\n"
    "KeySendMode=1\r\n"
    "\r\n"
    "[Joystick 1]\r\n"
    "Axis1p=2,   50,   0,   0, 0, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0\r\n"
    "Button01=1, 41:00:00:00, 0.000, 0, 0\r\n";

constexpr char kSecondProfile[] =
    "[General]\r\n"
    "FileVersion=70\r\n"
    "NumberOfJoysticks=1\r\n"
    "NumberOfButtons=8\r\n"
    "KeySendMode=1\r\n"
    "\r\n"
    "[Joystick 1]\r\n"
    "Button01=1, 42:00:00:00, 0.000, 0, 0\r\n";

// A generic joystick that presses button 1 briefly and then pushes the stick
// right, once a second for a minute and a half: the test picks up whichever
// round comes after it is ready, however slowly the program starts.
std::string RepeatingPadScript() {
  std::string script = "device 1 dinput\n";
  int tick = 60;
  for (int round = 0; round < 90; ++round, tick += 62) {
    script += std::to_string(tick) + " 1 b1 1\n";
    script += std::to_string(tick + 6) + " 1 b1 0\n";
    script += std::to_string(tick + 20) + " 1 x 1000\n";
    script += std::to_string(tick + 30) + " 1 x 0\n";
  }
  script += "end " + std::to_string(tick) + "\n";
  return script;
}

bool AnyKeyDown(Display* display) {
  char keys[32] = {};
  XQueryKeymap(display, keys);
  return std::any_of(std::begin(keys), std::end(keys), [](char c) { return c != 0; });
}

bool KeyDown(Display* display, KeyCode code) {
  char keys[32] = {};
  XQueryKeymap(display, keys);
  return (keys[code / 8] & (1 << (code % 8))) != 0;
}

class ProgramEndToEnd : public ::testing::TestWithParam<bool> {
 protected:
  bool Windowed() const { return GetParam(); }
};

TEST_P(ProgramEndToEnd, ControllerInputReachesTheFocusedWindowAndNothingStaysDown) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  ProgramFixtureData run;
  run.WriteData("First.cfg", kFirstProfile);
  run.WriteData("Second.cfg", kSecondProfile);
  // The window, when shown, stays clear of the test window and its pointer.
  run.WriteData("Brevanto.ini",
                "[LastStatus]\r\nFileName=First\r\nWindowPositionTop=400\r\n"
                "WindowPositionLeft=600\r\nExitMeansMinimize=1\r\n");
  run.Write("pad.txt", RepeatingPadScript());

  std::unique_ptr<TestWindow> window = TestWindow::Open();
  ASSERT_NE(window, nullptr);
  Display* display = window->display();
  const KeyCode keyA = XKeysymToKeycode(display, XK_a);
  const KeyCode keyB = XKeysymToKeycode(display, XK_b);

  std::vector<std::string> arguments = {"--no-uinput", "--virtual-pad=" + run.Path("pad.txt")};
  if (!Windowed()) arguments.push_back("--headless");
  std::unique_ptr<ChildProcess> program = run.Start(arguments);
  ASSERT_TRUE(program->Started());
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  EXPECT_EQ(ReadText(run.LogPath()).find("without a window (headless") == std::string::npos,
            Windowed());
  // A shown window must not have taken the keyboard focus.
  XSetInputFocus(display, window->window(), RevertToParent, CurrentTime);

  // Button 1 gives A, the stick pushed right moves the pointer right.
  bool pressedA = false, releasedA = false, movedRight = false;
  window->Collect(
      [&](const XEvent& e) {
        if (e.type == KeyPress && e.xkey.keycode == keyA) pressedA = true;
        if (e.type == KeyRelease && e.xkey.keycode == keyA && pressedA) releasedA = true;
        if (e.type == MotionNotify && e.xmotion.x > TestWindow::kPointerX) movedRight = true;
        return pressedA && releasedA && movedRight;
      },
      1, 30s);
  EXPECT_TRUE(pressedA);
  EXPECT_TRUE(releasedA);
  EXPECT_TRUE(movedRight);

  // Another profile through the instance channel: button 1 now gives B.
  ASSERT_EQ(run.Send({"profile", "Second"}), 0) << ReadText(run.Output());
  EXPECT_TRUE(WaitForText(run.LogPath(), "Received WM_COPYDATA Message: Second", 10s));
  const auto pressB = [&](const XEvent& e) { return e.type == KeyPress && e.xkey.keycode == keyB; };
  EXPECT_EQ(window->Collect(pressB, 1, 10s).size(), 1u);

  // B held down through injected input, the controller's slot ignored
  // meanwhile; then the program is told to end.
  ASSERT_EQ(run.Send({"set-input-target", "0", "0"}), 0);
  window->Drain();
  ASSERT_EQ(run.Send({"press", "0"}), 0);
  ASSERT_EQ(window->Collect(pressB, 1, 10s).size(), 1u);
  EXPECT_TRUE(KeyDown(display, keyB));

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  const std::string log = ReadText(run.LogPath());
  EXPECT_TRUE(log.ends_with("Application terminated\r\n")) << log;
  EXPECT_NE(ReadText(run.DataDir() + "Brevanto.ini").find("FileName=Second"), std::string::npos);
  XSync(display, False);
  EXPECT_FALSE(AnyKeyDown(display));
}

INSTANTIATE_TEST_SUITE_P(, ProgramEndToEnd, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "WithWindow" : "Headless";
                         });

}  // namespace
}  // namespace brevanto::testing
