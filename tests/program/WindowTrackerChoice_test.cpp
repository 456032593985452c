// Which window tracking the program takes: what the session offers, tried in
// order, and the X server's windows when nothing else is there.

#include "app/program/WindowTrackerChoice.h"

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/fake/FakeWindowTracker.h"

namespace brevanto::testing {
namespace {

EnvironmentLookup Session(const char* type) {
  return [type](const std::string& name) -> std::optional<std::string> {
    if (name == "XDG_SESSION_TYPE") return type;
    return std::nullopt;
  };
}

TEST(WindowTrackerChoice, TakesTheFirstTrackerTheSessionOffers) {
  WindowTracker* x11 = nullptr;
  WindowTracker* offered = nullptr;
  std::vector<std::string> tried;
  const auto candidate = [&](std::string name, bool available) {
    return WindowTrackerCandidate{name, [&tried, &offered, name, available]() {
                                    tried.push_back(name);
                                    std::unique_ptr<WindowTracker> t;
                                    if (available) {
                                      t = std::make_unique<FakeWindowTracker>();
                                      offered = t.get();
                                    }
                                    return t;
                                  }};
  };
  const auto openX11 = [&]() -> std::unique_ptr<WindowTracker> {
    auto t = std::make_unique<FakeWindowTracker>();
    x11 = t.get();
    return t;
  };
  const struct {
    const char* name;
    const char* session;
    std::vector<bool> available;
    std::vector<std::string> tried;
    bool tookOffered;
    std::string logLine;
  } cases[] = {
      {"X11 session: no desktop is asked", "x11", {true, true}, {}, false, ""},
      {"Wayland, first offered",
       "wayland",
       {true, true},
       {"a"},
       true,
       "Wayland session: application links follow Wayland and X11 windows (a)"},
      {"Wayland, second offered",
       "wayland",
       {false, true},
       {"a", "b"},
       true,
       "Wayland session: application links follow Wayland and X11 windows (b)"},
      {"Wayland, none offered",
       "wayland",
       {false, false},
       {"a", "b"},
       false,
       "Wayland session: this desktop tells no program which Wayland window is active; "
       "application links see only X11 windows"},
  };
  for (const auto& c : cases) {
    tried.clear();
    x11 = offered = nullptr;
    const std::vector<WindowTrackerCandidate> candidates = {candidate("a", c.available[0]),
                                                            candidate("b", c.available[1])};
    ChosenWindowTracker chosen = ChooseWindowTracker(Session(c.session), candidates, openX11);
    EXPECT_EQ(tried, c.tried) << c.name;
    EXPECT_EQ(chosen.tracker.get(), c.tookOffered ? offered : x11) << c.name;
    EXPECT_NE(chosen.tracker, nullptr) << c.name;
    EXPECT_EQ(chosen.seesWaylandWindows, c.tookOffered) << c.name;
    EXPECT_EQ(chosen.logLine, c.logLine) << c.name;
  }
}

TEST(WindowTrackerChoice, AWaylandSessionWithoutADisplayToAskFallsBackToX11) {
  const EnvironmentLookup environment = Session("wayland");
  std::optional<GnomeExtensionState> inactiveGnomeExtension;
  const std::vector<WindowTrackerCandidate> candidates =
      WaylandWindowTrackers(environment, inactiveGnomeExtension);
  ASSERT_FALSE(candidates.empty());
  for (const WindowTrackerCandidate& c : candidates) EXPECT_EQ(c.open(), nullptr) << c.name;
}

}  // namespace
}  // namespace brevanto::testing
