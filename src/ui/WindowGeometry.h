#pragma once

#include <optional>

namespace brevanto {

// Stored window sizes are at 96 DPI; the window works at scale = its DPI / 96.
// Rounded to the nearest pixel, halves away from zero.
int ScaleForDpi(int stored, double scale);
int UnscaleForDpi(int pixels, double scale);

// A stored position is used only when it lies on the screen: the top within
// the screen height less 32 (so the caption stays reachable), the left within
// the width. Otherwise the window keeps its own default position.
std::optional<int> RestorableTop(int storedTop, int screenHeight);
std::optional<int> RestorableLeft(int storedLeft, int screenWidth);

}  // namespace brevanto
