#include "core/log/Logger.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <thread>

namespace brevanto {
namespace {

constexpr std::string_view kTerminated = "Application terminated\r\n";

LogTime WallClock() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  tm local{};
  localtime_r(&ts.tv_sec, &local);
  return LogTime{local.tm_year + 1900,
                 local.tm_mon + 1,
                 local.tm_mday,
                 local.tm_hour,
                 local.tm_min,
                 local.tm_sec,
                 static_cast<int>(ts.tv_nsec / 1000000)};
}

const char* LevelName(LogLevel level) {
  switch (level) {
    case LogLevel::Error:
      return "Error";
    case LogLevel::Info:
      return "Info";
    case LogLevel::Debug:
      return "Debug";
  }
  return "Info";
}

const char* BaseName(const char* path) {
  const char* base = path;
  for (const char* p = path; *p; ++p) {
    if (*p == '/' || *p == '\\') base = p + 1;
  }
  return base;
}

// Largest length <= limit that does not end inside a UTF-8 sequence.
std::size_t Utf8Cut(std::string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  std::size_t cut = limit;
  while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

Logger& Logger::Instance() {
  // Never destroyed: threads may still log while statics are torn down.
  static Logger* instance = new Logger();
  return *instance;
}

Logger::~Logger() {
  Close();
}

bool Logger::Open(const std::string& path) {
  Close();
  std::lock_guard lock(fileMutex_);
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  path_ = path;
  rotatedPath_ = RotatedPath(path);
  written_.store(0, std::memory_order_relaxed);
  fd_.store(fd, std::memory_order_release);
  return true;
}

void Logger::Close() {
  std::lock_guard lock(fileMutex_);
  int fd = fd_.exchange(-1, std::memory_order_acq_rel);
  if (fd < 0) return;
  // A line being written by another thread finishes before the file goes.
  while (writers_.load(std::memory_order_acquire) != 0) std::this_thread::yield();
  WriteAll(fd, kTerminated.data(), kTerminated.size());
  ::close(fd);
}

// Runs on whichever thread wrote the line that filled the file; a thread
// that finds another one rotating goes on writing to the old file, which is
// still open until that thread is done with it.
void Logger::Rotate() {
  std::unique_lock lock(fileMutex_, std::try_to_lock);
  if (!lock.owns_lock()) return;
  const int old = fd_.load(std::memory_order_acquire);
  if (old < 0 ||
      written_.load(std::memory_order_relaxed) < maxSize_.load(std::memory_order_relaxed)) {
    return;  // closed, or rotated by another thread meanwhile
  }
  if (::rename(path_.c_str(), rotatedPath_.c_str()) != 0) {
    // Cannot move it aside: keep writing rather than lose lines, and try
    // again after another full share.
    written_.store(0, std::memory_order_relaxed);
    return;
  }
  const int fresh =
      ::open(path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
  if (fresh < 0) {
    ::rename(rotatedPath_.c_str(), path_.c_str());
    written_.store(0, std::memory_order_relaxed);
    return;
  }
  written_.store(0, std::memory_order_relaxed);
  fd_.store(fresh, std::memory_order_release);
  // Lines begun on the old file end there before it is closed.
  while (writers_.load(std::memory_order_acquire) != 0) std::this_thread::yield();
  ::close(old);
}

void Logger::Write(LogLevel level, std::string_view message) {
  if (!Enabled(level)) return;
  Emit(level, nullptr, 0, message);
}

void Logger::WriteAt(LogLevel level, const char* sourceFile, int line, std::string_view message) {
  if (!Enabled(level)) return;
  Emit(level, sourceFile, line, message);
}

void Logger::Printf(LogLevel level, const char* format, ...) {
  if (!Enabled(level)) return;
  va_list args;
  va_start(args, format);
  VPrintfAt(level, nullptr, 0, format, args);
  va_end(args);
}

void Logger::PrintfAt(LogLevel level, const char* sourceFile, int line, const char* format, ...) {
  if (!Enabled(level)) return;
  va_list args;
  va_start(args, format);
  VPrintfAt(level, sourceFile, line, format, args);
  va_end(args);
}

void Logger::VPrintfAt(LogLevel level, const char* sourceFile, int line, const char* format,
                       va_list args) {
  if (!Enabled(level)) return;
  char message[kMaxLine + 1];
  int n = std::vsnprintf(message, sizeof message, format, args);
  if (n < 0) return;
  std::size_t length =
      static_cast<std::size_t>(n) < sizeof message ? static_cast<std::size_t>(n) : kMaxLine;
  Emit(level, sourceFile, line, std::string_view(message, length));
}

void Logger::Emit(LogLevel level, const char* sourceFile, int line, std::string_view message) {
  Clock clock = clock_.load(std::memory_order_relaxed);
  LogTime t = clock ? clock() : WallClock();

  char buffer[kMaxLine + 1];
  int prefix =
      std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d %02d:%02d:%02d.%03d %-5s  ", t.year,
                    t.month, t.day, t.hour, t.minute, t.second, t.millisecond, LevelName(level));
  if (prefix < 0) return;

  char suffix[300];
  int suffixLength =
      sourceFile ? std::snprintf(suffix, sizeof suffix, " (%s#%d)\r\n", BaseName(sourceFile), line)
                 : std::snprintf(suffix, sizeof suffix, "\r\n");
  if (suffixLength < 0 || static_cast<std::size_t>(suffixLength) >= sizeof suffix) {
    suffixLength = std::snprintf(suffix, sizeof suffix, "\r\n");
  }

  // A long message is cut so that the location and the line end still fit.
  std::size_t room =
      kMaxLine - static_cast<std::size_t>(prefix) - static_cast<std::size_t>(suffixLength);
  std::size_t take = Utf8Cut(message, room);
  std::memcpy(buffer + prefix, message.data(), take);
  std::memcpy(buffer + prefix + take, suffix, static_cast<std::size_t>(suffixLength));
  std::size_t total =
      static_cast<std::size_t>(prefix) + take + static_cast<std::size_t>(suffixLength);

  writers_.fetch_add(1, std::memory_order_acq_rel);
  int fd = fd_.load(std::memory_order_acquire);
  bool full = false;
  if (fd >= 0 && WriteAll(fd, buffer, total)) {
    full = written_.fetch_add(total, std::memory_order_relaxed) + total >=
           maxSize_.load(std::memory_order_relaxed);
  }
  writers_.fetch_sub(1, std::memory_order_acq_rel);
  if (full) Rotate();
}

std::string SystemErrorText() {
  return SystemErrorText(errno);
}

std::string SystemErrorText(int errorNumber) {
  char buffer[256];
  // GNU strerror_r may return a static string instead of filling the buffer.
  const char* text = strerror_r(errorNumber, buffer, sizeof buffer);
  return text ? std::string(text) : std::string("Unknown error");
}

}  // namespace brevanto
