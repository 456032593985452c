#include "core/processing/TargetWindow.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "core/processing/ProcessImagePath.h"
#include "platform/fake/FakeWindowTracker.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Change = std::pair<std::string, std::string>;  // path, title

class TargetWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    target_.SetTargetChangedHandler([this](const std::string& path, const std::string& title) {
      changes_.emplace_back(path, title);
    });
    desktop_.AddWindow(42, "Game", "/usr/games/game");
    desktop_.AddWindow(43, "Editor", "/usr/bin/editor");
  }

  FakeWindowTracker desktop_;
  TargetWindow target_{desktop_};
  std::vector<Change> changes_;
};

TEST_F(TargetWindowTest, NewForegroundWindowIsLoggedAndHandedToApplicationLinks) {
  testing::LogCapture log(/*debug=*/true);
  desktop_.SetForeground(42);
  target_.Sample();
  EXPECT_TRUE(target_.targetChanged());
  EXPECT_EQ(target_.targetWindow(), 42u);
  EXPECT_FALSE(target_.targetIsOwn());
  EXPECT_THAT(changes_, ElementsAre(Change{"/usr/games/game", "Game"}));
  const auto entries = log.Entries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].level, "Debug");
  EXPECT_EQ(entries[0].message,
            "Target window changed [HWND=0x00002a, Path='/usr/games/game', Title='Game']");
}

TEST_F(TargetWindowTest, SameWindowStayingInFrontIsNotAChange) {
  desktop_.SetForeground(42);
  target_.Sample();
  const int queries = desktop_.DetailQueries();
  testing::LogCapture log(/*debug=*/true);
  target_.Sample();
  target_.Sample();
  EXPECT_FALSE(target_.targetChanged());
  EXPECT_EQ(desktop_.DetailQueries(), queries);
  EXPECT_EQ(changes_.size(), 1u);
  EXPECT_THAT(log.Entries(), IsEmpty());

  desktop_.SetForeground(43);
  target_.Sample();
  EXPECT_TRUE(target_.targetChanged());
  EXPECT_THAT(changes_.back(), (Change{"/usr/bin/editor", "Editor"}));
}

TEST_F(TargetWindowTest, OwnWindowsAreRecognisedByExecutableNameMainWindowOrProcess) {
  struct Case {
    const char* path;
    bool own;
  };
  for (const Case& c :
       {Case{"/usr/bin/brevanto", true}, Case{"/opt/Brevanto/BREVANTO", true},
        Case{"/home/u/Documents/Brevanto/game", false}, Case{"/usr/bin/brevantoctl", false},
        Case{"/usr/bin/mybrevanto", false}, Case{"brevanto", false}, Case{"", false}}) {
    EXPECT_EQ(IsOwnExecutable(c.path), c.own) << c.path;
  }

  desktop_.AddWindow(50, "Dialog", "/usr/local/bin/brevanto");
  desktop_.SetForeground(50);
  target_.Sample();
  EXPECT_TRUE(target_.targetIsOwn());

  desktop_.AddWindow(51, FakeWindowTracker::Window{"Brevanto", {}, false});
  target_.SetMainWindowHandle(51);
  desktop_.SetForeground(51);
  target_.Sample();
  EXPECT_TRUE(target_.targetIsOwn());

  // A desktop that names the window's process: ours, whatever the
  // executable is called.
  desktop_.AddWindow(52,
                     FakeWindowTracker::Window{
                         "Brevanto", {ProcessPathStatus::Found, "/tmp/renamed", 0}, false, true});
  desktop_.SetForeground(52);
  target_.Sample();
  EXPECT_TRUE(target_.targetIsOwn());

  desktop_.SetForeground(42);
  target_.Sample();
  EXPECT_FALSE(target_.targetIsOwn());
}

TEST_F(TargetWindowTest, NoForegroundWindowIsNotTheProgramsOwnEvenBeforeItHasAWindow) {
  desktop_.SetForeground(42);
  target_.Sample();
  testing::LogCapture log(/*debug=*/true);
  desktop_.SetForeground(kNoWindow);
  target_.Sample();
  EXPECT_TRUE(target_.targetChanged());
  EXPECT_FALSE(target_.targetIsOwn());
  EXPECT_THAT(changes_.back(), (Change{"", ""}));
  // Nothing to look up for no window, so no failure lines either.
  EXPECT_THAT(log.Messages(),
              ElementsAre("Target window changed [HWND=00000000, Path='', Title='']"));
}

TEST_F(TargetWindowTest, SuspendedApplicationLinksStillTrackAndLog) {
  testing::LogCapture log(/*debug=*/true);
  target_.SetAppLinksSuspended(true);
  desktop_.SetForeground(42);
  target_.Sample();
  EXPECT_TRUE(target_.targetChanged());
  EXPECT_THAT(changes_, IsEmpty());
  EXPECT_EQ(log.Entries().size(), 1u);

  target_.SetAppLinksSuspended(false);
  desktop_.SetForeground(43);
  target_.Sample();
  EXPECT_EQ(changes_.size(), 1u);
}

TEST_F(TargetWindowTest, DesktopAndDockReachApplicationLinksWithoutPathAndTitle) {
  desktop_.AddWindow(
      60, FakeWindowTracker::Window{
              "Desktop", ProcessPath{ProcessPathStatus::Found, "/usr/bin/xfdesktop", 0}, true});
  desktop_.SetForeground(60);
  target_.Sample();
  EXPECT_THAT(changes_, ElementsAre(Change{"", ""}));
}

TEST_F(TargetWindowTest, LongTitlesAreCutToTheLengthApplicationLinksMatch) {
  std::string title;
  for (int i = 0; i < 3000; ++i) title += "あ";
  desktop_.AddWindow(70, title, "/usr/bin/long");
  desktop_.SetForeground(70);
  target_.Sample();
  ASSERT_EQ(changes_.size(), 1u);
  EXPECT_EQ(changes_[0].second.size(), 2047u * 3);
  EXPECT_EQ(changes_[0].second, title.substr(0, 2047u * 3));
}

TEST(ProcessImagePath, FailuresAreLoggedWithTheSystemErrorAndGiveAnEmptyPath) {
  struct Case {
    ProcessPathStatus status;
    int error;
    const char* message;
  };
  for (const Case& c :
       {Case{ProcessPathStatus::NoProcess, ESRCH, "Failed to obtain the target window handle"},
        Case{ProcessPathStatus::Unreadable, EACCES,
             "Failed to obtain the target window filename"}}) {
    SCOPED_TRACE(c.message);
    FakeWindowTracker desktop;
    desktop.AddWindow(
        9, FakeWindowTracker::Window{"Title", ProcessPath{c.status, {}, c.error}, false});
    testing::LogCapture log(/*debug=*/true);
    EXPECT_EQ(ProcessImagePath(desktop, 9), "");
    const auto entries = log.Entries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].level, "Error");
    EXPECT_EQ(entries[0].message, c.message);
    EXPECT_EQ(entries[1].level, "Error");
    EXPECT_EQ(entries[1].message, SystemErrorText(c.error));
  }
}

TEST(ProcessImagePath, NullWindowIsEmptyWithoutALogLine) {
  FakeWindowTracker desktop;
  testing::LogCapture log(/*debug=*/true);
  EXPECT_EQ(ProcessImagePath(desktop, kNoWindow), "");
  EXPECT_THAT(log.Entries(), IsEmpty());
  EXPECT_EQ(desktop.DetailQueries(), 0);
}

}  // namespace
}  // namespace brevanto
