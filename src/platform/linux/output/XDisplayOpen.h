#pragma once

struct _XDisplay;

namespace brevanto {

// XOpenDisplay that rides out a busy server: a connection refused for the
// moment (a full accept queue) is tried again a few times before giving up.
// nullptr when the display cannot be reached.
_XDisplay* OpenXDisplay(const char* name);

// X protocol errors end the process by default. A request about a window or
// device that has just gone must not do that: from the first call on, they
// are logged at Debug and ignored.
void IgnoreXProtocolErrors();

}  // namespace brevanto
