#include "platform/linux/signals/ShutdownSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

std::atomic<int> pipeWriteFd{-1};
struct sigaction previous[std::size(kSignals)];

// Only async-signal-safe calls here. A full pipe drops the byte; enough
// others are already waiting to wake the loop.
void OnSignal(int signal) {
  const int savedErrno = errno;
  const int fd = pipeWriteFd.load(std::memory_order_relaxed);
  if (fd >= 0) {
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

ShutdownSignals::ShutdownSignals() {
  if (pipeWriteFd.load() >= 0) {
    LOG_ERROR("ShutdownSignals: the signal handlers are installed already");
    return;
  }
  int fds[2];
  if (::pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    const std::string reason = SystemErrorText();
    LOG_ERROR("ShutdownSignals: cannot create a pipe; signals end the program at once");
    Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__, reason);
    return;
  }
  readFd_ = fds[0];
  writeFd_ = fds[1];
  pipeWriteFd.store(writeFd_);
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], nullptr, &previous[i]);
    // Started with nohup or in the background of a script: whoever started
    // the program chose to ignore the signal, and it stays ignored.
    if (previous[i].sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(kSignals[i], &action, nullptr);
  }
}

ShutdownSignals::~ShutdownSignals() {
  if (readFd_ < 0) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &previous[i], nullptr);
  }
  pipeWriteFd.store(-1);
  ::close(writeFd_);
  ::close(readFd_);
}

std::vector<int> ShutdownSignals::TakeReceived() {
  std::vector<int> signals;
  if (readFd_ < 0) return signals;
  unsigned char bytes[64];
  for (;;) {
    const ssize_t n = ::read(readFd_, bytes, sizeof bytes);
    if (n > 0) {
      signals.insert(signals.end(), bytes, bytes + n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return signals;
  }
}

const char* ShutdownSignals::Name(int signal) {
  switch (signal) {
    case SIGTERM:
      return "SIGTERM";
    case SIGINT:
      return "SIGINT";
    case SIGHUP:
      return "SIGHUP";
    default:
      return "signal";
  }
}

}  // namespace brevanto
