#pragma once

#include <chrono>
#include <cstdint>
#include <string>

#include "core/ports/InstanceMessageHandler.h"

namespace brevanto {

enum class ChannelStatus {
  Ok,
  NoInstance,  // nothing listens on the channel
  Failed,      // see ErrorText
};

// The sending end of the instance channel, used by a second start and by
// brevantoctl. Send works like SendMessage: it returns once the running
// instance has handled the message, or when the timeout ran out.
class InstanceClient {
 public:
  InstanceClient() = default;
  InstanceClient(const InstanceClient&) = delete;
  InstanceClient& operator=(const InstanceClient&) = delete;
  ~InstanceClient();

  // Connects to the socket, retrying until wait has passed while nothing
  // listens yet (an instance that is still starting). Refuses a socket that
  // belongs to another user.
  ChannelStatus Connect(const std::string& socketPath,
                        std::chrono::milliseconds wait = std::chrono::milliseconds(0));
  // Sends one message and waits for its answer; result receives the
  // handler's result when given.
  ChannelStatus Send(const InstanceMessage& message, std::chrono::milliseconds timeout,
                     int64_t* result = nullptr);
  void Disconnect();

  // Why the last call did not deliver, for the user.
  const std::string& ErrorText() const { return error_; }

 private:
  ChannelStatus Fail(ChannelStatus status, std::string text);

  int fd_ = -1;
  std::string error_;
};

}  // namespace brevanto
