#include "app/program/DisplayProbe.h"

#include <X11/Xlib.h>

namespace brevanto {

bool DisplayAvailable() {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  XCloseDisplay(display);
  return true;
}

}  // namespace brevanto
