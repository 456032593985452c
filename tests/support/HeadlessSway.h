#pragma once

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace brevanto::testing {

// The strings as an argument or environment vector for posix_spawn.
inline std::vector<char*> NullTerminated(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// A native Wayland window of another program (tests/tools/WaylandWindowProbe)
// on the test's compositor; it goes when this goes.
class WaylandWindowProcess {
 public:
  // Nothing when it did not show within ten seconds.
  static std::unique_ptr<WaylandWindowProcess> Open(const std::string& waylandDisplay,
                                                    const std::string& title,
                                                    const std::string& appId) {
    std::unique_ptr<WaylandWindowProcess> w(new WaylandWindowProcess());
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) return nullptr;
    std::vector<std::string> arguments = {Executable(), "--title=" + title, "--app-id=" + appId};
    std::vector<std::string> environment = {"WAYLAND_DISPLAY=" + waylandDisplay};
    std::vector<char*> argv = NullTerminated(arguments);
    std::vector<char*> envp = NullTerminated(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
    if (::posix_spawn(&w->pid_, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0) {
      w->pid_ = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    std::string text;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (w->pid_ > 0 && text.find('\n') == std::string::npos &&
           std::chrono::steady_clock::now() < end) {
      pollfd p{pipeFds[0], POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      char buffer[64];
      const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    return text == "ready\n" ? std::move(w) : nullptr;
  }
  ~WaylandWindowProcess() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
  WaylandWindowProcess(const WaylandWindowProcess&) = delete;
  WaylandWindowProcess& operator=(const WaylandWindowProcess&) = delete;

  static std::string Executable() { return BREVANTO_WAYLAND_WINDOW_PROBE; }
  pid_t Pid() const { return pid_; }

 private:
  WaylandWindowProcess() = default;
  pid_t pid_ = -1;
};

// A Sway with no screen and no input devices for one test, on a runtime
// folder of its own: its Wayland and IPC sockets are the test's alone.
// Sway will not run as root; as root it runs as "nobody".
class HeadlessSway {
 public:
  // Nothing, with the reason, when Sway is not installed or does not come up.
  static std::unique_ptr<HeadlessSway> Start(std::string& whyNot) {
    const std::string sway = FindProgram("sway");
    if (sway.empty()) {
      whyNot = "sway is not installed (Debian package sway)";
      return nullptr;
    }
    std::unique_ptr<HeadlessSway> s(new HeadlessSway());
    char pattern[] = "/tmp/brevanto_sway_XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
      whyNot = "no temporary folder";
      return nullptr;
    }
    s->root_ = pattern;
    const std::string runtime = s->root_ + "/runtime";
    std::filesystem::create_directory(runtime);
    ::chmod(s->root_.c_str(), 0711);
    ::chmod(runtime.c_str(), 0700);
    std::ofstream(s->root_ + "/config") << "xwayland disable\n";
    ::chmod((s->root_ + "/config").c_str(), 0644);

    std::vector<std::string> arguments;
    if (::geteuid() == 0) {
      const passwd* nobody = ::getpwnam("nobody");
      const std::string setpriv = FindProgram("setpriv");
      if (nobody == nullptr || setpriv.empty()) {
        whyNot = "running as root, and no user nobody or no setpriv to run sway as";
        return nullptr;
      }
      if (::chown(runtime.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
        whyNot = "cannot hand the runtime folder to nobody";
        return nullptr;
      }
      arguments = {setpriv, "--reuid=" + std::to_string(nobody->pw_uid),
                   "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups"};
    }
    arguments.insert(arguments.end(), {sway, "-c", s->root_ + "/config"});
    std::vector<std::string> environment = {
        "PATH=/usr/bin:/bin",    "HOME=" + s->root_,          "XDG_RUNTIME_DIR=" + runtime,
        "WLR_BACKENDS=headless", "WLR_LIBINPUT_NO_DEVICES=1", "WLR_RENDERER=pixman",
    };
    std::vector<char*> argv = NullTerminated(arguments);
    std::vector<char*> envp = NullTerminated(environment);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string log = s->root_ + "/sway.log";
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    const int failed =
        ::posix_spawn(&s->pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
      whyNot = "sway could not be started";
      return nullptr;
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (s->waylandDisplay_.empty() || s->swaySocket_.empty()) {
      for (const auto& entry : std::filesystem::directory_iterator(runtime)) {
        const std::string name = entry.path().filename().string();
        if (!entry.is_socket()) continue;
        if (name.starts_with("wayland-")) s->waylandDisplay_ = entry.path().string();
        if (name.starts_with("sway-ipc.")) s->swaySocket_ = entry.path().string();
      }
      int status = 0;
      if (::waitpid(s->pid_, &status, WNOHANG) == s->pid_ ||
          std::chrono::steady_clock::now() > end) {
        s->pid_ = -1;
        std::ifstream in(log);
        std::string last, line;
        while (std::getline(in, line)) last = line;
        whyNot = "sway did not come up: " + last;
        return nullptr;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return s;
  }

  ~HeadlessSway() {
    if (pid_ > 0) {
      ::kill(pid_, SIGTERM);
      int status = 0;
      ::waitpid(pid_, &status, 0);
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  HeadlessSway(const HeadlessSway&) = delete;
  HeadlessSway& operator=(const HeadlessSway&) = delete;

  // Full paths, as WAYLAND_DISPLAY and SWAYSOCK take them.
  const std::string& WaylandDisplay() const { return waylandDisplay_; }
  const std::string& SwaySocket() const { return swaySocket_; }

 private:
  HeadlessSway() = default;

  static std::string FindProgram(const std::string& name) {
    for (const char* dir : {"/usr/bin/", "/usr/sbin/", "/bin/", "/usr/local/bin/"}) {
      const std::string path = dir + name;
      if (::access(path.c_str(), X_OK) == 0) return path;
    }
    return {};
  }

  std::string root_;
  pid_t pid_ = -1;
  std::string waylandDisplay_;
  std::string swaySocket_;
};

}  // namespace brevanto::testing
