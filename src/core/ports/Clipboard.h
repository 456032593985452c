#pragma once

#include <string_view>

namespace brevanto {

// Port: the system clipboard, written by the text paste before it sends
// Ctrl+V. SetClipboardText returns once the text is what a paste receives,
// or false (logged) when the clipboard cannot be set.
class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard content by the UTF-8 text.
  virtual bool SetClipboardText(std::string_view text) = 0;
};

}  // namespace brevanto
