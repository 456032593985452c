#pragma once

namespace brevanto {

// Whether the window can be shown: $DISPLAY names an X server that accepts a
// connection. Qt would abort on a display it cannot open, so this is asked
// first.
bool DisplayAvailable();

}  // namespace brevanto
