#include "platform/linux/shell/LinuxShell.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "core/log/Logger.h"
#include "core/text/CommandLineWords.h"

extern char** environ;

namespace brevanto {
namespace {

// Where programs are looked for when the environment has no PATH.
constexpr const char* kDefaultPath = "/usr/local/bin:/usr/bin:/bin";

bool IsExecutableFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// Owns the spawn attributes and file actions for one start.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&actions_);
    posix_spawnattr_init(&attributes_);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  // 0 or the error number of the step that failed.
  int Prepare(const std::string& startFrom) {
    // The child must not read the controller program's input or keep its
    // devices, sockets and display connections open.
    if (int rc =
            posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0))
      return rc;
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 34))
    if (int rc = posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1)) return rc;
#endif
    if (!startFrom.empty()) {
      if (int rc = posix_spawn_file_actions_addchdir_np(&actions_, startFrom.c_str())) return rc;
    }
    // Its own session, so it outlives this program and its terminal; default
    // signal handling and no blocked signals, whatever the calling thread has.
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    if (int rc = posix_spawnattr_setsigmask(&attributes_, &none)) return rc;
    if (int rc = posix_spawnattr_setsigdefault(&attributes_, &all)) return rc;
    return posix_spawnattr_setflags(
        &attributes_, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  }

  const posix_spawn_file_actions_t* actions() const {
    return &actions_;
  }
  const posix_spawnattr_t* attributes() const {
    return &attributes_;
  }

 private:
  posix_spawn_file_actions_t actions_;
  posix_spawnattr_t attributes_;
};

}  // namespace

std::optional<std::string> LinuxShell::ResolveExecutable(const std::string& name) {
  if (name.empty()) return std::nullopt;
  if (name.find('/') != std::string::npos) {
    if (!IsExecutableFile(name)) return std::nullopt;
    std::error_code error;
    const auto absolute = std::filesystem::absolute(name, error);
    return error ? name : absolute.string();
  }
  const char* path = std::getenv("PATH");
  const std::string_view dirs = path ? path : kDefaultPath;
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string_view::npos) end = dirs.size();
    // An empty entry would mean the current folder, which is never searched.
    if (end > start) {
      std::string candidate(dirs.substr(start, end - start));
      candidate += '/';
      candidate += name;
      if (IsExecutableFile(candidate)) return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

bool LinuxShell::Open(const std::string& target) {
  return OpenIn(target, std::string());
}

bool LinuxShell::Launch(const std::string& program, const std::string& parameters,
                        const std::string& startFrom) {
  if (program.empty()) {
    LOG_ERROR("Launch: no program, document or address is given");
    return false;
  }
  const auto executable = ResolveExecutable(program);
  if (!executable) return OpenIn(program, startFrom);

  auto words = SplitCommandLine(parameters);
  if (!words) {
    LOG_ERROR("Launch: the parameters for %s have a quote that is not closed; nothing is started",
              program.c_str());
    return false;
  }
  std::vector<std::string> argv;
  argv.reserve(words->size() + 1);
  argv.push_back(program);
  for (std::string& word : *words) argv.push_back(std::move(word));
  return Spawn(*executable, argv, startFrom, false);
}

bool LinuxShell::OpenIn(const std::string& target, const std::string& startFrom) {
  if (target.empty()) {
    LOG_ERROR("Open: no document, folder or address is given");
    return false;
  }
  const auto opener = ResolveExecutable("xdg-open");
  if (!opener) {
    LOG_ERROR("Open: xdg-open is not installed, so %s cannot be opened", target.c_str());
    return false;
  }
  // xdg-open reports a target it cannot open only through its exit status.
  return Spawn(*opener, {"xdg-open", target}, startFrom, true);
}

bool LinuxShell::Spawn(const std::string& path, const std::vector<std::string>& argv,
                       const std::string& startFrom, bool failureIsError) {
  SpawnSetup setup;
  if (const int rc = setup.Prepare(startFrom)) {
    LOG_ERROR("Launch: cannot prepare the start of %s", path.c_str());
    errno = rc;
    LOG_SYSTEM_ERROR();
    return false;
  }
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  pid_t pid = 0;
  // posix_spawn, not posix_spawnp: the path is resolved here, and no shell
  // ever gets a file the kernel refuses to execute.
  const int rc =
      ::posix_spawn(&pid, path.c_str(), setup.actions(), setup.attributes(), args.data(), environ);
  if (rc != 0) {
    if (startFrom.empty()) {
      LOG_ERROR("Launch: cannot start %s", path.c_str());
    } else {
      LOG_ERROR("Launch: cannot start %s in %s", path.c_str(), startFrom.c_str());
    }
    errno = rc;
    LOG_SYSTEM_ERROR();
    return false;
  }
  LOG_DEBUG("Launch: started %s as process %d", path.c_str(), static_cast<int>(pid));
  reaper_.Adopt(pid, path, failureIsError);
  return true;
}

}  // namespace brevanto
