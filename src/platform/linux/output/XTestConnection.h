#pragma once

#include <cstdint>
#include <memory>
#include <string>

struct _XDisplay;

namespace brevanto {

// The processing thread's own X connection for injecting input: XTest for
// keys, buttons and motion, XSendEvent for key events addressed to a window.
// Used from one thread only.
class XTestConnection {
 public:
  // Opens the display (nullptr: $DISPLAY) and checks for the XTest extension.
  // nullptr on failure, with the reason logged at Error.
  static std::unique_ptr<XTestConnection> Open(const char* displayName = nullptr);

  ~XTestConnection();
  XTestConnection(const XTestConnection&) = delete;
  XTestConnection& operator=(const XTestConnection&) = delete;

  // The keycode that produces the keysym in the current keyboard mapping, or 0.
  unsigned KeycodeOfKeysym(uint32_t keysym) const;

  void Key(unsigned keycode, bool down);
  void Button(unsigned button, bool down);
  void MoveRelative(int32_t dx, int32_t dy);
  // Normalised 0..65535 desktop coordinates, scaled to the screen.
  void MoveAbsolute(int32_t x, int32_t y);
  // A synthetic KeyPress or KeyRelease delivered to window. A window that no
  // longer exists is not an error the program stops for.
  void SendKey(unsigned long window, unsigned keycode, bool down);
  // Hands everything queued to the server.
  void Flush();
  // Waits until the server has handled everything sent so far.
  void Sync();

 private:
  explicit XTestConnection(_XDisplay* display) : display_(display) {}

  _XDisplay* display_;
};

// Scales a normalised 0..65535 coordinate to a pixel of an axis of this size.
constexpr int32_t ScaleNormalised(int32_t value, int32_t size) {
  if (value < 0) value = 0;
  if (value > 65535) value = 65535;
  return static_cast<int32_t>(static_cast<int64_t>(value) * size / 65536);
}

}  // namespace brevanto
