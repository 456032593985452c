#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "core/ports/InstanceMessageHandler.h"

namespace brevanto {

// Keeps every message the instance channel handed over, with the thread that
// handled it, and answers with a chosen result.
class RecordingInstanceHandler final : public InstanceMessageHandler {
 public:
  intptr_t HandleInstanceMessage(const InstanceMessage& message) override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      messages_.push_back(message);
      threads_.push_back(std::this_thread::get_id());
    }
    if (onMessage) onMessage(message);
    return result ? result(message) : 0;
  }

  std::vector<InstanceMessage> Messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
  }
  std::vector<std::thread::id> Threads() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return threads_;
  }

  // Run inside the handling, after the message was recorded.
  std::function<void(const InstanceMessage&)> onMessage;
  std::function<intptr_t(const InstanceMessage&)> result;

 private:
  mutable std::mutex mutex_;
  std::vector<InstanceMessage> messages_;
  std::vector<std::thread::id> threads_;
};

}  // namespace brevanto
