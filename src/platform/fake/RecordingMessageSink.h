#pragma once

#include <mutex>
#include <vector>

#include "core/ports/MessageSink.h"

namespace brevanto {

// Keeps every posted message, for tests that check what the cycle posted.
class RecordingMessageSink final : public MessageSink {
 public:
  bool Post(uint32_t message, intptr_t wParam, intptr_t lParam) override {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.push_back(PostedMessage{message, wParam, lParam});
    return true;
  }

  std::vector<PostedMessage> Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }
  void Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<PostedMessage> messages_;
};

}  // namespace brevanto
