#pragma once

#include <X11/Xlib.h>
#include <poll.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/output/XDisplayOpen.h"
#include "support/DisplayLock.h"

namespace brevanto::testing {

inline constexpr const char* kNoDisplayReason =
    "no X display (DISPLAY is unset; `make test` runs these under xvfb-run)";

// Xvfb resets itself when its last client leaves and refuses connections
// meanwhile, so a test waits a little longer than the program would.
inline Display* OpenTestDisplay() {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  Display* d = nullptr;
  while (!(d = OpenXDisplay(nullptr)) && std::chrono::steady_clock::now() < end) {
  }
  return d;
}

inline bool HasDisplay() {
  const char* name = std::getenv("DISPLAY");
  if (!name || !*name) return false;
  Display* d = OpenTestDisplay();
  if (!d) return false;
  XCloseDisplay(d);
  return true;
}

// A small X client window that has the keyboard focus and the pointer, and
// collects the input events it receives.
class TestWindow {
 public:
  static constexpr int kWidth = 400;
  static constexpr int kHeight = 300;
  static constexpr int kPointerX = 100;
  static constexpr int kPointerY = 100;

  // nullptr without a display.
  static std::unique_ptr<TestWindow> Open() {
    Display* d = OpenTestDisplay();
    if (!d) return nullptr;
    return std::unique_ptr<TestWindow>(new TestWindow(d));
  }

  ~TestWindow() {
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }

  Display* display() const { return display_; }
  Window window() const { return window_; }

  // Drops everything received so far.
  void Drain() {
    XSync(display_, False);
    while (XPending(display_)) {
      XEvent e;
      XNextEvent(display_, &e);
    }
  }

  // Waits until count events pass the filter or the time is up; returns them.
  std::vector<XEvent> Collect(const std::function<bool(const XEvent&)>& wanted, size_t count,
                              std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    std::vector<XEvent> events;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (events.size() < count && std::chrono::steady_clock::now() < end) {
      if (!XPending(display_)) {
        pollfd p{ConnectionNumber(display_), POLLIN, 0};
        ::poll(&p, 1, 10);
        continue;
      }
      XEvent e;
      XNextEvent(display_, &e);
      if (wanted(e)) events.push_back(e);
    }
    return events;
  }

  std::vector<XEvent> CollectTypes(std::vector<int> types, size_t count,
                                   std::chrono::milliseconds timeout = std::chrono::seconds(3)) {
    return Collect(
        [&](const XEvent& e) {
          for (int t : types) {
            if (e.type == t) return true;
          }
          return false;
        },
        count, timeout);
  }

  // Where the pointer is, in root coordinates.
  std::pair<int, int> Pointer() {
    Window root, child;
    int rootX = 0, rootY = 0, x = 0, y = 0;
    unsigned mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &rootX, &rootY, &x, &y,
                  &mask);
    return {rootX, rootY};
  }

 private:
  explicit TestWindow(Display* d) : display_(d) {
    window_ = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, kWidth, kHeight, 0, 0, 0);
    XSelectInput(d, window_,
                 StructureNotifyMask | KeyPressMask | KeyReleaseMask | ButtonPressMask |
                     ButtonReleaseMask | PointerMotionMask);
    XMapRaised(d, window_);
    Collect([](const XEvent& e) { return e.type == MapNotify; }, 1);
    XSetInputFocus(d, window_, RevertToParent, CurrentTime);
    XWarpPointer(d, None, window_, 0, 0, 0, 0, kPointerX, kPointerY);
    Drain();
  }

  DisplayLock lock_;
  Display* display_;
  Window window_ = 0;
};

}  // namespace brevanto::testing
