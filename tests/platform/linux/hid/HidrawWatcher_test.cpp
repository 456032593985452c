#include "platform/linux/hid/HidrawWatcher.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "support/LogCapture.h"
#include "support/TempDir.h"

namespace brevanto {
namespace {

namespace fs = std::filesystem;
using Change = HidrawWatcher::Change;

TEST(HidrawWatcher, ReportsHidrawNodesComingGoingAndGainingAccess) {
  // Removed also when an assertion ends the test early.
  testing::TempDir folder;
  const fs::path& dir = folder.path();
  std::vector<std::pair<Change, std::string>> changes;
  HidrawWatcher watcher(
      [&](Change change, const std::string& name) { changes.emplace_back(change, name); });
  ASSERT_TRUE(watcher.Start(dir.string()));
  EXPECT_EQ(watcher.Process(), 0);

  std::ofstream(dir / "hidraw7").put('x');
  std::ofstream(dir / "event3").put('x');  // not a hidraw node
  ::chmod((dir / "hidraw7").c_str(), 0640);
  fs::remove(dir / "hidraw7");
  fs::remove(dir / "event3");

  pollfd fd{watcher.Fd(), POLLIN, 0};
  ASSERT_EQ(::poll(&fd, 1, 1000), 1);
  // Creating and writing the file gives create and attribute events.
  EXPECT_GE(watcher.Process(), 3);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.front(), std::make_pair(Change::Added, std::string("hidraw7")));
  EXPECT_EQ(changes.back(), std::make_pair(Change::Removed, std::string("hidraw7")));
  for (const auto& change : changes) EXPECT_EQ(change.second, "hidraw7");
  EXPECT_EQ(watcher.Process(), 0);

  watcher.Stop();
  EXPECT_EQ(watcher.Fd(), -1);
}

// SDL reads controllers through the input folder's event and joystick nodes;
// they come and go there, and the folder itself may appear only with the
// first input device.
TEST(HidrawWatcher, ReportsControllerNodesOfTheInputFolderAlsoWhenItAppearsLater) {
  testing::TempDir folder;
  const fs::path& dir = folder.path();
  std::vector<std::pair<Change, std::string>> changes;
  HidrawWatcher watcher(
      [&](Change change, const std::string& name) { changes.emplace_back(change, name); });
  ASSERT_TRUE(watcher.Start(dir.string()));
  auto process = [&] {
    pollfd fd{watcher.Fd(), POLLIN, 0};
    if (::poll(&fd, 1, 1000) == 1) watcher.Process();
  };

  fs::create_directory(dir / "input");
  std::ofstream(dir / "input" / "event4").put('x');
  process();
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.front(), std::make_pair(Change::Added, std::string("input")));

  changes.clear();
  const struct {
    const char* node;
    bool reported;
  } nodes[] = {{"event5", true}, {"js0", true}, {"mouse0", false}, {"by-id", false}};
  for (const auto& node : nodes) {
    SCOPED_TRACE(node.node);
    changes.clear();
    std::ofstream(dir / "input" / node.node).put('x');
    fs::remove(dir / "input" / node.node);
    if (node.reported) {
      process();
      ASSERT_FALSE(changes.empty());
      EXPECT_EQ(changes.front(), std::make_pair(Change::Added, "input/" + std::string(node.node)));
      EXPECT_EQ(changes.back(), std::make_pair(Change::Removed, "input/" + std::string(node.node)));
    } else {
      EXPECT_EQ(watcher.Process(), 0);
    }
  }
}

TEST(HidrawWatcher, AFolderThatCannotBeWatchedIsLogged) {
  testing::LogCapture log;
  HidrawWatcher watcher([](Change, const std::string&) {});
  EXPECT_FALSE(watcher.Start("/nonexistent-brevanto-dev"));
  EXPECT_EQ(watcher.Fd(), -1);
  EXPECT_TRUE(
      log.Contains("HidrawWatcher: Cannot watch /nonexistent-brevanto-dev for controllers"));
  EXPECT_TRUE(log.Contains("No such file or directory"));
}

}  // namespace
}  // namespace brevanto
