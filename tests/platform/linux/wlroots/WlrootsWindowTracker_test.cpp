// The window tracking of wlroots compositors against a real headless Sway:
// native Wayland windows of another program, their titles, app ids and
// executables, and ids that stay with their windows.
#include "platform/linux/wlroots/WlrootsWindowTracker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "support/HeadlessSway.h"

namespace brevanto {
namespace {

using testing::HeadlessSway;
using testing::WaylandWindowProcess;

bool WaitFor(const std::function<bool()>& done) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return true;
}

class WlrootsWindowTrackerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string whyNot;
    sway_ = HeadlessSway::Start(whyNot);
    if (!sway_) GTEST_SKIP() << whyNot;
  }

  std::unique_ptr<WaylandWindowProcess> OpenWindow(const std::string& title) {
    return WaylandWindowProcess::Open(sway_->WaylandDisplay(), title, "org.brevanto.probe");
  }

  std::unique_ptr<HeadlessSway> sway_;
};

TEST_F(WlrootsWindowTrackerTest, TheFocusedWindowGivesItsTitleAppIdAndProgram) {
  auto tracker = WlrootsWindowTracker::Open(sway_->WaylandDisplay().c_str(), sway_->SwaySocket());
  ASSERT_NE(tracker, nullptr);
  EXPECT_TRUE(tracker->KnowsProcesses());
  EXPECT_EQ(tracker->ForegroundWindow(), kNoWindow);

  auto window = OpenWindow("Brevanto probe — one");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return tracker->ForegroundWindow() != kNoWindow; }));
  const WindowId id = tracker->ForegroundWindow();
  EXPECT_EQ(tracker->WindowTitle(id), "Brevanto probe — one");
  EXPECT_EQ(tracker->AppIdOf(id), "org.brevanto.probe");
  const ProcessPath path = tracker->ProcessPathOf(id);
  EXPECT_EQ(path.status, ProcessPathStatus::Found);
  EXPECT_EQ(path.path, WaylandWindowProcess::Executable());
  EXPECT_FALSE(tracker->IsDesktopOrDock(id));
  EXPECT_FALSE(tracker->IsOwnWindow(id));

  // Gone: the id means nothing any more, and nothing is in front.
  window.reset();
  ASSERT_TRUE(WaitFor([&] { return tracker->ForegroundWindow() == kNoWindow; }));
  EXPECT_EQ(tracker->WindowTitle(id), "");
  EXPECT_EQ(tracker->ProcessPathOf(id).status, ProcessPathStatus::NoProcess);
}

TEST_F(WlrootsWindowTrackerTest, EachWindowKeepsItsOwnId) {
  auto tracker = WlrootsWindowTracker::Open(sway_->WaylandDisplay().c_str(), sway_->SwaySocket());
  ASSERT_NE(tracker, nullptr);
  auto first = OpenWindow("First");
  ASSERT_NE(first, nullptr);
  ASSERT_TRUE(
      WaitFor([&] { return tracker->WindowTitle(tracker->ForegroundWindow()) == "First"; }));
  const WindowId firstId = tracker->ForegroundWindow();
  {
    // Sway gives a new window the focus.
    auto second = OpenWindow("Second");
    ASSERT_NE(second, nullptr);
    ASSERT_TRUE(
        WaitFor([&] { return tracker->WindowTitle(tracker->ForegroundWindow()) == "Second"; }));
    const WindowId secondId = tracker->ForegroundWindow();
    EXPECT_NE(secondId, firstId);
    EXPECT_EQ(tracker->WindowTitle(firstId), "First");
    EXPECT_EQ(tracker->ProcessPathOf(secondId).path, WaylandWindowProcess::Executable());
  }
  // Back to the first window: the same id as before.
  ASSERT_TRUE(WaitFor([&] { return tracker->ForegroundWindow() == firstId; }));
}

TEST_F(WlrootsWindowTrackerTest, WithoutSwayIpcTitlesAreKnownButNoProgram) {
  auto tracker = WlrootsWindowTracker::Open(sway_->WaylandDisplay().c_str(), "");
  ASSERT_NE(tracker, nullptr);
  EXPECT_FALSE(tracker->KnowsProcesses());
  auto window = OpenWindow("No IPC");
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(WaitFor([&] { return tracker->ForegroundWindow() != kNoWindow; }));
  EXPECT_EQ(tracker->WindowTitle(tracker->ForegroundWindow()), "No IPC");
  EXPECT_EQ(tracker->ProcessPathOf(tracker->ForegroundWindow()).status,
            ProcessPathStatus::NoProcess);
}

TEST(WlrootsWindowTrackerOpen, NothingWithoutACompositor) {
  EXPECT_EQ(WlrootsWindowTracker::Open("/nonexistent/wayland-9", ""), nullptr);
}

}  // namespace
}  // namespace brevanto
