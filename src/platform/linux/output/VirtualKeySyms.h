#pragma once

#include <cstdint>

namespace brevanto {

// The X keysym a virtual key stands for (US meanings for the punctuation
// keys), or 0 when it has none. With the extended flag, Enter is the numpad
// Enter, as the E0 prefix makes it on the keyboard.
uint32_t KeysymOfVirtualKey(uint8_t virtualKey, bool extended);

}  // namespace brevanto
