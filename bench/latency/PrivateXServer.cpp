#include "PrivateXServer.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "ChildProgram.h"

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
  // Xvfb picks a free display and writes its number to the pipe.
  const pid_t pid = StartChild({"Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-screen", "0",
                                "1280x1024x24", "-nolisten", "tcp", "-noreset"},
                               logPath, pipeFds[1]);
  ::close(pipeFds[1]);
  std::string number;
  pollfd p{pipeFds[0], POLLIN, 0};
  while (pid > 0 && number.find('\n') == std::string::npos && ::poll(&p, 1, kStartTimeoutMs) > 0) {
    char buffer[32];
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n <= 0) break;
    number.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(pipeFds[0]);
  const std::size_t end = number.find('\n');
  if (end == std::string::npos || end == 0) {
    EndChild(pid);
    error = "Xvfb did not start (see " + logPath + ")";
    return nullptr;
  }
  return std::unique_ptr<PrivateXServer>(new PrivateXServer(pid, ":" + number.substr(0, end)));
}

PrivateXServer::~PrivateXServer() {
  EndChild(pid_);
}

}  // namespace brevanto::bench
