#pragma once

struct _XDisplay;

namespace brevanto {

// XOpenDisplay that rides out a busy server: a connection refused for the
// moment (a full accept queue) is tried again a few times before giving up.
// nullptr when the display cannot be reached.
_XDisplay* OpenXDisplay(const char* name);

}  // namespace brevanto
