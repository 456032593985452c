// The window of the real program as the X server sees it: started hidden in
// the tray, shown and hidden again by messages from other programs.

#include <gtest/gtest.h>

#include <filesystem>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
// clang-format on

#include "program/ProgramProcess.h"
#include "support/TestWindow.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

// How many top-level windows of the process are viewable now.
int ViewableWindowsOf(Display* display, pid_t pid) {
  const Atom wmPid = XInternAtom(display, "_NET_WM_PID", True);
  if (wmPid == None) return 0;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    return 0;
  }
  int viewable = 0;
  for (unsigned i = 0; i < count; ++i) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, children[i], wmPid, 0, 1, False, XA_CARDINAL, &type, &format,
                           &items, &after, &data) == Success &&
        data != nullptr && items == 1 && format == 32 &&
        static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data)) == pid) {
      XWindowAttributes attributes{};
      if (XGetWindowAttributes(display, children[i], &attributes) &&
          attributes.map_state == IsViewable) {
        ++viewable;
      }
    }
    if (data != nullptr) XFree(data);
  }
  if (children != nullptr) XFree(children);
  return viewable;
}

bool WaitForViewable(Display* display, pid_t pid, int wanted) {
  const auto end = std::chrono::steady_clock::now() + 15s;
  while (ViewableWindowsOf(display, pid) != wanted) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

TEST(WindowStart, HiddenInTheTrayUntilRestoredAndHiddenAgainWhenMinimized) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  // A restored window takes the focus, which other tests' windows must keep.
  DisplayLock lock;
  Display* display = OpenTestDisplay();
  ASSERT_NE(display, nullptr);
  ProgramFixtureData run;
  run.WriteData("Race.cfg", "[General]\r\nFileVersion=70\r\n");
  run.WriteData("Brevanto.ini",
                "[LastStatus]\r\nStartIconified=1\r\nHideWhenMinimized=1\r\n"
                "WindowPositionTop=400\r\nWindowPositionLeft=600\r\n");
  std::unique_ptr<ChildProcess> program = run.Start({"--no-uinput"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  ASSERT_TRUE(WaitForText(run.LogPath(), "Not showing (hiding) the main window", 10s));
  std::this_thread::sleep_for(500ms);
  EXPECT_EQ(ViewableWindowsOf(display, program->Pid()), 0);

  ASSERT_EQ(run.Send({"restore"}), 0);
  EXPECT_TRUE(WaitForViewable(display, program->Pid(), 1));
  ASSERT_EQ(run.Send({"minimize"}), 0);
  EXPECT_TRUE(WaitForViewable(display, program->Pid(), 0));
  ASSERT_EQ(run.Send({"show"}), 0);
  EXPECT_TRUE(WaitForViewable(display, program->Pid(), 1));

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  XCloseDisplay(display);
}

// The pictures of the documentation: the sample data directory with its
// virtual controller, every picture written, and the program ends by itself.
TEST(WindowStart, ScreenshotsOfTheSampleAreWrittenAndTheProgramEnds) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  DisplayLock lock;
  ProgramFixtureData run;
  for (const auto& entry : std::filesystem::directory_iterator(BREVANTO_SCREENSHOT_SAMPLE)) {
    std::filesystem::copy_file(entry.path(), run.DataDir() + entry.path().filename().string());
  }
  const std::string pictures = run.Path("pictures");
  std::filesystem::create_directories(pictures);
  std::unique_ptr<ChildProcess> program = run.Start(
      {"--no-uinput", "--virtual-pad=" + run.DataDir() + "pad.txt", "--screenshots=" + pictures});
  ASSERT_EQ(program->Wait(60s), std::optional<int>(0)) << ReadText(run.Output());
  for (const char* name : {"main-window.png", "main-window-dark.png", "options.png",
                           "tray-menu.png", "about.png", "preferences.png", "applinks.png",
                           "applink-item.png"}) {
    const std::string path = pictures + "/" + name;
    ASSERT_TRUE(std::filesystem::exists(path)) << name;
    EXPECT_EQ(ReadText(path).substr(1, 3), "PNG") << name;
  }
  EXPECT_TRUE(WaitForText(run.LogPath(), "Application terminated", 1s));
}

TEST(WindowStart, ScreenshotsIntoAFolderThatIsMissingFail) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  DisplayLock lock;
  ProgramFixtureData run;
  run.WriteData("Race.cfg", "[General]\r\nFileVersion=70\r\n");
  // Not a first start: no welcome waits for an answer.
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Race\r\n");
  std::unique_ptr<ChildProcess> program =
      run.Start({"--no-uinput", "--screenshots=" + run.Path("missing/folder")});
  EXPECT_EQ(program->Wait(60s), std::optional<int>(1)) << ReadText(run.Output());
}

}  // namespace
}  // namespace brevanto::testing
