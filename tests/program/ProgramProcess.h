#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

extern char** environ;

namespace brevanto::testing {

// The environment of a started program: this process's, with the variables
// given replaced (an empty value removes one).
inline std::vector<std::string> Environment(const std::map<std::string, std::string>& changes) {
  std::vector<std::string> out;
  for (char** e = environ; *e != nullptr; ++e) {
    const std::string entry = *e;
    const std::string name = entry.substr(0, entry.find('='));
    if (changes.count(name) == 0) out.push_back(entry);
  }
  for (const auto& [name, value] : changes) {
    if (!value.empty()) out.push_back(name + "=" + value);
  }
  return out;
}

// A program started with its output in a file; killed when still running at
// the end of the test.
class ChildProcess {
 public:
  ChildProcess(const std::vector<std::string>& argv, const std::vector<std::string>& env,
               const std::string& outputFile) {
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_APPEND,
                                     0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (posix_spawn(&pid_, args[0], &actions, nullptr, args.data(), envp.data()) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
  }
  ~ChildProcess() {
    if (pid_ > 0 && !exited_) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  pid_t Pid() const { return pid_; }
  bool Started() const { return pid_ > 0; }
  void Signal(int signal) const {
    if (pid_ > 0 && !exited_) ::kill(pid_, signal);
  }

  // The exit code, or nothing when it is still running after the timeout
  // (or ended by a signal: -signal).
  std::optional<int> Wait(std::chrono::milliseconds timeout) {
    if (exited_) return status_;
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (true) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        exited_ = true;
        status_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
        return status_;
      }
      if (std::chrono::steady_clock::now() >= end) return std::nullopt;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
  }
  bool Running() { return Started() && !Wait(std::chrono::milliseconds(0)).has_value(); }

 private:
  pid_t pid_ = -1;
  bool exited_ = false;
  int status_ = 0;
};

inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Waits until the file holds the text; false when the time is up.
inline bool WaitForText(const std::string& path, const std::string& text,
                        std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (ReadText(path).find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() >= end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

// A data directory and a home of their own for one run of the program, and
// the environment it runs in: nothing of the user's session is touched (no
// autostart folder, no system bus, a private folder for the instance files).
class ProgramFixtureData {
 public:
  ProgramFixtureData() {
    std::filesystem::create_directories(root_.File("data"));
    std::filesystem::create_directories(root_.File("home"));
    std::filesystem::create_directories(root_.File("runtime"));
    std::filesystem::permissions(root_.File("runtime"), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
  }

  std::string DataDir() const { return root_.Dir() + "data/"; }
  std::string LogPath() const { return DataDir() + "Brevanto.log"; }
  std::string Output() const { return root_.File("output.txt"); }
  void WriteData(const std::string& name, const std::string& text) const {
    root_.Write("data/" + name, text);
  }
  std::string Path(const std::string& name) const { return root_.File(name); }
  void Write(const std::string& name, const std::string& text) const { root_.Write(name, text); }

  std::vector<std::string> Env(std::map<std::string, std::string> extra = {}) const {
    std::map<std::string, std::string> changes = {
        {"HOME", root_.File("home")},
        {"XDG_CONFIG_HOME", root_.File("home/.config")},
        {"XDG_RUNTIME_DIR", root_.File("runtime")},
        {"BREVANTO_DATA_DIR", ""},
        {"BREVANTO_INI_FILE", ""},
        // No logind: suspend and resume are not this run's business.
        {"DBUS_SYSTEM_BUS_ADDRESS", "unix:path=" + root_.File("no-system-bus")},
        {"DBUS_SESSION_BUS_ADDRESS", "unix:path=" + root_.File("no-session-bus")},
    };
    for (auto& [name, value] : extra) changes[name] = value;
    return Environment(changes);
  }

  std::unique_ptr<ChildProcess> Start(std::vector<std::string> arguments,
                                      std::map<std::string, std::string> extraEnv = {}) const {
    arguments.insert(arguments.begin(), {BREVANTO_PATH, "--data-dir", DataDir()});
    return std::make_unique<ChildProcess>(arguments, Env(std::move(extraEnv)), Output());
  }

  // brevantoctl send ... to the running instance; its exit code.
  int Send(std::vector<std::string> arguments) const {
    arguments.insert(arguments.begin(), {BREVANTOCTL_PATH, "send"});
    ChildProcess ctl(arguments, Env(), Output());
    return ctl.Wait(std::chrono::seconds(20)).value_or(-100);
  }

 private:
  TempDir root_;
};

}  // namespace brevanto::testing
