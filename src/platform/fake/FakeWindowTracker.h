#pragma once

#include <map>
#include <string>

#include "core/ports/WindowTracker.h"

namespace brevanto {

// A desktop of made-up windows. Tests put windows on it, bring one to the
// front and count how often the details were asked for.
class FakeWindowTracker final : public WindowTracker {
 public:
  struct Window {
    std::string title;
    ProcessPath process;
    bool desktopOrDock = false;
    bool ownProcess = false;
  };

  void AddWindow(WindowId id, Window window) { windows_[id] = std::move(window); }
  // An application window whose executable is known.
  void AddWindow(WindowId id, const std::string& title, const std::string& executable);
  void SetForeground(WindowId id) { foreground_ = id; }

  WindowId ForegroundWindow() override { return foreground_; }
  std::string WindowTitle(WindowId window) override;
  ProcessPath ProcessPathOf(WindowId window) override;
  bool IsDesktopOrDock(WindowId window) override;
  bool IsOwnWindow(WindowId window) override;

  int DetailQueries() const { return detailQueries_; }

 private:
  std::map<WindowId, Window> windows_;
  WindowId foreground_ = kNoWindow;
  int detailQueries_ = 0;
};

}  // namespace brevanto
