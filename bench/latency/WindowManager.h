#pragma once

#include <sys/types.h>

#include <memory>
#include <string>

namespace brevanto::bench {

// A window manager on the benchmark's X server, for the desktop case: one
// that names the active window on the root window spares the program a
// server round trip per tick.
class WindowManager {
 public:
  // nullptr (with error set) when it did not announce itself within a few
  // seconds.
  static std::unique_ptr<WindowManager> Start(const std::string& command,
                                              const std::string& display,
                                              const std::string& logPath, std::string& error);
  ~WindowManager();
  WindowManager(const WindowManager&) = delete;
  WindowManager& operator=(const WindowManager&) = delete;

 private:
  explicit WindowManager(pid_t pid) : pid_(pid) {}

  pid_t pid_;
};

}  // namespace brevanto::bench
