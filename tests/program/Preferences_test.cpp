// The preferences of the real program, changed as a user changes them: by
// keyboard, through the menu, with the program running.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
// clang-format off
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <X11/extensions/XTest.h>
// clang-format on

#include "program/ProgramProcess.h"
#include "support/TestWindow.h"

namespace brevanto::testing {
namespace {

using namespace std::chrono_literals;

std::string WindowTitle(Display* display, Window window) {
  const Atom name = XInternAtom(display, "_NET_WM_NAME", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::string title;
  if (XGetWindowProperty(display, window, name, 0, 1024, False, utf8, &type, &format, &items,
                         &after, &data) == Success &&
      data != nullptr) {
    title.assign(reinterpret_cast<const char*>(data), items);
  }
  if (data != nullptr) XFree(data);
  return title;
}

// The viewable top-level window whose title starts so, or None.
Window FindWindow(Display* display, const std::string& titleStart) {
  const auto end = std::chrono::steady_clock::now() + 15s;
  while (std::chrono::steady_clock::now() < end) {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    Window found = None;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count)) {
      for (unsigned i = 0; i < count && found == None; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) &&
            attributes.map_state == IsViewable &&
            WindowTitle(display, children[i]).rfind(titleStart, 0) == 0) {
          found = children[i];
        }
      }
      if (children != nullptr) XFree(children);
    }
    if (found != None) return found;
    std::this_thread::sleep_for(100ms);
  }
  return None;
}

// Without a window manager the keyboard goes where the focus is put.
void Focus(Display* display, Window window) {
  XSetInputFocus(display, window, RevertToParent, CurrentTime);
  XSync(display, False);
  std::this_thread::sleep_for(300ms);
}

void Press(Display* display, KeySym key, KeySym modifier = NoSymbol) {
  const KeyCode mod = modifier == NoSymbol ? 0 : XKeysymToKeycode(display, modifier);
  const KeyCode code = XKeysymToKeycode(display, key);
  if (mod) XTestFakeKeyEvent(display, mod, True, CurrentTime);
  XTestFakeKeyEvent(display, code, True, CurrentTime);
  XTestFakeKeyEvent(display, code, False, CurrentTime);
  if (mod) XTestFakeKeyEvent(display, mod, False, CurrentTime);
  XSync(display, False);
  std::this_thread::sleep_for(150ms);
}

TEST(Preferences, DebugLogAndInputApiModeApplyAtOnceAreSavedAndKeepAPauseOfProcessing) {
  if (!HasDisplay()) GTEST_SKIP() << kNoDisplayReason;
  DisplayLock lock;
  Display* display = OpenTestDisplay();
  ASSERT_NE(display, nullptr);
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    GTEST_SKIP() << "the X server has no XTest extension to type with";
  }
  ProgramFixtureData run;
  run.WriteData("Race.cfg", "[General]\r\nFileVersion=70\r\n");
  run.WriteData("Brevanto.ini", "[LastStatus]\r\nFileName=Race\r\nShowDebugLog=0\r\n");
  std::unique_ptr<ChildProcess> program = run.Start({"--no-uinput"});
  ASSERT_TRUE(WaitForText(run.LogPath(), "TimerInit: Timer initialized", 30s))
      << ReadText(run.Output());

  const Window main = FindWindow(display, "Brevanto v");
  ASSERT_NE(main, None);
  Focus(display, main);
  // The last item of the menu pauses processing; the changes must not lift it.
  Press(display, XK_s, XK_Alt_L);  // 設定(&S)
  Press(display, XK_Up);
  Press(display, XK_Return);
  ASSERT_TRUE(WaitForText(run.LogPath(), "Disabling joystick processing temporarily", 10s));
  Press(display, XK_s, XK_Alt_L);
  Press(display, XK_p);  // 全体設定... (&P)
  const Window dialog = FindWindow(display, "設定");
  ASSERT_NE(dialog, None) << "the menu opens the preferences";
  Focus(display, dialog);
  // From the first box to the debug log box: the boxes of the left column,
  // their edits disabled with these settings, come first.
  for (int i = 0; i < 11; ++i) Press(display, XK_Tab);
  Press(display, XK_space);
  // On through the speed to the input API mode: two further down is mode 4.
  Press(display, XK_Tab);
  Press(display, XK_Tab);
  Press(display, XK_Down);
  Press(display, XK_Down);
  Press(display, XK_Return);

  EXPECT_TRUE(WaitForText(run.LogPath(), "Saving .ini file...", 10s)) << ReadText(run.LogPath());
  const std::string log = ReadText(run.LogPath());
  EXPECT_NE(log.find("Info   Debug logging is enabled"), std::string::npos) << log;
  EXPECT_EQ(log.find("Opening PreferenceDialog..."), std::string::npos)
      << "debug lines only from the switch on";
  EXPECT_NE(log.find("Debug  API Mode is changed from 2 to 4"), std::string::npos) << log;
  EXPECT_NE(log.find("Debug  Detecting Joysticks... (API mode = 4)"), std::string::npos) << log;
  EXPECT_NE(log.find("Debug  Closed PreferenceDialog"), std::string::npos) << log;
  // The dialog's own pause around its changes ends; the user's stays.
  EXPECT_EQ(log.find("Enabling joystick processing"), std::string::npos) << "the pause stays";
  EXPECT_NE(FindWindow(display, "Brevanto v7.3.2 (一時停止中)"), None);
  const std::string ini = ReadText(run.DataDir() + "Brevanto.ini");
  EXPECT_NE(ini.find("ShowDebugLog=1"), std::string::npos) << ini;
  EXPECT_NE(ini.find("XInputSupport=4"), std::string::npos) << ini;

  program->Signal(SIGTERM);
  EXPECT_EQ(program->Wait(30s), std::optional<int>(0)) << ReadText(run.Output());
  XCloseDisplay(display);
}

}  // namespace
}  // namespace brevanto::testing
