#include "platform/linux/instance/InstanceServer.h"

#include <sys/epoll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/timerfd.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <exception>

#include "core/log/Logger.h"
#include "platform/linux/instance/InstancePaths.h"

namespace brevanto {
namespace {

void LogErrno(int error) {
  Logger& logger = Logger::Instance();
  if (logger.IsOpen()) logger.WriteAt(LogLevel::Error, __FILE__, __LINE__, SystemErrorText(error));
}

}  // namespace

InstanceServer::InstanceServer(InstanceMessageHandler& handler,
                               std::chrono::milliseconds frameDeadline)
    : handler_(handler), frameDeadline_(frameDeadline) {}

InstanceServer::~InstanceServer() {
  Shutdown();
}

InstanceServer::ListenStatus InstanceServer::Listen(const std::string& directory) {
  Shutdown();
  const std::string path = InstanceSocketPath(directory);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) {
    LOG_ERROR("InstanceChannel: the path \"%s\" is too long for a local socket", path.c_str());
    return ListenStatus::Failed;
  }
  path.copy(address.sun_path, path.size());

  // Whoever holds this lock owns the socket file, so removing a stale socket
  // can never remove the live one of another instance.
  switch (socketLock_.TryAcquire(InstanceSocketLockPath(directory))) {
    case LockStatus::Acquired:
      break;
    case LockStatus::HeldElsewhere:
      LOG_INFO("InstanceChannel: another instance serves \"%s\"", path.c_str());
      return ListenStatus::ServedElsewhere;
    case LockStatus::Failed: {
      const int error = errno;
      LOG_ERROR("InstanceChannel: cannot lock \"%s\"", InstanceSocketLockPath(directory).c_str());
      LogErrno(error);
      return ListenStatus::Failed;
    }
  }

  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0) {
    if (!S_ISSOCK(st.st_mode)) {
      LOG_ERROR("InstanceChannel: \"%s\" exists and is not a socket", path.c_str());
      socketLock_.Release();
      return ListenStatus::Failed;
    }
    ::unlink(path.c_str());  // left behind by an instance that crashed
  }

  auto fail = [&](const char* what) {
    const int error = errno;
    LOG_ERROR("InstanceChannel: cannot %s \"%s\"", what, path.c_str());
    LogErrno(error);
    Shutdown();
    return ListenStatus::Failed;
  };

  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) return fail("create a socket for");
  // The file is created with the socket's mode, so it is private from the
  // first moment; the chmod after bind covers file systems that ignore it.
  ::fchmod(listenFd_, 0600);
  if (::bind(listenFd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    return fail("bind");
  }
  socketPath_ = path;
  if (::lstat(path.c_str(), &st) == 0) {
    socketDevice_ = st.st_dev;
    socketInode_ = st.st_ino;
  }
  if (::chmod(path.c_str(), 0600) != 0) return fail("protect");
  if (::listen(listenFd_, 16) != 0) return fail("listen on");

  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  if (epollFd_ < 0) return fail("watch");
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.fd = listenFd_;
  if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, listenFd_, &event) != 0) return fail("watch");
  timerFd_ = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
  if (timerFd_ < 0) return fail("time connections of");
  event.data.fd = timerFd_;
  if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, timerFd_, &event) != 0) return fail("watch");

  LOG_INFO("InstanceChannel: listening on \"%s\"", path.c_str());
  return ListenStatus::Listening;
}

void InstanceServer::Shutdown() {
  while (!connections_.empty()) Close(connections_.back()->fd);
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    listenFd_ = -1;
  }
  if (epollFd_ >= 0) {
    ::close(epollFd_);
    epollFd_ = -1;
  }
  if (timerFd_ >= 0) {
    ::close(timerFd_);
    timerFd_ = -1;
  }
  if (!socketPath_.empty()) {
    // Only our own socket file: after a crash another instance may have
    // replaced it.
    struct stat st {};
    if (::lstat(socketPath_.c_str(), &st) == 0 && st.st_dev == socketDevice_ &&
        st.st_ino == socketInode_) {
      ::unlink(socketPath_.c_str());
    }
    socketPath_.clear();
  }
  socketLock_.Release();
}

