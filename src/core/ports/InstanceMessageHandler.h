#pragma once

#include <cstdint>
#include <string>

namespace brevanto {

// One message of the main window's protocol as another process sent it: the
// number, the two parameters and, for WM_COPYDATA, the data bytes.
struct InstanceMessage {
  uint32_t message = 0;
  intptr_t wParam = 0;
  intptr_t lParam = 0;
  std::string payload;

  friend bool operator==(const InstanceMessage&, const InstanceMessage&) = default;
};

// Port: what the running instance does with a message another process sent
// it. Called on the user-interface thread, one message at a time; the sender
// waits until the call returns and receives its result. The handler must not
// destroy the channel that called it; quitting goes through the event loop.
class InstanceMessageHandler {
 public:
  virtual ~InstanceMessageHandler() = default;
  virtual intptr_t HandleInstanceMessage(const InstanceMessage& message) = 0;
};

}  // namespace brevanto
