#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/TempDir.h"

extern char** environ;

namespace brevanto::testing {

// A D-Bus bus of the test's own (dbus-daemon), standing for the system bus.
// Address() is empty when dbus-daemon cannot be started.
class PrivateBus {
 public:
  PrivateBus() {
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) return;
    const std::string listen = "--address=unix:path=" + dir_.File("bus");
    const char* argv[] = {"dbus-daemon",       "--session",    "--nofork",
                          "--print-address=1", listen.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    const int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    posix_spawn_file_actions_adddup2(&actions, devNull, 2);
    const bool spawned = posix_spawnp(&pid_, "dbus-daemon", &actions, nullptr,
                                      const_cast<char**>(argv), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    ::close(devNull);
    ::close(out[1]);
    if (!spawned) {
      pid_ = -1;
      ::close(out[0]);
      return;
    }
    char c;
    pollfd p{out[0], POLLIN, 0};
    while (::poll(&p, 1, 5000) == 1 && ::read(out[0], &c, 1) == 1 && c != '\n') address_ += c;
    ::close(out[0]);
  }
  ~PrivateBus() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      ::waitpid(pid_, nullptr, 0);
    }
  }

  const std::string& Address() const { return address_; }

 private:
  TempDir dir_;
  pid_t pid_ = -1;
  std::string address_;
};

}  // namespace brevanto::testing
