#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "core/ports/WindowTracker.h"

struct xcb_connection_t;

namespace brevanto {

// The foreground window of the X display: the window manager's
// _NET_ACTIVE_WINDOW, else the top-level window holding the input focus.
// Titles come from _NET_WM_NAME or WM_NAME, the process from _NET_WM_PID and
// /proc/PID/exe. It keeps a connection of its own (XCB: errors come back per
// request instead of through a process-wide handler) and learns of changes
// of the active window or the focus from events. A thread of its own reads
// them as they arrive and keeps the answer current, so asking for the
// foreground window costs neither a round trip to the server nor a system
// call. Safe to call from several threads.
class X11WindowTracker final : public WindowTracker {
 public:
  // displayName nullptr means $DISPLAY. Without an X server every window is
  // none; that is logged once.
  explicit X11WindowTracker(const char* displayName = nullptr);
  X11WindowTracker(const X11WindowTracker&) = delete;
  X11WindowTracker& operator=(const X11WindowTracker&) = delete;
  ~X11WindowTracker() override;

  bool Connected() const;

  WindowId ForegroundWindow() override;
  std::string WindowTitle(WindowId window) override;
  ProcessPath ProcessPathOf(WindowId window) override;
  bool IsDesktopOrDock(WindowId window) override;

  // Reads /proc/PID/exe. Exposed for the capture dialog and tests.
  static ProcessPath ExecutableOf(int processId);

  // Round trips to the server made so far to learn the foreground window;
  // a tick that finds the same window as before adds none.
  int RoundTrips() const;

 private:
  struct Atoms {
    uint32_t activeWindow = 0;
    uint32_t wmName = 0;  // _NET_WM_NAME
    uint32_t utf8String = 0;
    uint32_t wmPid = 0;
    uint32_t windowType = 0;
    uint32_t typeDesktop = 0;
    uint32_t typeDock = 0;
    uint32_t wmState = 0;
  };

  struct FocusOwner {
    uint32_t client = 0;
    uint32_t topLevel = 0;
  };

  void ReadEventsAsTheyCome();
  // All with mutex_ held.
  bool Usable();
  // fromSocket: also read what waits on the connection, not only what an
  // answer brought along.
  void ReadEvents(bool fromSocket);
  // Reads the events and asks for what they made stale.
  void Update(bool fromSocket);
  uint32_t InputFocus();
  void RefreshFocus();
  void Watch(uint32_t topLevel);
  FocusOwner FocusOwnerOf(uint32_t window);
  bool HasProperty(uint32_t window, uint32_t atom);
  int ProcessIdOf(uint32_t window);
  bool OnThisHost(uint32_t window);

  mutable std::mutex mutex_;
  xcb_connection_t* connection_ = nullptr;
  bool lostLogged_ = false;
  uint32_t root_ = 0;
  Atoms atoms_;
  bool activeWindowStale_ = true;
  bool activeWindowNamed_ = false;  // the root has _NET_ACTIVE_WINDOW
  uint32_t activeWindow_ = 0;
  bool focusStale_ = true;
  uint32_t focusClient_ = 0;
  uint32_t watched_ = 0;  // the focused application's top-level window
  int roundTrips_ = 0;
  // The answer, kept current by the reader thread (or on each call without
  // it); read without the mutex.
  std::atomic<WindowId> foreground_{kNoWindow};
  int wakeFd_ = -1;
  std::thread reader_;
  std::string hostName_;
};

}  // namespace brevanto
