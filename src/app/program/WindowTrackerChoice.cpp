#include "app/program/WindowTrackerChoice.h"

#include "app/desktop/DesktopReportedTracker.h"
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

std::vector<WindowTrackerCandidate> WaylandWindowTrackers(
    const EnvironmentLookup& environment,
    std::optional<GnomeExtensionState>& inactiveGnomeExtension) {
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
  // KWin and GNOME Shell tell their active window only to a script or an
  // extension inside them, which reports it over the session bus.
  candidates.push_back({"reports of the desktop over D-Bus",
                        [&inactiveGnomeExtension]() -> std::unique_ptr<WindowTracker> {
                          const ReportingDesktop desktop = FindReportingDesktop();
                          if (desktop == ReportingDesktop::None) return nullptr;
                          auto tracking = std::make_unique<DesktopWindowTracking>(desktop);
                          if (!tracking->Start()) {
                            if (desktop == ReportingDesktop::GnomeShell) {
                              inactiveGnomeExtension = tracking->ExtensionState();
                            }
                            return nullptr;
                          }
                          return std::make_unique<DesktopReportedTracker>(std::move(tracking));
                        }});
  return candidates;
}

ChosenWindowTracker ChooseSessionWindowTracker(const EnvironmentLookup& environment) {
  std::optional<GnomeExtensionState> inactiveGnomeExtension;
  ChosenWindowTracker chosen =
      ChooseWindowTracker(environment, WaylandWindowTrackers(environment, inactiveGnomeExtension),
                          [] { return std::make_unique<X11WindowTracker>(); });
  chosen.inactiveGnomeExtension = inactiveGnomeExtension;
  return chosen;
}

}  // namespace brevanto
