#pragma once

#include <cstdint>

namespace brevanto {

// Set-1 scan codes of the US keyboard layout, with bit 8 standing for the E0
// prefix. The numbers follow what Windows derives for a virtual key (a few
// keys fixed by the program, the navigation keys marked extended), since
// profiles and key output are defined in those terms. 0 means no scan code.
uint16_t VirtualKeyToScanCode(uint8_t virtualKey);

// The lowest virtual key whose scan code VirtualKeyToScanCode gives, or 0.
uint8_t ScanCodeToVirtualKey(uint16_t scanCode);

}  // namespace brevanto
