#include "platform/linux/wlroots/SwayIpc.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

constexpr char kMagic[] = {'i', '3', '-', 'i', 'p', 'c'};
constexpr std::size_t kHeaderSize = sizeof(kMagic) + 2 * sizeof(uint32_t);
// A whole tree of a busy desktop is well below this; a larger length is a
// damaged frame, not something to allocate for.
constexpr uint32_t kMaxPayload = 16u << 20;

}  // namespace

std::unique_ptr<SwayIpc> SwayIpc::Connect(const std::string& socketPath) {
  sockaddr_un address{};
  if (socketPath.empty() || socketPath.size() >= sizeof(address.sun_path)) return nullptr;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    LOG_ERROR("Sway IPC: cannot connect to %s: %s", socketPath.c_str(), std::strerror(errno));
    ::close(fd);
    return nullptr;
  }
  return std::unique_ptr<SwayIpc>(new SwayIpc(fd));
}

SwayIpc::~SwayIpc() {
  if (fd_ >= 0) ::close(fd_);
}

bool SwayIpc::Send(uint32_t type, std::string_view payload) {
  std::string frame(kMagic, sizeof(kMagic));
  const auto length = static_cast<uint32_t>(payload.size());
  frame.append(reinterpret_cast<const char*>(&length), sizeof(length));
  frame.append(reinterpret_cast<const char*>(&type), sizeof(type));
  frame.append(payload);
  std::size_t sent = 0;
  while (sent < frame.size()) {
    const ssize_t n = ::send(fd_, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<std::size_t>(n);
  }
  return true;
}

bool SwayIpc::ReadExactly(char* data, std::size_t size, int timeoutMs) {
  std::size_t got = 0;
  while (got < size) {
    pollfd waiting{fd_, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, timeoutMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return false;
    const ssize_t n = ::recv(fd_, data + got, size - got, 0);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    got += static_cast<std::size_t>(n);
  }
  return true;
}

std::optional<SwayIpc::Message> SwayIpc::Receive(int timeoutMs) {
  char header[kHeaderSize];
  if (!ReadExactly(header, sizeof(header), timeoutMs)) return std::nullopt;
  if (std::memcmp(header, kMagic, sizeof(kMagic)) != 0) {
    LOG_ERROR("Sway IPC: a message without the i3-ipc mark; the connection is dropped");
    return std::nullopt;
  }
  uint32_t length = 0;
  Message message;
  std::memcpy(&length, header + sizeof(kMagic), sizeof(length));
  std::memcpy(&message.type, header + sizeof(kMagic) + sizeof(length), sizeof(message.type));
  if (length > kMaxPayload) {
    LOG_ERROR("Sway IPC: a message of %u bytes; the connection is dropped", length);
    return std::nullopt;
  }
  message.payload.resize(length);
  if (!ReadExactly(message.payload.data(), length, timeoutMs)) return std::nullopt;
  return message;
}

std::optional<std::string> SwayIpc::Request(uint32_t type, std::string_view payload,
                                            int timeoutMs) {
  if (!Send(type, payload)) return std::nullopt;
  for (;;) {
    std::optional<Message> reply = Receive(timeoutMs);
    if (!reply) return std::nullopt;
    if (reply->type == type) return std::move(reply->payload);
  }
}

}  // namespace brevanto
