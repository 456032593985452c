#pragma once

#include <string>

#include "core/log/Logger.h"
#include "support/TempDir.h"

namespace brevanto::testing {

// Points the process-wide log at a file of its own for the life of a test, so
// a test can check what the code under test logged.
class LogCapture {
 public:
  explicit LogCapture(bool debug = false) {
    Logger::Instance().Open(dir_.File("test.log"));
    Logger::Instance().SetDebugEnabled(debug);
  }
  ~LogCapture() {
    Logger::Instance().Close();
    Logger::Instance().SetDebugEnabled(false);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Everything logged so far.
  std::string Text() const { return ReadBytes(dir_.File("test.log")); }

 private:
  TempDir dir_;
};

}  // namespace brevanto::testing
