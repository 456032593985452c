// Reading Sway's IPC answers: the windows of a tree, window events, and which
// window's process a toplevel belongs to. Damaged answers give nothing and a
// log line, never a crash.
#include "platform/linux/wlroots/SwayTree.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/LogCapture.h"

namespace brevanto {
namespace {

// Shaped as Sway 1.7 answers: outputs, workspaces, a split container with a
// native window, a floating XWayland window (no app id, an X11 class) and
// the scratchpad output Sway always lists.
constexpr char kTree[] = R"({
  "id": 1, "type": "root", "name": "root", "focused": false,
  "nodes": [
    {"id": 2, "type": "output", "name": "__i3", "nodes": [
      {"id": 3, "type": "workspace", "name": "__i3_scratch", "nodes": [], "floating_nodes": []}]},
    {"id": 4, "type": "output", "name": "HEADLESS-1", "focused": false, "nodes": [
      {"id": 5, "type": "workspace", "name": "1", "focused": false,
       "nodes": [
         {"id": 6, "type": "con", "name": null, "layout": "splitv", "focused": false, "nodes": [
           {"id": 7, "type": "con", "name": "Terminal — ~", "pid": 4242, "app_id": "foot",
            "focused": true, "shell": "xdg_shell", "nodes": [], "floating_nodes": []}]}],
       "floating_nodes": [
         {"id": 8, "type": "floating_con", "name": "GIMP", "pid": 5151, "app_id": null,
          "window_properties": {"class": "Gimp", "instance": "gimp"},
          "focused": false, "shell": "xwayland", "nodes": [], "floating_nodes": []}]}]}]
})";

TEST(SwayTree, ListsTiledAndFloatingWindowsWithTheirProcesses) {
  const auto windows = ParseSwayTree(kTree);
  ASSERT_TRUE(windows.has_value());
  const std::vector<SwayWindow> expected = {
      {7, 4242, "foot", "Terminal — ~", true},
      {8, 5151, "Gimp", "GIMP", false},
  };
  EXPECT_EQ(*windows, expected);
}

TEST(SwayTree, DamagedTreesGiveNothingAndALogLine) {
  const std::string deep = std::string(200, '[') + std::string(200, ']');
  std::string nested = R"({"id":1,"nodes":[)";
  for (int i = 0; i < 100; ++i) nested += R"({"id":1,"nodes":[)";
  for (int i = 0; i < 101; ++i) nested += "]}";
  const struct {
    const char* name;
    std::string text;
  } cases[] = {
      {"empty", ""},
      {"cut short", std::string(kTree).substr(0, 300)},
      {"not JSON", "i3-ipc garbage"},
      {"an array", "[1, 2]"},
      {"null", "null"},
      {"arrays nested deeply", deep},
      {"nodes nested past any Sway tree", nested},
      {"bytes that are not UTF-8", "{\"name\": \"\xff\xfe\"}"},
  };
  for (const auto& c : cases) {
    testing::LogCapture log;
    EXPECT_FALSE(ParseSwayTree(c.text).has_value()) << c.name;
    EXPECT_TRUE(log.Contains("Sway IPC: ")) << c.name;
  }
}

TEST(SwayTree, OddNodesAreSkippedNotTrusted) {
  const struct {
    const char* name;
    const char* text;
    std::vector<SwayWindow> windows;
  } cases[] = {
      {"no nodes at all", R"({"id": 1})", {}},
      {"nodes not a list", R"({"id": 1, "nodes": 5, "floating_nodes": "x"})", {}},
      {"pid as text", R"({"id": 1, "nodes": [{"id": 2, "pid": "12", "name": "A"}]})", {}},
      {"no id", R"({"id": 1, "nodes": [{"pid": 12, "name": "A"}]})", {}},
      {"pid out of range",
       R"({"id": 1, "nodes": [{"id": 2, "pid": 99999999999, "name": "A"}]})",
       {{2, 0, "", "A", false}}},
      {"negative pid",
       R"({"id": 1, "nodes": [{"id": 2, "pid": -5, "name": "A"}]})",
       {{2, 0, "", "A", false}}},
      {"title and app id of the wrong type",
       R"({"id": 1, "nodes": [{"id": 2, "pid": 3, "name": 7, "app_id": [], "focused": "yes"}]})",
       {{2, 3, "", "", false}}},
      {"children that are not objects", R"({"id": 1, "nodes": [1, "two", null]})", {}},
  };
  for (const auto& c : cases) {
    const auto windows = ParseSwayTree(c.text);
    ASSERT_TRUE(windows.has_value()) << c.name;
    EXPECT_EQ(*windows, c.windows) << c.name;
  }
}

TEST(SwayWindowEvents, GiveTheChangeAndTheWindow) {
  const auto focus = ParseSwayWindowEvent(
      R"({"change": "focus", "container": {"id": 7, "pid": 4242, "app_id": "foot",
          "name": "Terminal", "focused": true}})");
  ASSERT_TRUE(focus.has_value());
  EXPECT_EQ(focus->change, "focus");
  EXPECT_EQ(focus->window, (SwayWindow{7, 4242, "foot", "Terminal", true}));

  const struct {
    const char* name;
    std::string text;
  } damaged[] = {
      {"empty", ""},
      {"not JSON", "{\"change\": "},
      {"no container", R"({"change": "focus"})"},
      {"container without a process", R"({"change": "new", "container": {"id": 9}})"},
      {"no change", R"({"container": {"id": 7, "pid": 1}})"},
      {"change not text", R"({"change": 3, "container": {"id": 7, "pid": 1}})"},
      {"an array", "[]"},
  };
  for (const auto& c : damaged) {
    testing::LogCapture log;
    EXPECT_FALSE(ParseSwayWindowEvent(c.text).has_value()) << c.name;
    EXPECT_TRUE(log.Contains("Sway IPC: unreadable window event")) << c.name;
  }
}

TEST(SwaySubscription, OnlyAnExplicitSuccessCounts) {
  const struct {
    const char* text;
    bool success;
  } cases[] = {
      {R"({"success": true})", true},
      {R"({"success": false, "error": "no such event"})", false},
      {R"({"success": "true"})", false},
      {R"({"error": "true"})", false},
      {"[true]", false},
      {"", false},
      {"{\"success\": tr", false},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseSwaySuccess(c.text), c.success) << c.text;
}

TEST(SwayProcessMatch, FindsTheWindowByTitleAndAppId) {
  const std::vector<SwayWindow> windows = {
      {1, 100, "foot", "Terminal", false},
      {2, 200, "foot", "Terminal", true},
      {3, 300, "Gimp", "GIMP", false},
      {4, 0, "mpv", "Video", false},
  };
  const struct {
    const char* name;
    const char* title;
    const char* appId;
    bool active;
    int processId;
  } cases[] = {
      {"one window of that title", "GIMP", "Gimp", false, 300},
      {"the app id is not known to the list", "GIMP", "", false, 300},
      {"another app id", "GIMP", "gimp-2.10", false, 0},
      {"same title twice, the active one", "Terminal", "foot", true, 200},
      {"same title twice, not the active one", "Terminal", "foot", false, 100},
      {"title differs, app id on two windows", "Terminal 2", "foot", true, 0},
      {"title differs, app id on one window", "GIMP 2", "Gimp", false, 300},
      {"title differs, no app id", "GIMP 2", "", false, 0},
      {"window without a process", "Video", "mpv", true, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MatchProcessId(windows, c.title, c.appId, c.active), c.processId) << c.name;
  }
}

}  // namespace
}  // namespace brevanto
