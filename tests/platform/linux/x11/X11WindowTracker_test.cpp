#include "platform/linux/x11/X11WindowTracker.h"

#include <gtest/gtest.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "support/DisplayLock.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;

uint32_t Atom(xcb_connection_t* c, const std::string& name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr);
  const uint32_t atom = reply ? reply->atom : 0;
  std::free(reply);
  return atom;
}

// A bare X server of the test's own: windows are created, named and focused
// the way applications and window managers do it.
class X11WindowTrackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no X display (make test runs Xvfb)";
    // Other tests move the focus of the same server.
    lock_.emplace();
    // Xvfb resets itself when its last client leaves, and refuses connections
    // meanwhile; the previous test may just have left.
    for (int attempt = 0; attempt < 100; ++attempt) {
      c_ = xcb_connect(nullptr, nullptr);
      if (!xcb_connection_has_error(c_)) break;
      xcb_disconnect(c_);
      c_ = nullptr;
      std::this_thread::sleep_for(20ms);
    }
    if (c_ == nullptr) GTEST_SKIP() << "cannot connect to the X display";
    root_ = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    xcb_get_property_reply_t* wm = xcb_get_property_reply(
        c_,
        xcb_get_property(c_, 0, root_, Atom(c_, "_NET_SUPPORTING_WM_CHECK"), XCB_ATOM_ANY, 0, 1),
        nullptr);
    const bool windowManager = wm && wm->type != XCB_ATOM_NONE;
    std::free(wm);
    if (windowManager) GTEST_SKIP() << "a window manager runs; the test needs a bare server";
  }
  void TearDown() override {
    if (c_) xcb_disconnect(c_);
  }

  std::optional<testing::DisplayLock> lock_;

  uint32_t CreateWindow(uint32_t parent = 0) {
    const uint32_t window = xcb_generate_id(c_);
    xcb_create_window(c_, XCB_COPY_FROM_PARENT, window, parent ? parent : root_, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_map_window(c_, window);
    return window;
  }
  void SetText(uint32_t window, const std::string& property, const std::string& type,
               const std::string& text) {
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, Atom(c_, property), Atom(c_, type), 8,
                        static_cast<uint32_t>(text.size()), text.data());
  }
  void SetCardinal(uint32_t window, const std::string& property, uint32_t type, uint32_t value) {
    xcb_change_property(c_, XCB_PROP_MODE_REPLACE, window, Atom(c_, property), type, 32, 1, &value);
  }
  void Focus(uint32_t window) {
    xcb_set_input_focus(c_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    Sync();
  }
  // Waits until every request of this connection reached the server.
  void Sync() { std::free(xcb_get_input_focus_reply(c_, xcb_get_input_focus(c_), nullptr)); }

  // The tracker learns of changes of _NET_ACTIVE_WINDOW and of the focus by
  // events, which take a moment to arrive and be answered.
  WindowId ForegroundSoon(X11WindowTracker& tracker, WindowId expected) {
    WindowId seen = tracker.ForegroundWindow();
    for (int i = 0; i < 200 && seen != expected; ++i) {
      std::this_thread::sleep_for(5ms);
      seen = tracker.ForegroundWindow();
    }
    return seen;
  }

  xcb_connection_t* c_ = nullptr;
  uint32_t root_ = 0;
};

