#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "core/ports/Clipboard.h"

// Xlib's own tags, so that its macros stay out of every file including this.
struct _XDisplay;
union _XEvent;

namespace brevanto {

// The system clipboard without a user interface: owns the X11 CLIPBOARD
// selection through a connection and an unmapped window of its own, on a
// thread of its own that answers the paste requests of other applications
// (TARGETS, TIMESTAMP, UTF8_STRING, TEXT, text/plain;charset=utf-8 and
// Latin-1 STRING). The text is served until another application takes the
// clipboard; it goes when this object does, as X11 keeps no copy.
class X11Clipboard : public Clipboard {
 public:
  // Connects to the display (nullptr: $DISPLAY). Without one the clipboard
  // stays closed and every SetClipboardText fails with a log line. Tests that
  // share a display name a selection of their own.
  explicit X11Clipboard(const char* displayName = nullptr, const char* selection = "CLIPBOARD");
  ~X11Clipboard() override;
  X11Clipboard(const X11Clipboard&) = delete;
  X11Clipboard& operator=(const X11Clipboard&) = delete;

  bool IsOpen() const { return display_ != nullptr; }

  // Takes the CLIPBOARD selection with the text and returns once the X
  // server has made this program its owner, so a Ctrl+V sent next pastes it.
  // CR LF line ends become LF, the line end of X11 text.
  bool SetClipboardText(std::string_view text) override;

 private:
  struct Atoms {
    unsigned long clipboard = 0;
    unsigned long targets = 0;
    unsigned long timestamp = 0;
    unsigned long utf8String = 0;
    unsigned long text = 0;
    unsigned long textPlainUtf8 = 0;
    unsigned long stamp = 0;  // property written to learn the server time
  };

  void Run();
  void HandleWake();
  void HandleEvent(const _XEvent& event);
  void AnswerRequest(const _XEvent& event);
  void Finish(bool result);

  _XDisplay* display_ = nullptr;
  unsigned long window_ = 0;
  Atoms atoms_;
  int wakeFd_ = -1;
  std::thread thread_;

  std::mutex mutex_;
  std::condition_variable done_;
  bool stop_ = false;
  uint64_t requested_ = 0;  // number of the latest SetClipboardText
  uint64_t finished_ = 0;   // number of the latest one the thread completed
  bool lastResult_ = false;
  std::string pendingText_;

  // Owned by the thread.
  bool awaitingTimestamp_ = false;
  uint64_t acquiring_ = 0;
  std::string acquiringText_;
  bool owned_ = false;
  unsigned long ownedSince_ = 0;  // X server time of the ownership
  std::string text_;
};

}  // namespace brevanto
