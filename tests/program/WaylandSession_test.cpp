// The program in a Wayland session: it keeps its window on XWayland and the
// log says which parts reach which windows.

#include "app/program/WaylandSession.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "program/ProgramInProcess.h"

namespace brevanto::testing {
namespace {

// Sets an environment variable for the scope (nullptr unsets it).
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      ::setenv(name, value, 1);
    } else {
      ::unsetenv(name);
    }
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

EnvironmentLookup Environment(std::map<std::string, std::string> values) {
  return [values](const std::string& name) -> std::optional<std::string> {
    const auto found = values.find(name);
    if (found == values.end()) return std::nullopt;
    return found->second;
  };
}

TEST(WaylandSession, IsToldByTheSessionTypeOrAWaylandDisplay) {
  const struct {
    std::map<std::string, std::string> environment;
    bool wayland;
  } cases[] = {
      {{}, false},
      {{{"XDG_SESSION_TYPE", "x11"}, {"DISPLAY", ":0"}}, false},
      {{{"XDG_SESSION_TYPE", "wayland"}}, true},
      {{{"WAYLAND_DISPLAY", "wayland-0"}}, true},
      {{{"XDG_SESSION_TYPE", "tty"}, {"WAYLAND_DISPLAY", ""}}, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(IsWaylandSession(Environment(c.environment)), c.wayland)
        << ::testing::PrintToString(c.environment);
  }
  EXPECT_FALSE(IsWaylandSession(nullptr));
}

TEST(WaylandSession, TheWindowGoesThroughXWaylandUnlessThePlatformIsChosen) {
  const struct {
    const char* chosen;
    const char* result;
  } cases[] = {{nullptr, "xcb"}, {"", "xcb"}, {"wayland", "wayland"}, {"offscreen", "offscreen"}};
  for (const auto& c : cases) {
    ScopedVariable platform("QT_QPA_PLATFORM", c.chosen);
    PreferX11Platform();
    const char* now = std::getenv("QT_QPA_PLATFORM");
    EXPECT_STREQ(now, c.result) << (c.chosen ? c.chosen : "(unset)");
  }
}

TEST(WaylandSession, ReportSaysWhereKeysGoAndWhatTheLinksSee) {
  const SessionWindows x11Only{false, "links: X11 only"};
  const SessionWindows wayland{true, "links: Wayland too"};
  const struct {
    const char* name;
    std::string platform;
    SessionOutput output;
    SessionWindows windows;
    std::vector<std::string> lines;
  } cases[] = {
      {"uinput open",
       "xcb",
       {true, true},
       wayland,
       {"Wayland session: the window runs through XWayland",
        "Wayland session: keys and mouse go through uinput and reach every window",
        "links: Wayland too"}},
      {"uinput not writable",
       "xcb",
       {true, false},
       x11Only,
       {"Wayland session: the window runs through XWayland",
        "Wayland session: /dev/uinput is not writable, so keys and mouse go through XTest and "
        "reach only X11 windows",
        "links: X11 only"}},
      {"uinput refused by option, no window",
       "",
       {false, false},
       x11Only,
       {"Wayland session: no window",
        "Wayland session: keys and mouse go through XTest (--no-uinput) and reach only X11 "
        "windows",
        "links: X11 only"}},
      {"native Wayland window chosen by the user, X11 tracking",
       "wayland",
       {true, true},
       x11Only,
       {"Wayland session: the window runs on the Qt platform 'wayland'; the window tracking sees "
        "only X11 windows",
        "Wayland session: keys and mouse go through uinput and reach every window",
        "links: X11 only"}},
      {"native Wayland window chosen by the user, Wayland tracking",
       "wayland",
       {true, true},
       wayland,
       {"Wayland session: the window runs on the Qt platform 'wayland'",
        "Wayland session: keys and mouse go through uinput and reach every window",
        "links: Wayland too"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WaylandSessionReport(c.platform, c.output, c.windows), c.lines) << c.name;
  }
}

class WaylandSessionProgram : public ProgramInProcess {};

TEST_F(WaylandSessionProgram, TheRunningProgramLogsWhatWorks) {
  ScopedVariable session("XDG_SESSION_TYPE", "wayland");
  ScopedVariable display("WAYLAND_DISPLAY", nullptr);
  ASSERT_TRUE(Start());
  const std::string log = ReadText(run.LogPath());
  const std::string platform = QGuiApplication::platformName().toStdString();
  // No compositor to ask: the X server's windows only.
  const SessionWindows windows{false,
                               "Wayland session: this desktop tells no program which Wayland "
                               "window is active; application links see only X11 windows"};
  for (const std::string& line : WaylandSessionReport(platform, {false, false}, windows)) {
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  }
}

TEST_F(WaylandSessionProgram, AnX11SessionLogsNoWaylandLines) {
  ScopedVariable session("XDG_SESSION_TYPE", "x11");
  ScopedVariable display("WAYLAND_DISPLAY", nullptr);
  ASSERT_TRUE(Start());
  EXPECT_EQ(ReadText(run.LogPath()).find("Wayland session"), std::string::npos);
}

}  // namespace
}  // namespace brevanto::testing
