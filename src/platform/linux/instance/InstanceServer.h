#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/linux/instance/InstanceFrame.h"
#include "platform/linux/instance/InstanceLock.h"
#include "core/ports/InstanceMessageHandler.h"

namespace brevanto {

// The running instance's end of the instance channel: a Unix-domain socket
// that only the user's own processes may use. It never waits: the event
// loop of the user-interface thread watches EventFd and calls Process, which
// accepts, reads and hands every complete message to the handler on that
// thread, then answers the sender with the handler's result. A client that
// sends half a message therefore holds up nobody.
class InstanceServer {
 public:
  // Connections beyond this are refused, so a runaway client cannot use up
  // the process's descriptors.
  static constexpr std::size_t kMaxConnections = 32;

  enum class ListenStatus {
    Listening,
    ServedElsewhere,  // another instance owns the channel
    Failed,
  };

  explicit InstanceServer(InstanceMessageHandler& handler);
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
  struct Connection {
    int fd = -1;
    InstanceFrameReader reader;
  };

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
  int listenFd_ = -1;
  int epollFd_ = -1;
  bool processing_ = false;
  std::vector<std::unique_ptr<Connection>> connections_;
};

}  // namespace brevanto
