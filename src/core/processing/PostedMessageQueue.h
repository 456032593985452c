#pragma once

#include <array>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>

#include "core/ports/MessageSink.h"

namespace brevanto {

// The message sink between the processing thread and the user-interface
// thread: a fixed ring, so posting from the cycle never allocates. When the
// receiver stops draining, new messages are dropped rather than letting the
// queue grow without bound; the count of dropped ones is kept.
class PostedMessageQueue final : public MessageSink {
 public:
  static constexpr std::size_t kCapacity = 1024;

  // Called after every successful post, on the posting thread, so the event
  // loop can schedule a Drain. Set before the first post.
  void SetWakeUp(std::function<void()> wakeUp) { wakeUp_ = std::move(wakeUp); }

  bool Post(uint32_t message, intptr_t wParam, intptr_t lParam) override;

  // Hands every queued message to handler, oldest first, on the calling
  // thread. Messages posted meanwhile are handled in the same call. Returns
  // how many were handled.
  std::size_t Drain(const std::function<void(const PostedMessage&)>& handler);
  // Blocks until a message is queued or the timeout passed; true when one is.
  bool WaitForMessage(std::chrono::milliseconds timeout);

  std::size_t Size() const;
  std::size_t Dropped() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::array<PostedMessage, kCapacity> ring_{};
  std::size_t head_ = 0;
  std::size_t size_ = 0;
  std::size_t dropped_ = 0;
  std::function<void()> wakeUp_;
};

}  // namespace brevanto
