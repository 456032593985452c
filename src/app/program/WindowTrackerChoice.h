#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ports/WindowTracker.h"
#include "core/settings/StartupContext.h"

namespace brevanto {

// One way of knowing the foreground window that a Wayland desktop may
// offer. open gives nothing when this desktop does not offer it.
struct WindowTrackerCandidate {
  std::string name;  // for the log
  std::function<std::unique_ptr<WindowTracker>()> open;
};

struct ChosenWindowTracker {
  std::unique_ptr<WindowTracker> tracker;
  bool seesWaylandWindows = false;
  // What the application links see, for the log; empty in an X11 session.
  std::string logLine;
};

// The foreground window as the session offers it: in an X11 session the X
// server's; in a Wayland session the first candidate the desktop offers,
// else the X server's (XWayland) windows only.
ChosenWindowTracker ChooseWindowTracker(
    const EnvironmentLookup& environment, const std::vector<WindowTrackerCandidate>& candidates,
    const std::function<std::unique_ptr<WindowTracker>()>& openX11);

// The Wayland desktops Brevanto knows, in the order they are tried.
std::vector<WindowTrackerCandidate> WaylandWindowTrackers(const EnvironmentLookup& environment);

// The program's choice: the candidates above, the X server's windows else.
ChosenWindowTracker ChooseSessionWindowTracker(const EnvironmentLookup& environment);

}  // namespace brevanto
