#pragma once

namespace brevanto {

// The Japanese texts need a CJK font; the program and its tests use the same
// one so that sizes match what the user sees.
inline constexpr const char* kApplicationFontFamily = "Noto Sans CJK JP";

// Sets the application's font to the family above at the window's pixel size.
void ApplyApplicationFont();

}  // namespace brevanto
