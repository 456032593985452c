#pragma once

#include <cstdint>
#include <string>

namespace brevanto {

// Port: the current keyboard layout, asked for the character a key prints so
// that key names follow the user's layout.
class KeyboardLayout {
 public:
  virtual ~KeyboardLayout() = default;
  // The character (UTF-8) the unshifted key with this virtual-key code prints,
  // or an empty string when it prints none.
  virtual std::string CharacterOf(uint8_t virtualKey) const = 0;
};

}  // namespace brevanto
