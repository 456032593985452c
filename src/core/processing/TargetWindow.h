#pragma once

#include <atomic>
#include <functional>
#include <string>

#include "core/ports/WindowTracker.h"

namespace brevanto {

// Which window the generated input is meant for: the foreground window of the
// last sampling. Sampled by the processing thread once per tick (while no menu
// is open); targetWindow and targetChanged are read by the output and the
// button engine on the same thread.
class TargetWindow {
 public:
  // Gets the executable path and title of a new target; application links
  // may switch the profile from it.
  using TargetChangedHandler =
      std::function<void(const std::string& path, const std::string& title)>;

  explicit TargetWindow(WindowTracker& tracker) : tracker_(tracker) {}

  // Set before the timer starts.
  void SetTargetChangedHandler(TargetChangedHandler handler) { onChanged_ = std::move(handler); }
  // The program's main window; it may be recreated while the program runs.
  void SetMainWindowHandle(WindowId window) {
    mainWindow_.store(window, std::memory_order_relaxed);
  }
  // Application links suspended from the main menu: the target is still
  // tracked and logged, but the handler is not called.
  void SetAppLinksSuspended(bool suspended) {
    appLinksSuspended_.store(suspended, std::memory_order_relaxed);
  }

  // One sampling of the foreground window.
  void Sample();

  WindowId targetWindow() const { return targetWindow_; }
  bool targetChanged() const { return targetChanged_; }
  bool targetIsOwn() const { return targetIsOwn_; }

 private:
  WindowTracker& tracker_;
  TargetChangedHandler onChanged_;
  std::atomic<WindowId> mainWindow_{kNoWindow};
  std::atomic<bool> appLinksSuspended_{false};
  WindowId targetWindow_ = kNoWindow;
  bool targetChanged_ = false;
  bool targetIsOwn_ = false;
};

// Whether an executable path is this program's own: its file name, upper-
// cased, is "BREVANTO". Only the last path element counts, so programs in a
// folder named Brevanto (the default data folder) are not taken for it.
bool IsOwnExecutable(const std::string& path);

}  // namespace brevanto
