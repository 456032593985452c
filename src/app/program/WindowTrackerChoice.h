#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/desktop/GnomeFocusExtension.h"
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
  // GNOME Shell runs but its extension does not report: the user is told how
  // to enable it.
  std::optional<GnomeExtensionState> inactiveGnomeExtension;
};

// The foreground window as the session offers it: in an X11 session the X
// server's; in a Wayland session the first candidate the desktop offers,
// else the X server's (XWayland) windows only.
ChosenWindowTracker ChooseWindowTracker(
    const EnvironmentLookup& environment, const std::vector<WindowTrackerCandidate>& candidates,
    const std::function<std::unique_ptr<WindowTracker>()>& openX11);

// The Wayland desktops Brevanto knows, in the order they are tried. A GNOME
// Shell whose extension is not active sets inactiveGnomeExtension, which must
// outlive the candidates.
std::vector<WindowTrackerCandidate> WaylandWindowTrackers(
    const EnvironmentLookup& environment,
    std::optional<GnomeExtensionState>& inactiveGnomeExtension);

// The program's choice: the candidates above, the X server's windows else.
ChosenWindowTracker ChooseSessionWindowTracker(const EnvironmentLookup& environment);

}  // namespace brevanto
