#include "XTestKey.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace brevanto::bench {

std::unique_ptr<XTestKey> XTestKey::Open(const std::string& displayName, unsigned keycode) {
  Display* display = XOpenDisplay(displayName.c_str());
  if (!display) return nullptr;
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
    XCloseDisplay(display);
    return nullptr;
  }
  return std::unique_ptr<XTestKey>(new XTestKey(display, keycode));
}

XTestKey::~XTestKey() {
  XTestFakeKeyEvent(display_, keycode_, False, CurrentTime);
  XCloseDisplay(display_);
}

void XTestKey::Set(bool down) {
  XTestFakeKeyEvent(display_, keycode_, down ? True : False, CurrentTime);
  XFlush(display_);
}

}  // namespace brevanto::bench
