#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace brevanto::bench {

// A small /proc file kept open and read again from its start: far cheaper
// between samples than opening it each time, and the benchmark shares the
// cores with what it measures.
class ProcFile {
 public:
  explicit ProcFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {}
  ~ProcFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  ProcFile(ProcFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  ProcFile(const ProcFile&) = delete;
  ProcFile& operator=(const ProcFile&) = delete;
  ProcFile& operator=(ProcFile&&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  // The whole text as it is now; nullopt when it cannot be read.
  std::optional<std::string_view> Read() {
    if (fd_ < 0) return std::nullopt;
    const ssize_t n = ::pread(fd_, buffer_.data(), buffer_.size(), 0);
    if (n <= 0) return std::nullopt;
    return std::string_view(buffer_.data(), static_cast<std::size_t>(n));
  }

 private:
  int fd_;
  std::array<char, 512> buffer_{};
};

}  // namespace brevanto::bench
