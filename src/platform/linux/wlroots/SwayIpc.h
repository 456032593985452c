#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brevanto {

// One connection to Sway's IPC socket ($SWAYSOCK): messages framed as
// "i3-ipc", a payload length and a message type in native byte order, then
// the JSON payload.
class SwayIpc {
 public:
  static constexpr uint32_t kGetTree = 4;
  static constexpr uint32_t kSubscribe = 2;
  // Events carry the high bit; window events are number 3.
  static constexpr uint32_t kWindowEvent = 0x80000003u;

  struct Message {
    uint32_t type = 0;
    std::string payload;
  };

  // Nothing when the socket cannot be reached.
  static std::unique_ptr<SwayIpc> Connect(const std::string& socketPath);
  ~SwayIpc();
  SwayIpc(const SwayIpc&) = delete;
  SwayIpc& operator=(const SwayIpc&) = delete;

  int Fd() const { return fd_; }
  bool Send(uint32_t type, std::string_view payload);
  // One whole message, waiting at most timeoutMs for each part of it.
  // Nothing when the connection ended, broke or sent a frame that is not
  // Sway's; the connection is then of no further use.
  std::optional<Message> Receive(int timeoutMs);
  // A request and its reply, skipping events that arrive in between.
  std::optional<std::string> Request(uint32_t type, std::string_view payload, int timeoutMs);

 private:
  explicit SwayIpc(int fd) : fd_(fd) {}
  bool ReadExactly(char* data, std::size_t size, int timeoutMs);

  int fd_ = -1;
};

}  // namespace brevanto
