#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/log/Logger.h"

namespace brevanto::testing {

// One line of the log as the tests look at it.
struct LogEntry {
  std::string level;     // "Error", "Info", "Debug"
  std::string message;   // without the source location
  std::string location;  // "File.cpp#123", empty when the line has none
};

// Sends the process-wide log to a temporary file for the life of the object.
class LogCapture {
 public:
  explicit LogCapture(bool debug = true) {
    path_ =
        std::filesystem::temp_directory_path() /
        ("brevanto_test_" + std::to_string(::getpid()) + "_" + std::to_string(counter_++) + ".log");
    Logger::Instance().Open(path_.string());
    Logger::Instance().SetDebugEnabled(debug);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;
  ~LogCapture() {
    Logger::Instance().Close();
    Logger::Instance().SetDebugEnabled(false);
    std::filesystem::remove(path_);
  }

  std::vector<LogEntry> Entries() const {
    std::ifstream in(path_, std::ios::binary);
    std::vector<LogEntry> entries;
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      // "yyyy/mm/dd hh:nn:ss.zzz LEVEL  message (File#line)"
      if (line.size() < 31) continue;
      LogEntry entry;
      entry.level = line.substr(24, 5);
      while (!entry.level.empty() && entry.level.back() == ' ') entry.level.pop_back();
      entry.message = line.substr(31);
      const std::size_t open = entry.message.rfind(" (");
      if (open != std::string::npos && entry.message.back() == ')' &&
          entry.message.find('#', open) != std::string::npos) {
        entry.location = entry.message.substr(open + 2, entry.message.size() - open - 3);
        entry.message.resize(open);
      }
      entries.push_back(entry);
    }
    return entries;
  }

  // The messages alone, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> messages;
    for (const LogEntry& e : Entries()) messages.push_back(e.message);
    return messages;
  }

  bool Contains(const std::string& message) const {
    for (const LogEntry& e : Entries()) {
      if (e.message == message) return true;
    }
    return false;
  }

 private:
  static inline int counter_ = 0;
  std::filesystem::path path_;
};

}  // namespace brevanto::testing
