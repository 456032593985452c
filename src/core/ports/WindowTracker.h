#pragma once

#include <cstdint>
#include <string>

namespace brevanto {

// A top-level window of the desktop (an X11 window id, or a number the
// tracker gives each window the desktop reports); 0 is none.
using WindowId = uint32_t;
inline constexpr WindowId kNoWindow = 0;

enum class ProcessPathStatus {
  Found,
  NoProcess,   // the window's process could not be identified
  Unreadable,  // the process is known but its executable could not be read
};

struct ProcessPath {
  ProcessPathStatus status = ProcessPathStatus::NoProcess;
  std::string path;     // the executable's full path when Found
  int systemError = 0;  // errno of the failure
};

// Port: the window the user works in and what it belongs to. Called by the
// processing thread every tick (ForegroundWindow) and, when that changes, for
// the details; the application-link capture dialog asks for the same details
// on the user-interface thread.
class WindowTracker {
 public:
  virtual ~WindowTracker() = default;

  // The foreground window, or kNoWindow when there is none or it cannot be
  // known (no display).
  virtual WindowId ForegroundWindow() = 0;
  // Its title in UTF-8; empty when it has none.
  virtual std::string WindowTitle(WindowId window) = 0;
  // The executable of the process that owns the window.
  virtual ProcessPath ProcessPathOf(WindowId window) = 0;
  // The desktop background or a panel/dock rather than an application.
  virtual bool IsDesktopOrDock(WindowId window) = 0;
  // The window belongs to this very process. Trackers that learn the
  // window's process id from the desktop can tell; the others leave it to the
  // executable's name and the main window's handle.
  virtual bool IsOwnWindow(WindowId /*window*/) { return false; }
};

}  // namespace brevanto
