#include "platform/linux/instance/InstanceClient.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <thread>

#include "core/log/Logger.h"
#include "platform/linux/instance/InstanceFrame.h"

namespace brevanto {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits until fd is ready for events or the deadline passed; false on timeout.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
  for (;;) {
    pollfd p{fd, events, 0};
    const int ready = ::poll(&p, 1, RemainingMs(deadline));
    if (ready > 0) return true;
    if (ready == 0) return false;
    if (errno != EINTR) return true;  // the next call reports the error
  }
}

}  // namespace

InstanceClient::~InstanceClient() {
  Disconnect();
}

void InstanceClient::Disconnect() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

ChannelStatus InstanceClient::Fail(ChannelStatus status, std::string text) {
  error_ = std::move(text);
  Disconnect();
  return status;
}

ChannelStatus InstanceClient::Connect(const std::string& socketPath,
                                      std::chrono::milliseconds wait) {
  Disconnect();
  error_.clear();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) {
    return Fail(ChannelStatus::Failed, "the path \"" + socketPath + "\" is too long for a socket");
  }
  socketPath.copy(address.sun_path, socketPath.size());

  const Clock::time_point deadline = Clock::now() + wait;
  for (;;) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return Fail(ChannelStatus::Failed, "cannot create a socket: " + SystemErrorText());
    if (::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0) break;
    const int error = errno;
    Disconnect();
    // No socket, a stale one, or a full backlog: the instance may still be
    // starting or busy; try again until the wait is over.
    const bool absent = error == ENOENT || error == ECONNREFUSED;
    if (!absent && error != EAGAIN) {
      return Fail(ChannelStatus::Failed,
                  "cannot connect to \"" + socketPath + "\": " + SystemErrorText(error));
    }
    if (Clock::now() >= deadline) {
      if (absent) {
        return Fail(ChannelStatus::NoInstance,
                    "no running instance listens on \"" + socketPath + "\"");
      }
      return Fail(ChannelStatus::Failed, "the running instance accepts no connection");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }

  ucred peer{};
  socklen_t size = sizeof peer;
  if (::getsockopt(fd_, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid()) {
    return Fail(ChannelStatus::Failed,
                "\"" + socketPath + "\" belongs to user " + std::to_string(peer.uid));
  }
  return ChannelStatus::Ok;
}

ChannelStatus InstanceClient::Send(const InstanceMessage& message,
                                   std::chrono::milliseconds timeout, int64_t* result) {
  error_.clear();
  if (fd_ < 0) return Fail(ChannelStatus::NoInstance, "not connected");
  std::string frame;
  if (!EncodeInstanceRequest(message, frame)) {
    return Fail(ChannelStatus::Failed, "the data of the message exceeds " +
                                           std::to_string(kMaxInstancePayload) + " bytes");
  }

  const Clock::time_point deadline = Clock::now() + timeout;
  std::size_t done = 0;
  while (done < frame.size()) {
    const ssize_t n = ::send(fd_, frame.data() + done, frame.size() - done, MSG_NOSIGNAL);
    if (n >= 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      return Fail(ChannelStatus::Failed, "cannot send the message: " + SystemErrorText());
    }
    if (!WaitFor(fd_, POLLOUT, deadline)) {
      return Fail(ChannelStatus::Failed, "the running instance takes no message");
    }
  }

  uint8_t reply[kInstanceReplySize];
  done = 0;
  while (done < sizeof reply) {
    const ssize_t n = ::recv(fd_, reply + done, sizeof reply - done, 0);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    if (n == 0) return Fail(ChannelStatus::Failed, "the running instance dropped the message");
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) {
      return Fail(ChannelStatus::Failed, "no answer: " + SystemErrorText());
    }
    if (!WaitFor(fd_, POLLIN, deadline)) {
      return Fail(ChannelStatus::Failed,
                  "no answer within " + std::to_string(timeout.count()) + " ms");
    }
  }
  int64_t value = 0;
  if (!DecodeInstanceReply(std::span<const uint8_t, kInstanceReplySize>(reply), value)) {
    return Fail(ChannelStatus::Failed, "the answer is not of this protocol");
  }
  if (result) *result = value;
  return ChannelStatus::Ok;
}

}  // namespace brevanto
