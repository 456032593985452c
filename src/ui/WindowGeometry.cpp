#include "ui/WindowGeometry.h"

#include <cmath>

namespace brevanto {

int ScaleForDpi(int stored, double scale) {
  return static_cast<int>(std::lround(stored * scale));
}

int UnscaleForDpi(int pixels, double scale) {
  return scale > 0.0 ? static_cast<int>(std::lround(pixels / scale)) : pixels;
}

std::optional<int> RestorableTop(int storedTop, int screenHeight) {
  if (storedTop >= 0 && storedTop < screenHeight - 32) return storedTop;
  return std::nullopt;
}

std::optional<int> RestorableLeft(int storedLeft, int screenWidth) {
  if (storedLeft >= 0 && storedLeft < screenWidth) return storedLeft;
  return std::nullopt;
}

}  // namespace brevanto
