#pragma once

#include <memory>

#include "app/desktop/DesktopWindowTracking.h"
#include "core/ports/WindowTracker.h"

namespace brevanto {

// The tracker a KDE Plasma or GNOME Shell session reports to, owning what
// the reports need (the D-Bus service, the KWin script), so the program holds
// it like any other tracker and the script is unloaded when it goes.
class DesktopReportedTracker final : public WindowTracker {
 public:
  explicit DesktopReportedTracker(std::unique_ptr<DesktopWindowTracking> tracking)
      : tracking_(std::move(tracking)) {}

  WindowId ForegroundWindow() override { return tracking_->Tracker().ForegroundWindow(); }
  std::string WindowTitle(WindowId window) override {
    return tracking_->Tracker().WindowTitle(window);
  }
  ProcessPath ProcessPathOf(WindowId window) override {
    return tracking_->Tracker().ProcessPathOf(window);
  }
  bool IsDesktopOrDock(WindowId window) override {
    return tracking_->Tracker().IsDesktopOrDock(window);
  }
  bool IsOwnWindow(WindowId window) override { return tracking_->Tracker().IsOwnWindow(window); }

 private:
  std::unique_ptr<DesktopWindowTracking> tracking_;
};

}  // namespace brevanto
