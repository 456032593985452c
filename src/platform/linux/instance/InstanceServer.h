#pragma once

#include <sys/types.h>

#include <array>
#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "core/log/LogThrottle.h"
#include "core/ports/InstanceMessageHandler.h"
#include "platform/linux/instance/InstanceFrame.h"
#include "platform/linux/instance/InstanceLock.h"

namespace brevanto {

// The running instance's end of the instance channel: a Unix-domain socket
// that only the user's own processes may use. It never waits: the event
// loop of the user-interface thread watches EventFd and calls Process, which
// accepts, reads and hands every complete message to the handler on that
// thread, then answers the sender with the handler's result. A client that
// sends half a message therefore holds up nobody.
//
// Nothing another program does may lock the channel: each connection must
// complete a message within the frame deadline (counted from its connection
// and again from each answer) or it is closed, and when the connection limit
// is reached the connection that has waited longest makes room for the new
// one. Drops and refusals are logged once per interval with a count.
class InstanceServer {
 public:
  // At most this many connections are open at once, so a runaway client
  // cannot use up the process's descriptors.
  static constexpr std::size_t kMaxConnections = 32;
  static constexpr std::chrono::milliseconds kDefaultFrameDeadline{3000};

  enum class ListenStatus {
    Listening,
    ServedElsewhere,  // another instance owns the channel
    Failed,
  };

  explicit InstanceServer(InstanceMessageHandler& handler,
                          std::chrono::milliseconds frameDeadline = kDefaultFrameDeadline);
  InstanceServer(const InstanceServer&) = delete;
  InstanceServer& operator=(const InstanceServer&) = delete;
  // Closes every connection and removes the socket file if it is still this
  // server's.
  ~InstanceServer();

  // Serves the channel of the instance folder (see InstancePaths.h).
  ListenStatus Listen(const std::string& directory);

  // Readable whenever Process has something to do; -1 before Listen.
  int EventFd() const { return epollFd_; }
  // Does whatever is ready without waiting. Must not be re-entered: a call
  // from a handler (say, through a nested event loop) returns at once.
  void Process();

  std::size_t ConnectionCount() const { return connections_.size(); }
  const std::string& SocketPath() const { return socketPath_; }

 private:
  using Clock = std::chrono::steady_clock;

  struct Connection {
    int fd = -1;
    InstanceFrameReader reader;
    Clock::time_point deadline;
  };

  // The kinds of dropped connection, each logged with its own throttle.
  enum class Drop { ForeignUser, MakeRoom, Expired, Incomplete, Malformed, Oversized, Count };

  // False when the line is to be left out; otherwise suffix is the text to
  // append to it (how many lines of this kind were left out before).
  bool MayLog(Drop kind, std::string& suffix);
  void CloseExpired(Clock::time_point now);
  void MakeRoom();
  void ArmTimer();
  void AcceptAll();
  void Serve(Connection& connection);
  // False when the connection was closed.
  bool Dispatch(Connection& connection, const InstanceMessage& message);
  void Close(int fd);
  Connection* Find(int fd);
  void Shutdown();

  InstanceMessageHandler& handler_;
  InstanceLock socketLock_;
  std::string socketPath_;
  dev_t socketDevice_ = 0;
  ino_t socketInode_ = 0;
  std::chrono::milliseconds frameDeadline_;
  int listenFd_ = -1;
  int epollFd_ = -1;
  int timerFd_ = -1;  // fires at the earliest connection deadline
  std::array<LogThrottle, static_cast<std::size_t>(Drop::Count)> throttles_{};
  bool processing_ = false;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace brevanto
