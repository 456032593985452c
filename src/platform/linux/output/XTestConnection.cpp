#include "platform/linux/output/XTestConnection.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cstdlib>

#include "core/log/Logger.h"
#include "platform/linux/output/XDisplayOpen.h"

namespace brevanto {

std::unique_ptr<XTestConnection> XTestConnection::Open(const char* displayName) {
  const char* name = displayName ? displayName : std::getenv("DISPLAY");
  if (!name || !*name) {
    LOG_ERROR("XTestConnection: no X display: DISPLAY is not set");
    return nullptr;
  }
  Display* display = OpenXDisplay(name);
  if (!display) {
    LOG_ERROR("XTestConnection: cannot open X display \"%s\"", name);
    return nullptr;
  }
  int eventBase = 0, errorBase = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &eventBase, &errorBase, &major, &minor)) {
    LOG_ERROR("XTestConnection: X display \"%s\" has no XTest extension", name);
    XCloseDisplay(display);
    return nullptr;
  }
  // A key message sent to a window that has just closed is no reason to end.
  IgnoreXProtocolErrors();
  LOG_INFO("XTestConnection: using X display \"%s\" (XTest %d.%d)", name, major, minor);
  return std::unique_ptr<XTestConnection>(new XTestConnection(display));
}

XTestConnection::~XTestConnection() {
  XCloseDisplay(display_);
}

unsigned XTestConnection::KeycodeOfKeysym(uint32_t keysym) const {
  if (keysym == 0) return 0;
  return XKeysymToKeycode(display_, keysym);
}

void XTestConnection::Key(unsigned keycode, bool down) {
  XTestFakeKeyEvent(display_, keycode, down ? True : False, CurrentTime);
}

void XTestConnection::Button(unsigned button, bool down) {
  XTestFakeButtonEvent(display_, button, down ? True : False, CurrentTime);
}

void XTestConnection::MoveRelative(int32_t dx, int32_t dy) {
  XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
}

void XTestConnection::MoveAbsolute(int32_t x, int32_t y) {
  const int screen = DefaultScreen(display_);
  XTestFakeMotionEvent(display_, screen, ScaleNormalised(x, DisplayWidth(display_, screen)),
                       ScaleNormalised(y, DisplayHeight(display_, screen)), CurrentTime);
}

void XTestConnection::SendKey(unsigned long window, unsigned keycode, bool down) {
  XKeyEvent event{};
  event.type = down ? KeyPress : KeyRelease;
  event.display = display_;
  event.window = window;
  event.root = DefaultRootWindow(display_);
  event.subwindow = None;
  event.time = CurrentTime;
  event.same_screen = True;
  event.keycode = keycode;
  XEvent wrapped{};
  wrapped.xkey = event;
  XSendEvent(display_, window, True, down ? KeyPressMask : KeyReleaseMask, &wrapped);
}

void XTestConnection::Flush() {
  XFlush(display_);
}

void XTestConnection::Sync() {
  XSync(display_, False);
}

}  // namespace brevanto
