// The foreground window as the desktop reports it: what a report must hold to
// be taken, how windows keep their numbers, and what the processing thread
// reads while reports arrive.

#include "platform/linux/reported/ReportedWindowTracker.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <unordered_map>

#include "support/ChildProcess.h"

namespace brevanto {
namespace {

using testing::ChildProcess;

WindowReport Window(std::string key, std::string title, int64_t processId = 0) {
  return WindowReport{std::move(key), std::move(title), "org.example.app", processId, false};
}

TEST(ReportedWindowTracker, UnsoundReportsChangeNothing) {
  struct Case {
    const char* name;
    WindowReport report;
    ReportVerdict verdict;
  };
  const std::string longKey(ReportedWindowTracker::kMaxKeyBytes + 1, 'k');
  const std::string longTitle(ReportedWindowTracker::kMaxTitleBytes + 1, 't');
  const std::string longAppId(ReportedWindowTracker::kMaxAppIdBytes + 1, 'a');
  const Case cases[] = {
      {"no key", Window("", "Title"), ReportVerdict::NoKey},
      {"long key", Window(longKey, "Title"), ReportVerdict::KeyTooLong},
      {"long title", Window("w", longTitle), ReportVerdict::TitleTooLong},
      {"long app id", WindowReport{"w", "Title", longAppId, 0, false}, ReportVerdict::AppIdTooLong},
      {"negative pid", Window("w", "Title", -1), ReportVerdict::BadProcessId},
      {"pid past the kernel's limit",
       Window("w", "Title", ReportedWindowTracker::kMaxProcessId + 1), ReportVerdict::BadProcessId},
  };
  ReportedWindowTracker tracker;
  ASSERT_EQ(tracker.Activate(Window("front", "Front")), ReportVerdict::Accepted);
  const WindowId front = tracker.ForegroundWindow();
  for (const Case& c : cases) {
    EXPECT_EQ(tracker.Activate(c.report), c.verdict) << c.name;
    EXPECT_EQ(tracker.ForegroundWindow(), front) << c.name;
    EXPECT_EQ(tracker.WindowTitle(front), "Front") << c.name;
  }

  // The limits themselves are still a window's.
  const std::string fullTitle(ReportedWindowTracker::kMaxTitleBytes, 't');
  EXPECT_EQ(tracker.Activate(Window(std::string(ReportedWindowTracker::kMaxKeyBytes, 'k'),
                                    fullTitle, ReportedWindowTracker::kMaxProcessId)),
            ReportVerdict::Accepted);
  EXPECT_EQ(tracker.WindowTitle(tracker.ForegroundWindow()), fullTitle);
}

TEST(ReportedWindowTracker, AWindowKeepsItsNumberWhileItsTitleChanges) {
  ReportedWindowTracker tracker;
  EXPECT_EQ(tracker.ForegroundWindow(), kNoWindow);

  tracker.Activate(Window("editor", "notes.txt"));
  const WindowId editor = tracker.ForegroundWindow();
  EXPECT_NE(editor, kNoWindow);
  tracker.Activate(Window("browser", "News"));
  const WindowId browser = tracker.ForegroundWindow();
  EXPECT_NE(browser, editor);

  tracker.Activate(Window("editor", "todo.txt"));
  EXPECT_EQ(tracker.ForegroundWindow(), editor);
  EXPECT_EQ(tracker.WindowTitle(editor), "todo.txt");
  EXPECT_EQ(tracker.WindowTitle(browser), "News");

  tracker.Clear();
  EXPECT_EQ(tracker.ForegroundWindow(), kNoWindow);
  EXPECT_EQ(tracker.WindowTitle(kNoWindow), "");
}

TEST(ReportedWindowTracker, WindowsLongOutOfFrontAreForgottenNotConfused) {
  ReportedWindowTracker tracker;
  tracker.Activate(Window("first", "First"));
  const WindowId first = tracker.ForegroundWindow();
  for (std::size_t i = 0; i < ReportedWindowTracker::kRememberedWindows; ++i) {
    tracker.Activate(Window("w" + std::to_string(i), "Window " + std::to_string(i)));
    EXPECT_EQ(tracker.WindowTitle(tracker.ForegroundWindow()), "Window " + std::to_string(i));
  }
  EXPECT_EQ(tracker.WindowTitle(first), "");
  EXPECT_EQ(tracker.ProcessPathOf(first).status, ProcessPathStatus::NoProcess);

  // Back in front it is a window like a new one, never another's number.
  tracker.Activate(Window("first", "First"));
  EXPECT_NE(tracker.ForegroundWindow(), first);
  EXPECT_EQ(tracker.WindowTitle(tracker.ForegroundWindow()), "First");
}

TEST(ReportedWindowTracker, ProcessGivesTheProgramPathAndTellsOwnWindows) {
  ChildProcess child({"sleep", "30"});
  ASSERT_GT(child.Pid(), 0) << "cannot start sleep";
  ReportedWindowTracker tracker;

  tracker.Activate(Window("other", "Other", child.Pid()));
  const WindowId other = tracker.ForegroundWindow();
  const ProcessPath path = tracker.ProcessPathOf(other);
  EXPECT_EQ(path.status, ProcessPathStatus::Found);
  EXPECT_EQ(path.path, std::filesystem::canonical("/proc/" + std::to_string(child.Pid()) + "/exe"));
  EXPECT_EQ(std::filesystem::path(path.path).filename(), "sleep");
  EXPECT_FALSE(tracker.IsOwnWindow(other));

  tracker.Activate(Window("own", "Brevanto", ::getpid()));
  EXPECT_TRUE(tracker.IsOwnWindow(tracker.ForegroundWindow()));

  tracker.Activate(Window("unknown", "No process"));
  EXPECT_EQ(tracker.ProcessPathOf(tracker.ForegroundWindow()).status, ProcessPathStatus::NoProcess);
  EXPECT_FALSE(tracker.IsOwnWindow(tracker.ForegroundWindow()));
}

TEST(ReportedWindowTracker, DesktopAndDockAreMarked) {
  ReportedWindowTracker tracker;
  tracker.Activate(WindowReport{"desktop", "Desktop", "plasmashell", 0, true});
  EXPECT_TRUE(tracker.IsDesktopOrDock(tracker.ForegroundWindow()));
  tracker.Activate(Window("app", "App"));
  EXPECT_FALSE(tracker.IsDesktopOrDock(tracker.ForegroundWindow()));
}

// The processing thread reads the window and then its details while the
// user-interface thread takes reports: a number never shows another
// window's title.
TEST(ReportedWindowTracker, ReadersNeverSeeAWindowWithAnothersTitle) {
  ReportedWindowTracker tracker;
  std::atomic<bool> stop{false};
  std::thread reporter([&] {
    for (int i = 0; !stop.load(); ++i) {
      const std::string name = "w" + std::to_string(i % 40);
      tracker.Activate(Window(name, name));
    }
  });
  std::unordered_map<WindowId, std::string> titleOf;
  int reads = 0;
  int mismatches = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (reads < 20000 && std::chrono::steady_clock::now() < deadline) {
    const WindowId window = tracker.ForegroundWindow();
    if (window == kNoWindow) continue;
    const std::string title = tracker.WindowTitle(window);
    if (title.empty()) continue;  // forgotten since
    ++reads;
    std::string& known = titleOf[window];
    if (known.empty()) known = title;
    if (known != title) ++mismatches;
  }
  stop = true;
  reporter.join();
  EXPECT_EQ(reads, 20000);
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace brevanto
