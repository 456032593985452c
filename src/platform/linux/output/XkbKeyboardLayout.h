#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "core/ports/KeyboardLayout.h"

struct _XDisplay;

namespace brevanto {

// The character a virtual key prints on the current X keyboard layout: the
// key at the virtual key's place on the keyboard, unshifted, in the active
// layout group, shown as on a key cap (letters upper case). Follows layout
// and group changes. Has its own X connection; safe from any thread.
class XkbKeyboardLayout : public KeyboardLayout {
 public:
  // nullptr when the display cannot be opened or lacks XKB (logged at Error).
  static std::unique_ptr<XkbKeyboardLayout> Open(const char* displayName = nullptr);

  ~XkbKeyboardLayout() override;
  XkbKeyboardLayout(const XkbKeyboardLayout&) = delete;
  XkbKeyboardLayout& operator=(const XkbKeyboardLayout&) = delete;

  std::string CharacterOf(uint8_t virtualKey) const override;

 private:
  XkbKeyboardLayout(_XDisplay* display, int xkbEventBase)
      : display_(display), xkbEventBase_(xkbEventBase) {}
  void NoteChanges() const;
  void Rebuild() const;

  mutable std::mutex mutex_;
  _XDisplay* display_;
  int xkbEventBase_;
  mutable bool stale_ = true;
  mutable std::array<std::string, 256> characters_;
};

// The text of a keysym as a key cap shows it: upper case, dead accents as
// their spacing forms, nothing for keys that print no character.
std::string KeyCapText(unsigned long keysym);

}  // namespace brevanto
