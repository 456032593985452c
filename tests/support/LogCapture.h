#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/log/Logger.h"

namespace brevanto::testing {

// Points the process-wide log at a temporary file for one test and gives its
// text back.
class LogCapture {
 public:
  explicit LogCapture(bool debug = false) {
    static int serial = 0;
    path_ =
        std::filesystem::temp_directory_path() / ("brevanto_capture_" + std::to_string(::getpid()) +
                                                  "_" + std::to_string(++serial) + ".log");
    Logger::Instance().SetDebugEnabled(debug);
    opened_ = Logger::Instance().Open(path_.string());
  }
  ~LogCapture() {
    Logger::Instance().Close();
    Logger::Instance().SetDebugEnabled(false);
    std::filesystem::remove(path_);
  }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  bool Opened() const { return opened_; }
  std::string Text() const {
    std::ifstream in(path_, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool Contains(const std::string& fragment) const {
    return Text().find(fragment) != std::string::npos;
  }

 private:
  std::filesystem::path path_;
  bool opened_ = false;
};

}  // namespace brevanto::testing
