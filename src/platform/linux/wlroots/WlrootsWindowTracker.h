#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include "core/ports/WindowTracker.h"
#include "platform/linux/wlroots/ForeignToplevelList.h"
#include "platform/linux/wlroots/SwayTree.h"

namespace brevanto {

class SwayIpc;

// The foreground window of a wlroots-based compositor (Sway, Hyprland,
// labwc, ...): the activated window of the foreign-toplevel list, with its
// title and app id. The protocol names no process; on Sway its IPC gives the
// process of each window (matched by title and app id), so the executable
// path is known there and nowhere else.
//
// A thread of its own reads the compositor and the IPC socket and publishes
// what it learns: ForegroundWindow is one atomic read, and the details are
// copied out under a lock, so the processing thread and the user-interface
// thread may both ask.
class WlrootsWindowTracker final : public WindowTracker {
 public:
  // Nothing when the session offers no foreign-toplevel list.
  // waylandDisplay nullptr: $WAYLAND_DISPLAY; swaySocket empty: no Sway IPC.
  static std::unique_ptr<WlrootsWindowTracker> Open(const char* waylandDisplay,
                                                    const std::string& swaySocket);
  ~WlrootsWindowTracker() override;
  WlrootsWindowTracker(const WlrootsWindowTracker&) = delete;
  WlrootsWindowTracker& operator=(const WlrootsWindowTracker&) = delete;

  // Whether process ids (and so executable paths) are known.
  bool KnowsProcesses() const { return knowsProcesses_; }

  WindowId ForegroundWindow() override;
  std::string WindowTitle(WindowId window) override;
  ProcessPath ProcessPathOf(WindowId window) override;
  bool IsDesktopOrDock(WindowId window) override;
  bool IsOwnWindow(WindowId window) override;
  std::string AppIdOf(WindowId window);

 private:
  struct Details {
    std::string title;
    std::string appId;
    int processId = 0;
  };

  WlrootsWindowTracker() = default;
  void Run();
  // With the toplevels or the IPC's windows changed: finds the processes of
  // the windows that have none yet and publishes the whole state.
  void Publish();
  void ReadSwayEvent();
  void RefreshSwayTree();
  void DropSway(const char* why);
  int ProcessIdOf(WindowId window);

  // Used by the reading thread only.
  std::unique_ptr<ForeignToplevelList> list_;
  std::unique_ptr<SwayIpc> swayEvents_;
  std::unique_ptr<SwayIpc> swayRequests_;
  std::vector<SwayWindow> swayWindows_;
  std::unordered_map<WindowId, int> processIds_;
  // The title and app id a window had when the tree was last asked for it.
  std::unordered_map<WindowId, std::string> askedFor_;
  int wakeFd_ = -1;
  std::thread thread_;
  bool knowsProcesses_ = false;

  // Published for every thread.
  std::atomic<WindowId> foreground_{kNoWindow};
  std::mutex mutex_;
  std::unordered_map<WindowId, Details> windows_;
};

}  // namespace brevanto