void InstanceServer::Process() {
  if (processing_ || epollFd_ < 0) return;
  struct Busy {
    bool& flag;
    explicit Busy(bool& f) : flag(f) { flag = true; }
    ~Busy() { flag = false; }
  } busy(processing_);
  epoll_event events[16];
  const int count = ::epoll_wait(epollFd_, events, 16, 0);
  for (int i = 0; i < count; ++i) {
    if (events[i].data.fd == listenFd_) {
      AcceptAll();
    } else if (events[i].data.fd == timerFd_) {
      uint64_t expirations;
      while (::read(timerFd_, &expirations, sizeof expirations) < 0 && errno == EINTR) {
      }
    } else if (Connection* connection = Find(events[i].data.fd)) {
      Serve(*connection);
    }
  }
  CloseExpired(Clock::now());
  ArmTimer();
}

bool InstanceServer::MayLog(Drop kind, std::string& suffix) {
  std::size_t suppressed = 0;
  if (!throttles_[static_cast<std::size_t>(kind)].Allow(Clock::now(), suppressed)) return false;
  suffix =
      suppressed == 0 ? std::string() : " (and " + std::to_string(suppressed) + " more not logged)";
  return true;
}

void InstanceServer::CloseExpired(Clock::time_point now) {
  std::vector<int> expired;
  for (const auto& c : connections_) {
    if (c->deadline <= now) expired.push_back(c->fd);
  }
  for (const int fd : expired) {
    // Bytes that arrived while this thread was busy elsewhere are the
    // sender's due: read them before judging the connection.
    if (Connection* connection = Find(fd)) {
      char byte;
      if (::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) > 0) Serve(*connection);
    }
    Connection* connection = Find(fd);
    if (connection == nullptr || connection->deadline > now) continue;
    std::string suffix;
    if (MayLog(Drop::Expired, suffix)) {
      LOG_ERROR("InstanceChannel: closed a connection that sent no complete message within %" PRId64
                " ms%s",
                static_cast<int64_t>(frameDeadline_.count()), suffix.c_str());
    }
    Close(fd);
  }
}

void InstanceServer::MakeRoom() {
  auto oldest =
      std::min_element(connections_.begin(), connections_.end(),
                       [](const auto& a, const auto& b) { return a->deadline < b->deadline; });
  if (oldest == connections_.end()) return;
  std::string suffix;
  if (MayLog(Drop::MakeRoom, suffix)) {
    LOG_ERROR("InstanceChannel: %zu connections are open: closed the one waiting longest%s",
              connections_.size(), suffix.c_str());
  }
  Close((*oldest)->fd);
}

void InstanceServer::ArmTimer() {
  if (timerFd_ < 0) return;
  itimerspec when{};
  if (!connections_.empty()) {
    const auto earliest =
        std::min_element(connections_.begin(), connections_.end(),
                         [](const auto& a, const auto& b) { return a->deadline < b->deadline; });
    // steady_clock is CLOCK_MONOTONIC; an absolute time already past fires
    // at once. Zero would disarm, so the earliest moment is one nanosecond.
    const auto ns = std::max<int64_t>(1, std::chrono::duration_cast<std::chrono::nanoseconds>(
                                             (*earliest)->deadline.time_since_epoch())
                                             .count());
    when.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
    when.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
  }
  ::timerfd_settime(timerFd_, TFD_TIMER_ABSTIME, &when, nullptr);
}

void InstanceServer::AcceptAll() {
  for (;;) {
    const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR || errno == ECONNABORTED) continue;
      if (errno != EAGAIN && errno != EWOULDBLOCK) {
        const int error = errno;
        LOG_ERROR("InstanceChannel: cannot accept a connection");
        LogErrno(error);
      }
      return;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 || peer.uid != ::geteuid()) {
      std::string suffix;
      if (MayLog(Drop::ForeignUser, suffix)) {
        LOG_ERROR("InstanceChannel: refused a connection of user %u (process %d)%s",
                  static_cast<unsigned>(peer.uid), static_cast<int>(peer.pid), suffix.c_str());
      }
      ::close(fd);
      continue;
    }
    // The newcomer is served: idle connections cannot lock others out.
    if (connections_.size() >= kMaxConnections) MakeRoom();
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    if (::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd, &event) != 0) {
      ::close(fd);
      continue;
    }
    auto connection = std::make_unique<Connection>();
    connection->fd = fd;
    connection->deadline = Clock::now() + frameDeadline_;
    connections_.push_back(std::move(connection));
  }
}

