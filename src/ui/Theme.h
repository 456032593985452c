#pragma once

namespace brevanto {

// "Windows" is the platform's own look; "Glow" is Fusion with a dark palette.
// Both replace the application's style and palette as a whole.
void ApplyTheme(bool dark);

}  // namespace brevanto