TEST_F(X11WindowTrackerTest, FocusedWindowIsTheForegroundWithItsTitleAndExecutable) {
  X11WindowTracker tracker;
  ASSERT_TRUE(tracker.Connected());

  const uint32_t app = CreateWindow();
  SetText(app, "_NET_WM_NAME", "UTF8_STRING", "Brevanto テスト");
  SetText(app, "WM_NAME", "STRING", "fallback");
  SetCardinal(app, "_NET_WM_PID", XCB_ATOM_CARDINAL, static_cast<uint32_t>(::getpid()));
  const uint32_t child = CreateWindow(app);
  Focus(app);

  EXPECT_EQ(ForegroundSoon(tracker, app), app);
  EXPECT_EQ(tracker.WindowTitle(app), "Brevanto テスト");
  const ProcessPath process = tracker.ProcessPathOf(app);
  EXPECT_EQ(process.status, ProcessPathStatus::Found);
  EXPECT_EQ(process.path, std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_FALSE(tracker.IsDesktopOrDock(app));

  // Focus on a part of the application still means the application.
  Focus(child);
  EXPECT_EQ(ForegroundSoon(tracker, app), app);

  Focus(XCB_INPUT_FOCUS_POINTER_ROOT);
  EXPECT_EQ(ForegroundSoon(tracker, kNoWindow), kNoWindow);
}

// Without a window manager the tracker learns of focus moves from events;
// each of these moves reaches different windows.
TEST_F(X11WindowTrackerTest, FocusMovesAreSeenThroughEvents) {
  X11WindowTracker tracker;
  const uint32_t first = CreateWindow();
  const uint32_t firstChild = CreateWindow(first);
  const uint32_t second = CreateWindow();
  const uint32_t secondChild = CreateWindow(second);
  Focus(first);
  ASSERT_EQ(ForegroundSoon(tracker, first), first);

  const struct {
    const char* name;
    uint32_t focus;
    WindowId expected;
  } moves[] = {
      {"to another application", second, second},
      {"into a part of it", secondChild, second},
      {"to a part of another application", firstChild, first},
      {"to no window", XCB_WINDOW_NONE, kNoWindow},
      {"back from no window", second, second},
      {"to the root", root_, kNoWindow},
      {"back from the root", firstChild, first},
  };
  for (const auto& move : moves) {
    SCOPED_TRACE(move.name);
    Focus(move.focus);
    EXPECT_EQ(ForegroundSoon(tracker, move.expected), move.expected);
  }

  // The focused application goes: the focus falls back to the root.
  xcb_destroy_window(c_, first);
  Sync();
  EXPECT_EQ(ForegroundSoon(tracker, kNoWindow), kNoWindow);
}

// The foreground window is sampled on every tick; while it stays, that must
// cost no request to the server.
TEST_F(X11WindowTrackerTest, ASteadyForegroundCostsNoRoundTrip) {
  const uint32_t app = CreateWindow();
  const uint32_t part = CreateWindow(app);
  const uint32_t other = CreateWindow();
  const uint32_t activeAtom = Atom(c_, "_NET_ACTIVE_WINDOW");
  const struct {
    const char* name;
    uint32_t focus;
    std::optional<uint32_t> active;  // _NET_ACTIVE_WINDOW, unset when empty
    WindowId expected;
  } cases[] = {
      {"focus on an application", part, std::nullopt, app},
      {"focus on no window", XCB_INPUT_FOCUS_POINTER_ROOT, std::nullopt, kNoWindow},
      {"active window named", part, other, other},
      {"no active window", part, XCB_WINDOW_NONE, kNoWindow},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    X11WindowTracker tracker;
    Focus(c.focus);
    if (c.active) {
      SetCardinal(root_, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, *c.active);
    } else {
      xcb_delete_property(c_, root_, activeAtom);
    }
    Sync();
    ASSERT_EQ(ForegroundSoon(tracker, c.expected), c.expected);
    // Events of the set-up that arrived late are taken in first.
    std::this_thread::sleep_for(50ms);
    tracker.ForegroundWindow();

    const int before = tracker.RoundTrips();
    for (int tick = 0; tick < 20; ++tick) EXPECT_EQ(tracker.ForegroundWindow(), c.expected);
    EXPECT_EQ(tracker.RoundTrips(), before);
  }
  xcb_delete_property(c_, root_, activeAtom);
  Sync();
}

TEST_F(X11WindowTrackerTest, WindowManagersActiveWindowWinsOverTheFocus) {
  X11WindowTracker tracker;
  const uint32_t focused = CreateWindow();
  const uint32_t active = CreateWindow();
  Focus(focused);
  SetCardinal(root_, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, active);
  Sync();
  EXPECT_EQ(ForegroundSoon(tracker, active), active);

  // The window manager says no window is active: then none is, whatever
  // holds the focus.
  SetCardinal(root_, "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW, XCB_WINDOW_NONE);
  Sync();
  EXPECT_EQ(ForegroundSoon(tracker, kNoWindow), kNoWindow);

  xcb_delete_property(c_, root_, Atom(c_, "_NET_ACTIVE_WINDOW"));
  Sync();
  EXPECT_EQ(ForegroundSoon(tracker, focused), focused);
}

TEST_F(X11WindowTrackerTest, PlainWmNameAndMissingDetails) {
  X11WindowTracker tracker;
  const uint32_t window = CreateWindow();
  SetText(window, "WM_NAME", "STRING", "caf\xE9");
  const uint32_t dock = CreateWindow();
  const uint32_t dockType = Atom(c_, "_NET_WM_WINDOW_TYPE_DOCK");
  xcb_change_property(c_, XCB_PROP_MODE_REPLACE, dock, Atom(c_, "_NET_WM_WINDOW_TYPE"),
                      XCB_ATOM_ATOM, 32, 1, &dockType);
  Sync();

  EXPECT_EQ(tracker.WindowTitle(window), "café");
  EXPECT_EQ(tracker.WindowTitle(dock), "");
  EXPECT_EQ(tracker.ProcessPathOf(window).status, ProcessPathStatus::NoProcess);
  EXPECT_TRUE(tracker.IsDesktopOrDock(dock));
}

// A process id names a process of the machine the client runs on; the
// window of a client on another machine cannot be traced to a program here.
TEST_F(X11WindowTrackerTest, ProcessIdCountsOnlyForClientsOfThisMachine) {
  X11WindowTracker tracker;
  char buffer[256] = {};
  ASSERT_EQ(::gethostname(buffer, sizeof buffer - 1), 0);
  const std::string host = buffer;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
  const struct {
    const char* name;
    std::optional<std::string> machine;
    bool found;
  } cases[] = {
      {"no machine named", std::nullopt, true},
      {"this machine", host, true},
      {"this machine, fully qualified", host + ".example.org", true},
      {"another machine", "elsewhere-" + host, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const uint32_t window = CreateWindow();
    SetCardinal(window, "_NET_WM_PID", XCB_ATOM_CARDINAL, static_cast<uint32_t>(::getpid()));
    if (c.machine) SetText(window, "WM_CLIENT_MACHINE", "STRING", *c.machine);
    Sync();
    const ProcessPath process = tracker.ProcessPathOf(window);
    EXPECT_EQ(process.status, c.found ? ProcessPathStatus::Found : ProcessPathStatus::NoProcess);
    EXPECT_EQ(process.path, c.found ? self : "");
  }
}

TEST(X11WindowTracker, WithoutADisplayEveryWindowIsNoneAndThatIsLoggedOnce) {
  testing::LogCapture log(/*debug=*/true);
  X11WindowTracker tracker("unix:/nonexistent/brevanto-test-display:0");
  EXPECT_FALSE(tracker.Connected());
  EXPECT_EQ(tracker.ForegroundWindow(), kNoWindow);
  EXPECT_EQ(tracker.ForegroundWindow(), kNoWindow);
  EXPECT_EQ(tracker.WindowTitle(1234), "");
  EXPECT_EQ(log.Messages().size(), 1u);
}

TEST(X11WindowTracker, ExecutableOfAProcessThatIsGoneIsNoProcess) {
  EXPECT_EQ(X11WindowTracker::ExecutableOf(::getpid()).path,
            std::filesystem::read_symlink("/proc/self/exe").string());
  EXPECT_EQ(X11WindowTracker::ExecutableOf(0x3FFFFFFF).status, ProcessPathStatus::NoProcess);
}

}  // namespace
}  // namespace brevanto
