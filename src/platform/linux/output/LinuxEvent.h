#pragma once

#include <cstdint>

#include "core/ports/AbstractEvent.h"

namespace brevanto {

class InputEventWriter;
class XTestConnection;

// What the output methods inject through, shared by all four. Either may be
// missing; with neither, requests are dropped after one log line.
struct OutputFacilities {
  InputEventWriter* uinput = nullptr;
  XTestConnection* x = nullptr;
  // A Wayland session: the X server is XWayland, which reaches only X11
  // windows, so uinput serves every method when it is there.
  bool wayland = false;
  bool dropLogged = false;
  bool messageDropLogged = false;
  bool messageFallbackLogged = false;
};

// The mouse operations and the Pause sequence, common to every output method:
// uinput when it is there, else XTest. Subclasses differ only in KeyEvent.
class LinuxEvent : public AbstractEvent {
 public:
  explicit LinuxEvent(OutputFacilities& facilities) : out_(facilities) {}

  void MoveAbsolute(int32_t x, int32_t y) override;
  void MoveRelative(int32_t dx, int32_t dy) override;
  void Wheel(int32_t delta) override;
  void HWheel(int32_t delta) override;
  void MouseButtons(bool press, bool release, int32_t left, int32_t middle, int32_t right,
                    int32_t x1, int32_t x2) override;
  void SendPauseSequence() override;

 protected:
  bool KeyUp(int32_t flags) const { return (flags & kKeyUp) != 0; }
  bool Extended(int32_t flags) const { return (flags & kExtendedKey) != 0; }

  // The evdev key through uinput, else through XTest as keycode code + 8.
  void SendEvdevKey(uint16_t code, bool down);
  // The X keycode of the current layout for the character of a virtual key;
  // keys the layout has no keysym for fall back to their place on the board.
  // 0 when there is none. Needs the X connection.
  unsigned LayoutKeycode(uint8_t virtualKey, uint8_t scanCode, bool extended) const;
  // Whether keys and the pointer go through uinput although X is there.
  bool UinputFirst() const { return out_.uinput != nullptr && out_.wayland; }
  // The key of the virtual key's character through uinput: the layout's
  // key when X knows the layout, else the key of the US board.
  void SendLayoutKeyThroughUinput(uint8_t virtualKey, uint8_t scanCode, int32_t flags);
  // Logs, once for all methods, that a request had nowhere to go.
  void Drop();

  OutputFacilities& out_;

 private:
  void WheelNotches(int32_t delta, uint16_t axis, unsigned positiveButton, unsigned negativeButton);
};

}  // namespace brevanto
