#pragma once

#include <QString>

namespace brevanto {

// "Windows" is the platform's own look; "Glow" is Fusion with a dark palette.
// Both replace the application's style and palette as a whole.
void ApplyTheme(bool dark);

// The name of the style the application draws with ("fusion", ...), seen
// through the wrapper that ApplyTheme puts around it.
QString ThemeStyleName();

}  // namespace brevanto
