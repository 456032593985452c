#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "core/ports/WindowTracker.h"

namespace brevanto {

// The active window as the desktop describes it: a compositor script or a
// shell extension that sees every window, also native Wayland ones.
struct WindowReport {
  std::string key;        // the desktop's own name for the window while it lives
  std::string title;      // UTF-8
  std::string appId;      // X11 resource class or Wayland app id
  int64_t processId = 0;  // 0 when the desktop does not know it
  bool desktopOrDock = false;
};

enum class ReportVerdict {
  Accepted,
  NoKey,
  KeyTooLong,
  TitleTooLong,
  AppIdTooLong,
  BadProcessId,
};

// What a rejected report was, for the log.
const char* ReportVerdictText(ReportVerdict verdict);

// The foreground window the desktop reported last. Reports arrive on the
// user-interface thread; the processing thread reads the foreground window
// every tick from an atomic (no lock, no allocation) and the details, under a
// lock, only when it changed. Each window the desktop names gets a number of
// its own for as long as it is remembered, so a window that stays in front
// while its title changes stays the same target, as on X11.
class ReportedWindowTracker final : public WindowTracker {
 public:
  // Longer fields are not a window's: the report is dropped as a whole.
  static constexpr std::size_t kMaxKeyBytes = 256;
  static constexpr std::size_t kMaxTitleBytes = 16384;
  static constexpr std::size_t kMaxAppIdBytes = 1024;
  // The kernel's PID_MAX_LIMIT.
  static constexpr int64_t kMaxProcessId = 4194304;
  // Windows whose details stay known after they left the front.
  static constexpr std::size_t kRememberedWindows = 32;

  // Makes the reported window the foreground one unless the report is
  // unsound; then nothing changes.
  ReportVerdict Activate(const WindowReport& report);
  // No window is active (all minimised, or the desktop went away).
  void Clear();

  WindowId ForegroundWindow() override;
  std::string WindowTitle(WindowId window) override;
  ProcessPath ProcessPathOf(WindowId window) override;
  bool IsDesktopOrDock(WindowId window) override;
  bool IsOwnWindow(WindowId window) override;

 private:
  struct Entry {
    WindowId id = kNoWindow;
    std::string key;
    std::string title;
    int processId = 0;
    bool desktopOrDock = false;
    uint64_t lastUsed = 0;
  };

  // With mutex_ held.
  const Entry* Find(WindowId window) const;
  Entry& EntryFor(const std::string& key);
  WindowId NextId();

  mutable std::mutex mutex_;
  std::array<Entry, kRememberedWindows> entries_{};
  uint64_t useCounter_ = 0;
  WindowId lastId_ = kNoWindow;
  std::atomic<WindowId> foreground_{kNoWindow};
};

}  // namespace brevanto
