#include "KeyReceiver.h"

#include <X11/Xlib.h>
#include <poll.h>

#include <algorithm>
#include <ctime>

#include "TickSchedule.h"

namespace brevanto::bench {
namespace {

constexpr int64_t kSetUpTimeoutNs = 5000000000;
// Tries of 20 ms each.
constexpr int kRemapEvery = 10;

}  // namespace

std::unique_ptr<KeyReceiver> KeyReceiver::Open(const std::string& displayName) {
  Display* display = XOpenDisplay(displayName.c_str());
  if (!display) return nullptr;
  const Window window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 320, 240, 0,
                                            0, WhitePixel(display, DefaultScreen(display)));
  XSelectInput(display, window, KeyPressMask | KeyReleaseMask | StructureNotifyMask);
  XMapRaised(display, window);
  XSync(display, False);
  std::unique_ptr<KeyReceiver> receiver(new KeyReceiver(display, window));
  // A window manager maps the window in its own time, and one still starting
  // may drop the request (Openbox announces itself before it manages
  // windows): the map is asked for again, and the focus until it is there.
  const int64_t end = MonotonicNs() + kSetUpTimeoutNs;
  for (int attempt = 1; MonotonicNs() < end; ++attempt) {
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    if (attributes.map_state != IsViewable && attempt % kRemapEvery == 0) {
      XMapRaised(display, window);
    }
    if (attributes.map_state == IsViewable) {
      XSetInputFocus(display, window, RevertToParent, CurrentTime);
      Window focus = None;
      int revert = 0;
      XGetInputFocus(display, &focus, &revert);
      if (focus == window) {
        receiver->Drain();
        return receiver;
      }
    }
    const timespec pause{0, 20000000};
    ::nanosleep(&pause, nullptr);
  }
  return nullptr;
}

KeyReceiver::~KeyReceiver() {
  XDestroyWindow(display_, window_);
  XCloseDisplay(display_);
}

unsigned KeyReceiver::Keycode(unsigned long keysym) const {
  return XKeysymToKeycode(display_, keysym);
}

void KeyReceiver::Drain() {
  XSync(display_, False);
  while (XPending(display_)) {
    XEvent event;
    XNextEvent(display_, &event);
  }
}

std::optional<int64_t> KeyReceiver::WaitKey(bool press, unsigned keycode, int64_t timeoutNs) {
  const int wanted = press ? KeyPress : KeyRelease;
  const int64_t end = MonotonicNs() + timeoutNs;
  for (;;) {
    // Events Xlib has read already carry the time of the read that brought
    // them.
    while (XEventsQueued(display_, QueuedAlready) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == wanted && event.xkey.keycode == keycode) return lastReadNs_;
    }
    const int64_t left = end - MonotonicNs();
    if (left <= 0) return std::nullopt;
    pollfd p{ConnectionNumber(display_), POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::max<int64_t>(left / 1000000, 1)));
    if (ready <= 0) continue;
    lastReadNs_ = MonotonicNs();
    XEventsQueued(display_, QueuedAfterReading);
  }
}

}  // namespace brevanto::bench
