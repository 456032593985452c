#pragma once

#include <cstdint>

namespace brevanto {

// One posted message: a number of the main window's protocol and its two
// parameters.
struct PostedMessage {
  uint32_t message = 0;
  intptr_t wParam = 0;
  intptr_t lParam = 0;

  friend bool operator==(const PostedMessage&, const PostedMessage&) = default;
};

// Port: how the processing thread tells the user-interface thread that
// something changed. Post never waits for the receiver and never blocks on
// it; the user-interface thread handles the messages later, in order.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // False when the message could not be queued (the receiver is not keeping
  // up); the poster goes on.
  virtual bool Post(uint32_t message, intptr_t wParam, intptr_t lParam) = 0;
};

}  // namespace brevanto
