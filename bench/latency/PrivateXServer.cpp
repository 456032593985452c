#include "PrivateXServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace brevanto::bench {
namespace {

constexpr int kStartTimeoutMs = 10000;

}  // namespace

std::unique_ptr<PrivateXServer> PrivateXServer::Start(const std::string& logPath,
                                                      std::string& error) {
  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
    error = std::string("pipe: ") + std::strerror(errno);
    return nullptr;
  }
  const pid_t parent = ::getpid();
  const pid_t pid = ::fork();
  if (pid < 0) {
    error = std::string("fork: ") + std::strerror(errno);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
    return nullptr;
  }
  if (pid == 0) {
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != parent) ::_exit(127);
    // Xvfb writes the display number it chose to this descriptor.
    const int fd = ::dup(pipeFds[1]);
    const int log = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (log >= 0) {
      ::dup2(log, STDOUT_FILENO);
      ::dup2(log, STDERR_FILENO);
    }
    const std::string displayFd = std::to_string(fd);
    ::execlp("Xvfb", "Xvfb", "-displayfd", displayFd.c_str(), "-screen", "0", "1280x1024x24",
             "-nolisten", "tcp", "-noreset", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  ::close(pipeFds[1]);
  std::string number;
  pollfd p{pipeFds[0], POLLIN, 0};
  while (number.find('\n') == std::string::npos && ::poll(&p, 1, kStartTimeoutMs) > 0) {
    char buffer[32];
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  const std::size_t end = number.find('\n');
  if (end == std::string::npos || end == 0) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
    error = "Xvfb did not start (see " + logPath + ")";
    return nullptr;
  }
  return std::unique_ptr<PrivateXServer>(new PrivateXServer(pid, ":" + number.substr(0, end)));
}

PrivateXServer::~PrivateXServer() {
  ::kill(pid_, SIGTERM);
  ::waitpid(pid_, nullptr, 0);
}

}  // namespace brevanto::bench