// One read per call, so a client that keeps sending cannot starve the others
// or the user interface; the descriptor stays readable and Process comes back.
void InstanceServer::Serve(Connection& connection) {
  const std::span<uint8_t> space = connection.reader.FreeSpace();
  ssize_t received;
  do {
    received = ::recv(connection.fd, space.data(), space.size(), 0);
  } while (received < 0 && errno == EINTR);
  if (received < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) return;
    LOG_DEBUG("InstanceChannel: a connection failed: %s", SystemErrorText().c_str());
    Close(connection.fd);
    return;
  }
  if (received == 0) {
    std::string suffix;
    if (connection.reader.Pending() > 0 && MayLog(Drop::Incomplete, suffix)) {
      LOG_ERROR("InstanceChannel: dropped an incomplete message (%zu bytes): the sender left%s",
                connection.reader.Pending(), suffix.c_str());
    }
    Close(connection.fd);
    return;
  }
  connection.reader.Commit(static_cast<std::size_t>(received));

  InstanceMessage message;
  for (;;) {
    switch (connection.reader.Next(message)) {
      case InstanceFrameReader::Status::NeedMore:
        return;
      case InstanceFrameReader::Status::Frame:
        if (!Dispatch(connection, message)) return;
        break;
      case InstanceFrameReader::Status::Malformed: {
        std::string suffix;
        if (MayLog(Drop::Malformed, suffix)) {
          LOG_ERROR("InstanceChannel: dropped a malformed message%s", suffix.c_str());
        }
        Close(connection.fd);
        return;
      }
      case InstanceFrameReader::Status::Oversized: {
        std::string suffix;
        if (MayLog(Drop::Oversized, suffix)) {
          LOG_ERROR("InstanceChannel: dropped a message of %u bytes (at most %zu allowed)%s",
                    connection.reader.AnnouncedLength() + 4u, kMaxInstanceFrame, suffix.c_str());
        }
        Close(connection.fd);
        return;
      }
    }
  }
}

bool InstanceServer::Dispatch(Connection& connection, const InstanceMessage& message) {
  LOG_DEBUG("InstanceChannel: message 0x%04X (wParam %ld, lParam %ld, %zu bytes of data)",
            message.message, static_cast<long>(message.wParam), static_cast<long>(message.lParam),
            message.payload.size());
  int64_t result = 0;
  try {
    result = handler_.HandleInstanceMessage(message);
  } catch (const std::exception& e) {
    LOG_ERROR("InstanceChannel: message 0x%04X failed: %s", message.message, e.what());
    Close(connection.fd);
    return false;
  }
  const auto reply = EncodeInstanceReply(result);
  const ssize_t sent =
      ::send(connection.fd, reply.data(), reply.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
  if (sent != static_cast<ssize_t>(reply.size())) {
    // A sender that stopped waiting (or reading) loses its connection.
    LOG_DEBUG("InstanceChannel: could not answer message 0x%04X", message.message);
    Close(connection.fd);
    return false;
  }
  // The sender may go on with its next message, in the same time again.
  connection.deadline = Clock::now() + frameDeadline_;
  return true;
}

void InstanceServer::Close(int fd) {
  if (epollFd_ >= 0) ::epoll_ctl(epollFd_, EPOLL_CTL_DEL, fd, nullptr);
  ::close(fd);
  std::erase_if(connections_, [fd](const auto& c) { return c->fd == fd; });
}

InstanceServer::Connection* InstanceServer::Find(int fd) {
  for (const auto& c : connections_) {
    if (c->fd == fd) return c.get();
  }
  return nullptr;
}

}  // namespace brevanto
