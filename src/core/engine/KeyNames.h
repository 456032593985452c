#pragma once

#include <cstdint>
#include <string>

namespace brevanto {

class KeyboardLayout;

// Display name of a virtual button 0..183 ("Stick1: ←", "Button 1").
std::string ButtonName(int index);

// Display name of a key code. Letter and punctuation keys show what the
// current keyboard layout prints when a layout is installed.
std::string KeyName(uint32_t code);

// Installs the layout KeyName asks (nullptr: none, the table names apply).
// The layout must outlive its use.
void SetKeyboardLayout(const KeyboardLayout* layout);
const KeyboardLayout* CurrentKeyboardLayout();

}  // namespace brevanto
