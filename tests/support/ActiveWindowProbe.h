#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace brevanto::testing {

// The window of another program made the active one: runs
// tests/tools/ActiveWindowProbe (its path in BREVANTO_ACTIVE_WINDOW_PROBE)
// and waits until its window is announced. The program ends, and takes the
// announcement back, when this goes.
class ActiveWindowProbe {
 public:
  // nullptr when the program did not come up (no display).
  static std::unique_ptr<ActiveWindowProbe> Start(const std::vector<std::string>& arguments) {
    std::unique_ptr<ActiveWindowProbe> probe(new ActiveWindowProbe(arguments));
    return probe->window_ != 0 ? std::move(probe) : nullptr;
  }

  ~ActiveWindowProbe() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (::waitpid(pid_, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() >= end) {
          ::kill(pid_, SIGKILL);
          ::waitpid(pid_, nullptr, 0);
          break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      }
    }
    if (output_ >= 0) ::close(output_);
  }
  ActiveWindowProbe(const ActiveWindowProbe&) = delete;
  ActiveWindowProbe& operator=(const ActiveWindowProbe&) = delete;

  static std::string Executable() { return BREVANTO_ACTIVE_WINDOW_PROBE; }
  pid_t Pid() const { return pid_; }
  uint32_t Window() const { return window_; }

 private:
  explicit ActiveWindowProbe(const std::vector<std::string>& arguments) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return;
    std::vector<std::string> argv{Executable()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> args;
    for (std::string& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    output_ = pipeFds[0];
    if (pid_ > 0) ReadReady();
  }

  void ReadReady() {
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (text.find('\n') == std::string::npos && std::chrono::steady_clock::now() < end) {
      pollfd p{output_, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buffer[64];
      const ssize_t n = ::read(output_, buffer, sizeof buffer);
      if (n <= 0) return;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    if (text.rfind("ready 0x", 0) == 0) {
      window_ = static_cast<uint32_t>(std::stoul(text.substr(8), nullptr, 16));
    }
  }

  pid_t pid_ = -1;
  int output_ = -1;
  uint32_t window_ = 0;
};

}  // namespace brevanto::testing
