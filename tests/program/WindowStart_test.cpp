// The window of the real program as the X server sees it: started hidden in
// the tray, shown and hidden again by messages from other programs.

#include <gtest/gtest.h>

#include <filesystem>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
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

// Owns the system tray selection of the default screen, as a desktop's tray
// does, for as long as it lives. It docks nothing: the program only needs to
// know that a tray is there.
class FakeSystemTray {
 public:
  explicit FakeSystemTray(Display* display) : display_(display) {
    const Window root = DefaultRootWindow(display);
    window_ = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
    const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
    const Atom selection = XInternAtom(display, name.c_str(), False);
    XSetSelectionOwner(display, selection, window_, CurrentTime);
    XEvent announce{};
    announce.xclient.type = ClientMessage;
    announce.xclient.window = root;
    announce.xclient.message_type = XInternAtom(display, "MANAGER", False);
    announce.xclient.format = 32;
    announce.xclient.data.l[0] = CurrentTime;
    announce.xclient.data.l[1] = static_cast<long>(selection);
    announce.xclient.data.l[2] = static_cast<long>(window_);
    XSendEvent(display, root, False, StructureNotifyMask, &announce);
    XSync(display, False);
  }
  ~FakeSystemTray() {
    XDestroyWindow(display_, window_);
    XSync(display_, False);
  }
  FakeSystemTray(const FakeSystemTray&) = delete;
  FakeSystemTray& operator=(const FakeSystemTray&) = delete;

 private:
  Display* display_;
  Window window_ = 0;
};

// Whether a top-level window of the process is minimized: the EWMH hidden
// state, or the ICCCM iconic start, which a window manager turns into a
// task-bar entry.
bool HasMinimizedWindow(Display* display, pid_t pid) {
  const Atom wmPid = XInternAtom(display, "_NET_WM_PID", True);
  const Atom netState = XInternAtom(display, "_NET_WM_STATE", False);
  const Atom hidden = XInternAtom(display, "_NET_WM_STATE_HIDDEN", False);
  if (wmPid == None) return false;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
    return false;
  }
  const auto property = [&](Window w, Atom name, Atom kind, auto&& visit) {
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, w, name, 0, 64, False, kind, &type, &format, &items, &after,
                           &data) == Success &&
        data != nullptr && format == 32) {
      visit(reinterpret_cast<unsigned long*>(data), items);
    }
    if (data != nullptr) XFree(data);
  };
  bool minimized = false;
  for (unsigned i = 0; i < count && !minimized; ++i) {
    bool ours = false;
    property(children[i], wmPid, XA_CARDINAL, [&](unsigned long* values, unsigned long n) {
      ours = n == 1 && static_cast<pid_t>(values[0]) == pid;
    });
    if (!ours) continue;
    property(children[i], netState, XA_ATOM, [&](unsigned long* values, unsigned long n) {
      for (unsigned long k = 0; k < n; ++k) minimized |= values[k] == hidden;
    });
    if (XWMHints* hints = XGetWMHints(display, children[i])) {
      minimized |= (hints->flags & StateHint) != 0 && hints->initial_state == IconicState;
      XFree(hints);
    }
  }
  if (children != nullptr) XFree(children);
  return minimized;
}

constexpr char kHiddenSettings[] =
    "[LastStatus]\r\nStartIconified=1\r\nHideWhenMinimized=1\r\n"
    "WindowPositionTop=400\r\nWindowPositionLeft=600\r\n";

TEST(WindowStart, HiddenInTheTrayUntilRestoredAndHiddenAgainWhenMinimized) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  // A restored window takes the focus, which other tests' windows must keep.
  DisplayLock lock;
  Display* display = OpenTestDisplay();
  ASSERT_NE(display, nullptr);
  {
    FakeSystemTray tray(display);
    ProgramFixtureData run;
    run.WriteData("Race.cfg", "[General]\r\nFileVersion=70\r\n");
    run.WriteData("Brevanto.ini", kHiddenSettings);
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
  }
  XCloseDisplay(display);
}

// Hidden, the window could only come back through a tray icon.
TEST(WindowStart, WithoutASystemTrayTheWindowStartsOnTheTaskBar) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  DisplayLock lock;
  Display* display = OpenTestDisplay();
  ASSERT_NE(display, nullptr);
  const std::string name = "_NET_SYSTEM_TRAY_S" + std::to_string(DefaultScreen(display));
  if (XGetSelectionOwner(display, XInternAtom(display, name.c_str(), False)) != None) {
    XCloseDisplay(display);
    GTEST_SKIP() << "this display has a system tray";
  }
  ProgramFixtureData run;
  run.WriteData("Race.cfg", "[General]\r\nFileVersion=70\r\n");
  run.WriteData("Brevanto.ini", kHiddenSettings);
  std::unique_ptr<ChildProcess> program = run.Start({"--no-uinput"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: ", 30s)) << ReadText(run.Output());
  EXPECT_TRUE(WaitForText(
      run.LogPath(), "No system tray on this desktop: minimizing to the task bar instead of hiding",
      10s));
  const auto end = std::chrono::steady_clock::now() + 10s;
  while (!HasMinimizedWindow(display, program->Pid()) && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(50ms);
  }
  EXPECT_TRUE(HasMinimizedWindow(display, program->Pid()));
  EXPECT_EQ(ReadText(run.LogPath()).find("Not showing (hiding) the main window"),
            std::string::npos);

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
                           "applink-item.png", "assign-keyboard.png", "assign-multi.png",
                           "assign-mouse.png", "assign-position.png", "assign-text.png",
                           "assign-special.png"}) {
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
