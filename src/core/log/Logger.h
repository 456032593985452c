#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace brevanto {

enum class LogLevel { Error, Info, Debug };

// Local wall-clock time of one log line.
struct LogTime {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The process-wide diagnostic log ("Brevanto.log"). Lines are formatted into a
// buffer local to the call and written with one write(2), so the processing
// thread and the UI thread can log at the same time without a lock and their
// lines never mix.
//
// The file is capped: once it holds kDefaultMaxSize bytes (a debug log at
// 1 ms cycles would otherwise fill the disk) it is renamed to
// "Brevanto.log.1", replacing an older one, and a new file is begun. A line
// is never split between the two.
class Logger {
 public:
  static constexpr std::size_t kMaxLine = 1023;
  static constexpr uint64_t kDefaultMaxSize = 10 * 1024 * 1024;
  using Clock = LogTime (*)();

  static Logger& Instance();

  Logger() = default;
  Logger(const Logger&) = delete;
  Logger& operator=(const Logger&) = delete;
  ~Logger();

  // Creates the file anew (an old one is truncated). On failure nothing is
  // ever written and false is returned.
  bool Open(const std::string& path);
  // Writes "Application terminated" and closes; later calls write nothing.
  void Close();
  bool IsOpen() const { return fd_.load(std::memory_order_acquire) >= 0; }

  void SetDebugEnabled(bool on) { debugEnabled_.store(on, std::memory_order_relaxed); }
  bool DebugEnabled() const { return debugEnabled_.load(std::memory_order_relaxed); }
  // True when a line of this level would be written.
  bool Enabled(LogLevel level) const {
    return IsOpen() && (level != LogLevel::Debug || DebugEnabled());
  }

  // The size at which the file is moved aside; for tests.
  void SetMaxSize(uint64_t bytes) { maxSize_.store(bytes, std::memory_order_relaxed); }
  // The name the full file is moved to.
  static std::string RotatedPath(const std::string& path) { return path + ".1"; }

  // Replaces the wall clock, for tests. nullptr restores it.
  void SetClock(Clock clock) { clock_.store(clock, std::memory_order_relaxed); }

  // Plain text: the message is never interpreted as a format.
  void Write(LogLevel level, std::string_view message);
  void WriteAt(LogLevel level, const char* sourceFile, int line, std::string_view message);

  // printf-style. The format must be a literal of the program, never user text.
  void Printf(LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));
  void PrintfAt(LogLevel level, const char* sourceFile, int line, const char* format, ...)
      __attribute__((format(printf, 5, 6)));
  void VPrintfAt(LogLevel level, const char* sourceFile, int line, const char* format,
                 va_list args);

 private:
  void Emit(LogLevel level, const char* sourceFile, int line, std::string_view message);
  void Rotate();

  std::atomic<int> fd_{-1};
  std::atomic<uint64_t> written_{0};
  std::atomic<uint64_t> maxSize_{kDefaultMaxSize};
  // Held while the file is opened, closed or moved aside; never on the
  // ordinary path of a line.
  std::mutex fileMutex_;
  std::string path_;
  std::string rotatedPath_;
  std::atomic<int> writers_{0};
  std::atomic<bool> debugEnabled_{false};
  std::atomic<Clock> clock_{nullptr};
};

// The text of the calling thread's last errno, for the Error line that follows
// a failed system call.
std::string SystemErrorText();
std::string SystemErrorText(int errorNumber);

}  // namespace brevanto

// Location-carrying log calls. The Debug form checks the switch before any
// argument is evaluated or formatted.
#define BRV_LOG_AT(level, ...)                                                                  \
  do {                                                                                          \
    ::brevanto::Logger& brvLogger_ = ::brevanto::Logger::Instance();                            \
    if (brvLogger_.Enabled(level)) brvLogger_.PrintfAt(level, __FILE__, __LINE__, __VA_ARGS__); \
  } while (0)
#define LOG_ERROR(...) BRV_LOG_AT(::brevanto::LogLevel::Error, __VA_ARGS__)
#define LOG_INFO(...) BRV_LOG_AT(::brevanto::LogLevel::Info, __VA_ARGS__)
#define LOG_DEBUG(...) BRV_LOG_AT(::brevanto::LogLevel::Debug, __VA_ARGS__)
// The last errno's text on its own Error line.
#define LOG_SYSTEM_ERROR()                                                \
  do {                                                                    \
    ::brevanto::Logger& brvLogger_ = ::brevanto::Logger::Instance();      \
    if (brvLogger_.IsOpen())                                              \
      brvLogger_.WriteAt(::brevanto::LogLevel::Error, __FILE__, __LINE__, \
                         ::brevanto::SystemErrorText());                  \
  } while (0)
