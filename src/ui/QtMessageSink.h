#pragma once

#include <QObject>
#include <functional>

#include "core/ports/MessageSink.h"

namespace brevanto {

// Delivers the processing thread's messages on the thread of the receiver
// object (the user-interface thread), in the order they were posted. Post
// only queues: it never waits for the receiver.
class QtMessageSink final : public MessageSink {
 public:
  using Handler = std::function<void(const PostedMessage&)>;

  // The receiver must outlive every Post; the processing thread is stopped
  // before the window goes.
  QtMessageSink(QObject* receiver, Handler handler)
      : receiver_(receiver), handler_(std::move(handler)) {}

  bool Post(uint32_t message, intptr_t wParam, intptr_t lParam) override;

 private:
  QObject* receiver_;
  Handler handler_;
};

}  // namespace brevanto
