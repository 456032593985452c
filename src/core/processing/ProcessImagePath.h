#pragma once

#include <string>

#include "core/ports/WindowTracker.h"

namespace brevanto {

// The full path of the executable that owns window; empty when it cannot be
// obtained, which is logged. The null window gives an empty path silently.
std::string ProcessImagePath(WindowTracker& tracker, WindowId window);

}  // namespace brevanto
