#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

struct _XDisplay;

namespace brevanto::bench {

// The application the keys are meant for: an X client on its own connection
// with a window that has the keyboard focus. It notes when an event became
// readable on its connection, on the monotonic clock (the X server's event
// times count whole milliseconds).
class KeyReceiver {
 public:
  // nullptr when the display cannot be opened or the window does not get
  // the focus.
  static std::unique_ptr<KeyReceiver> Open(const std::string& displayName);
  ~KeyReceiver();
  KeyReceiver(const KeyReceiver&) = delete;
  KeyReceiver& operator=(const KeyReceiver&) = delete;

  // The keycode the current keyboard map gives this keysym.
  unsigned Keycode(unsigned long keysym) const;
  // Drops every event received so far.
  void Drain();
  // Waits for a KeyPress (or KeyRelease) of the key; the monotonic time its
  // bytes were found readable, nullopt when timeoutNs passed first.
  std::optional<int64_t> WaitKey(bool press, unsigned keycode, int64_t timeoutNs);

 private:
  KeyReceiver(_XDisplay* display, unsigned long window) : display_(display), window_(window) {}

  _XDisplay* display_;
  unsigned long window_;
  int64_t lastReadNs_ = 0;
};

}  // namespace brevanto::bench
