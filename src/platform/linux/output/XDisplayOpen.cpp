#include "platform/linux/output/XDisplayOpen.h"

#include <X11/Xlib.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

int LogProtocolError(Display* display, XErrorEvent* error) {
  char text[128] = {};
  XGetErrorText(display, error->error_code, text, sizeof text);
  LOG_DEBUG("X error ignored: %s (request %d)", text, static_cast<int>(error->request_code));
  return 0;
}

}  // namespace

_XDisplay* OpenXDisplay(const char* name) {
  // The output and the key names use their connections from different
  // threads.
  static const bool threaded = XInitThreads() != 0;
  (void)threaded;
  constexpr int kTries = 6;
  auto pause = std::chrono::milliseconds(20);
  for (int attempt = 1;; ++attempt) {
    if (Display* display = XOpenDisplay(name)) return display;
    if (attempt == kTries) return nullptr;
    std::this_thread::sleep_for(pause);
    pause *= 2;
  }
}

void IgnoreXProtocolErrors() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  XSetErrorHandler(LogProtocolError);
}

}  // namespace brevanto
