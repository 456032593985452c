#include "core/settings/AtomicFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

// Every file the program reads is a few hundred kilobytes at most; anything
// far larger is not one of its files and must not exhaust memory.
constexpr off_t kMaxFileSize = 64 * 1024 * 1024;

std::atomic<int> failingStep{-1};
std::atomic<int> failingErrno{0};

bool Injected(SaveStep step) {
  if (failingStep.load(std::memory_order_relaxed) != static_cast<int>(step)) return false;
  errno = failingErrno.load(std::memory_order_relaxed);
  return true;
}

// The errno text goes on its own line after the message; errno is taken
// before the message is formatted, which may change it.
void LogFailure(const char* what, const std::string& path) {
  const int error = errno;
  LOG_ERROR("%s \"%s\"", what, path.c_str());
  Logger& logger = Logger::Instance();
  if (logger.IsOpen()) logger.WriteAt(LogLevel::Error, __FILE__, __LINE__, SystemErrorText(error));
  // Callers report the failure in their own terms and need the reason.
  errno = error;
}

bool WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  if (failingStep.load(std::memory_order_relaxed) == static_cast<int>(SaveStep::Write)) {
    // A disk that fills up part way: some bytes land, then the write fails.
    bytes = bytes.substr(0, bytes.size() / 2);
  }
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return !Injected(SaveStep::Write);
}

// The file a save must replace: the target of a symbolic link, so that
// saving through a link updates the linked file instead of replacing the link.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return path;
  return resolved;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Creates a new, exclusive temporary file beside target. The name does not
// end in the target's extension, so listings of profiles never show it.
int CreateTemporary(const std::string& target, std::string& tempPath) {
  static std::atomic<unsigned> counter{0};
  const std::string prefix =
      FolderOf(target) + "/." + BaseNameOf(target) + "." + std::to_string(::getpid()) + ".";
  for (int attempt = 0; attempt < 100; ++attempt) {
    tempPath = prefix + std::to_string(counter.fetch_add(1)) + ".tmp";
    if (Injected(SaveStep::CreateTemporary)) return -1;
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

void FlushFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  // Some file systems cannot flush a folder (EINVAL); the data is safe then.
  if (::fsync(fd) != 0 && errno != EINVAL) LogFailure("Failed to flush the folder of", folder);
  ::close(fd);
}

}  // namespace

FileReadStatus ReadWholeFile(const std::string& path, std::string& bytes) {
  bytes.clear();
  // Non-blocking, so that a named pipe in place of a file cannot hang the
  // program; it is refused below as it is no regular file.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return FileReadStatus::Missing;
    LogFailure("Failed to open", path);
    return FileReadStatus::Failed;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    LogFailure("Failed to read", path);
    ::close(fd);
    return FileReadStatus::Failed;
  }
  if (!S_ISREG(st.st_mode) || st.st_size > kMaxFileSize) {
    LOG_ERROR("Failed to read \"%s\": not a regular file of a usable size", path.c_str());
    ::close(fd);
    return FileReadStatus::Failed;
  }
  bytes.reserve(static_cast<std::size_t>(st.st_size));
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      LogFailure("Failed to read", path);
      ::close(fd);
      bytes.clear();
      return FileReadStatus::Failed;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
    if (bytes.size() > static_cast<std::size_t>(kMaxFileSize)) {
      LOG_ERROR("Failed to read \"%s\": file too large", path.c_str());
      ::close(fd);
      bytes.clear();
      return FileReadStatus::Failed;
    }
  }
  ::close(fd);
  return FileReadStatus::Ok;
}

bool SaveFileAtomically(const std::string& path, std::string_view bytes) {
  const std::string target = ResolveTarget(path);
  std::string tempPath;
  const int fd = CreateTemporary(target, tempPath);
  if (fd < 0) {
    LogFailure("Failed to create a temporary file to save", target);
    return false;
  }

  auto fail = [&](const char* what, bool open) {
    const int error = errno;
    if (open) ::close(fd);
    ::unlink(tempPath.c_str());
    errno = error;
    LogFailure(what, target);
    return false;
  };

  // The new file keeps the old one's permission bits (a private file stays
  // private); a new file gets the usual ones from the umask.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  if (!WriteAll(fd, bytes)) return fail("Failed to write", true);
  if (Injected(SaveStep::Flush) || ::fsync(fd) != 0) return fail("Failed to flush", true);
  if (::close(fd) != 0) return fail("Failed to write", false);
  if (Injected(SaveStep::Rename) || ::rename(tempPath.c_str(), target.c_str()) != 0) {
    return fail("Failed to replace", false);
  }
  FlushFolder(FolderOf(target));
  return true;
}

void IgnoreFileSizeSignal() {
  ::signal(SIGXFSZ, SIG_IGN);
}

ScopedSaveFailure::ScopedSaveFailure(SaveStep step, int errorNumber) {
  failingErrno.store(errorNumber, std::memory_order_relaxed);
  failingStep.store(static_cast<int>(step), std::memory_order_relaxed);
}

ScopedSaveFailure::~ScopedSaveFailure() {
  failingStep.store(-1, std::memory_order_relaxed);
}

}  // namespace brevanto
