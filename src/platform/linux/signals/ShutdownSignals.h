#pragma once

#include <vector>

namespace brevanto {

// Turns SIGTERM, SIGINT and SIGHUP into bytes on a pipe (the self-pipe
// trick): the handler only writes the signal number, and the event loop reads
// it from ReadFd and shuts the program down in order, outside the handler.
// A signal the parent left ignored (nohup) stays ignored. One object at a
// time may exist; it restores the previous handlers when it goes.
class ShutdownSignals {
 public:
  ShutdownSignals();
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;
  ~ShutdownSignals();

  // False when the handlers could not be installed (logged).
  bool Installed() const { return readFd_ >= 0; }
  // Readable while received signals wait to be taken.
  int ReadFd() const { return readFd_; }
  // The signals received since the last call, oldest first.
  std::vector<int> TakeReceived();

  // "SIGTERM" and so on.
  static const char* Name(int signal);

 private:
  int readFd_ = -1;
  int writeFd_ = -1;
};

}  // namespace brevanto
