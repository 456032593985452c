#include "app/program/WaylandSession.h"

#include <cstdlib>

namespace brevanto {

bool IsWaylandSession(const EnvironmentLookup& environment) {
  if (!environment) return false;
  if (environment("XDG_SESSION_TYPE").value_or("") == "wayland") return true;
  return !environment("WAYLAND_DISPLAY").value_or("").empty();
}

void PreferX11Platform() {
  const char* chosen = std::getenv("QT_QPA_PLATFORM");
  if (chosen == nullptr || chosen[0] == '\0') ::setenv("QT_QPA_PLATFORM", "xcb", 1);
}

std::vector<std::string> WaylandSessionReport(const std::string& platform, SessionOutput output,
                                              const SessionWindows& windows) {
  std::vector<std::string> lines;
  if (platform.empty()) {
    lines.emplace_back("Wayland session: no window");
  } else if (platform == "xcb") {
    lines.emplace_back("Wayland session: the window runs through XWayland");
  } else {
    lines.push_back("Wayland session: the window runs on the Qt platform '" + platform + "'" +
                    (windows.wayland ? "" : "; the window tracking sees only X11 windows"));
  }
  if (output.uinputOpen) {
    lines.emplace_back("Wayland session: keys and mouse go through uinput and reach every window");
  } else if (output.uinputWanted) {
    lines.emplace_back(
        "Wayland session: /dev/uinput is not writable, so keys and mouse go through XTest and "
        "reach only X11 windows");
  } else {
    lines.emplace_back(
        "Wayland session: keys and mouse go through XTest (--no-uinput) and reach only X11 "
        "windows");
  }
  if (!windows.trackingLine.empty()) lines.push_back(windows.trackingLine);
  return lines;
}

}  // namespace brevanto
