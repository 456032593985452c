#pragma once

#include <string>
#include <vector>

#include "core/settings/StartupContext.h"

namespace brevanto {

// Whether the desktop session is a Wayland one ($XDG_SESSION_TYPE, or a
// $WAYLAND_DISPLAY to connect to).
bool IsWaylandSession(const EnvironmentLookup& environment);

// The window runs through XWayland, where the X11 parts of the program
// (clipboard, keyboard layout, key repeat) work. Sets QT_QPA_PLATFORM=xcb unless the user chose a
// platform; must run before the QApplication exists.
void PreferX11Platform();

// What works in a Wayland session, for the log: where the window runs
// (platform is Qt's platform name, empty without a window), where keys and
// mouse go, and what the application links see.
struct SessionOutput {
  bool uinputWanted = true;  // false with --no-uinput
  bool uinputOpen = false;
};
struct SessionWindows {
  bool wayland = false;      // the window tracking sees Wayland windows
  std::string trackingLine;  // what the application links see
};
std::vector<std::string> WaylandSessionReport(const std::string& platform, SessionOutput output,
                                              const SessionWindows& windows);

}  // namespace brevanto
