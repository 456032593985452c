#include "platform/linux/output/XDisplayOpen.h"

#include <X11/Xlib.h>

#include <chrono>
#include <thread>

namespace brevanto {

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

}  // namespace brevanto
