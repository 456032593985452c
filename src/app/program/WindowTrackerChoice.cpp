#include "app/program/WindowTrackerChoice.h"

#include "app/program/WaylandSession.h"
#include "platform/linux/wlroots/WlrootsWindowTracker.h"
#include "platform/linux/x11/X11WindowTracker.h"

namespace brevanto {

ChosenWindowTracker ChooseWindowTracker(
    const EnvironmentLookup& environment, const std::vector<WindowTrackerCandidate>& candidates,
    const std::function<std::unique_ptr<WindowTracker>()>& openX11) {
  ChosenWindowTracker chosen;
  if (IsWaylandSession(environment)) {
    for (const WindowTrackerCandidate& candidate : candidates) {
      if (std::unique_ptr<WindowTracker> tracker = candidate.open()) {
        chosen.tracker = std::move(tracker);
        chosen.seesWaylandWindows = true;
        chosen.logLine = "Wayland session: application links follow Wayland and X11 windows (" +
                         candidate.name + ")";
        return chosen;
      }
    }
    chosen.logLine =
        "Wayland session: this desktop tells no program which Wayland window is active; "
        "application links see only X11 windows";
  }
  chosen.tracker = openX11();
  return chosen;
}

std::vector<WindowTrackerCandidate> WaylandWindowTrackers(const EnvironmentLookup& environment) {
  const std::string waylandDisplay = environment("WAYLAND_DISPLAY").value_or("");
  const std::string swaySocket = environment("SWAYSOCK").value_or("");
  std::vector<WindowTrackerCandidate> candidates;
  candidates.push_back(
      {swaySocket.empty() ? "wlroots foreign-toplevel list; program paths unknown without Sway IPC"
                          : "wlroots foreign-toplevel list, process ids from Sway IPC",
       [waylandDisplay, swaySocket]() -> std::unique_ptr<WindowTracker> {
         if (waylandDisplay.empty()) return nullptr;
         return WlrootsWindowTracker::Open(waylandDisplay.c_str(), swaySocket);
       }});
  // KWin and GNOME Shell trackers: each joins this list as one more
  // candidate whose open gives nothing when its desktop is not running.
  return candidates;
}

ChosenWindowTracker ChooseSessionWindowTracker(const EnvironmentLookup& environment) {
  return ChooseWindowTracker(environment, WaylandWindowTrackers(environment),
                             [] { return std::make_unique<X11WindowTracker>(); });
}

}  // namespace brevanto
