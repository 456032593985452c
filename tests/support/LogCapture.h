#pragma once

#include <sstream>
#include <string>
#include <vector>

#include "core/log/Logger.h"
#include "support/TempDir.h"

namespace brevanto::testing {

// One line of the log as the tests look at it.
struct LogEntry {
  std::string level;     // "Error", "Info", "Debug"
  std::string message;   // without the source location
  std::string location;  // "File.cpp#123", empty when the line has none
};

// Points the process-wide log at a file of its own for the life of a test, so
// a test can check what the code under test logged.
class LogCapture {
 public:
  explicit LogCapture(bool debug = false) {
    Logger::Instance().SetDebugEnabled(debug);
    opened_ = Logger::Instance().Open(dir_.File("test.log"));
  }
  ~LogCapture() {
    Logger::Instance().Close();
    Logger::Instance().SetDebugEnabled(false);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  bool Opened() const { return opened_; }
  // Everything logged so far.
  std::string Text() const { return ReadBytes(dir_.File("test.log")); }
  // Whether any line holds the fragment.
  bool Contains(const std::string& fragment) const {
    return Text().find(fragment) != std::string::npos;
  }
  // Whether a line's message (without time, level and location) is exactly this.
  bool HasMessage(const std::string& message) const {
    for (const LogEntry& e : Entries()) {
      if (e.message == message) return true;
    }
    return false;
  }

  std::vector<LogEntry> Entries() const {
    std::istringstream in(Text());
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

  // How many times text was logged.
  int Count(const std::string& text) const {
    const std::string all = Text();
    int n = 0;
    for (auto at = all.find(text); at != std::string::npos; at = all.find(text, at + text.size())) {
      ++n;
    }
    return n;
  }

 private:
  TempDir dir_;
  bool opened_ = false;
};

}  // namespace brevanto::testing
