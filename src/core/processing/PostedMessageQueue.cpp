#include "core/processing/PostedMessageQueue.h"

namespace brevanto {

bool PostedMessageQueue::Post(uint32_t message, intptr_t wParam, intptr_t lParam) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (size_ == kCapacity) {
      ++dropped_;
      return false;
    }
    ring_[(head_ + size_) % kCapacity] = PostedMessage{message, wParam, lParam};
    ++size_;
  }
  posted_.notify_one();
  if (wakeUp_) wakeUp_();
  return true;
}

std::size_t PostedMessageQueue::Drain(const std::function<void(const PostedMessage&)>& handler) {
  std::size_t handled = 0;
  for (;;) {
    PostedMessage next;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (size_ == 0) break;
      next = ring_[head_];
      head_ = (head_ + 1) % kCapacity;
      --size_;
    }
    // Outside the lock: a handler may post again.
    handler(next);
    ++handled;
  }
  return handled;
}

bool PostedMessageQueue::WaitForMessage(std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return posted_.wait_for(lock, timeout, [this] { return size_ > 0; });
}

std::size_t PostedMessageQueue::Size() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return size_;
}

std::size_t PostedMessageQueue::Dropped() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return dropped_;
}

}  // namespace brevanto
