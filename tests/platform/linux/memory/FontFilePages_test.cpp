#include "platform/linux/memory/FontFilePages.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "support/TempDir.h"

namespace brevanto {
namespace {

constexpr std::size_t kBytes = 16 * 4096;

// The resident kilobytes of this process's mapping that starts at address.
std::size_t ResidentKb(const void* address) {
  std::ifstream smaps("/proc/self/smaps");
  const auto start = reinterpret_cast<uintptr_t>(address);
  bool found = false;
  std::string line;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string first;
    fields >> first;
    const std::size_t dash = first.find('-');
    if (dash != std::string::npos && first.back() != ':') {
      found = std::stoull(first.substr(0, dash), nullptr, 16) == start;
    } else if (found && first == "Rss:") {
      std::size_t kb = 0;
      fields >> kb;
      return kb;
    }
  }
  return 0;
}

class Mapped {
 public:
  Mapped(const std::string& path, bool writable) {
    std::ofstream(path, std::ios::binary) << std::string(kBytes, 'f');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    data_ = static_cast<char*>(
        ::mmap(nullptr, kBytes, PROT_READ | (writable ? PROT_WRITE : 0), MAP_PRIVATE, fd, 0));
    ::close(fd);
    // Read every page, as a renderer does with the tables it needs.
    int sum = 0;
    for (std::size_t i = 0; i < kBytes; i += 4096) sum += data_[i];
    sum_ = sum;
  }
  ~Mapped() { ::munmap(data_, kBytes); }
  char* data() { return data_; }

 private:
  char* data_ = nullptr;
  volatile int sum_ = 0;
};

TEST(FontFilePages, ReleasesReadOnlyFontMappingsAndLeavesTheRest) {
  testing::TempDir dir;
  Mapped font(dir.path() / "Noto.TTC", false);
  Mapped written(dir.path() / "Edited.ttf", true);
  written.data()[0] = 'w';
  Mapped other(dir.path() / "data.bin", false);
  ASSERT_GT(ResidentKb(font.data()), 0u);

  EXPECT_GE(ReleaseFontFilePages(), kBytes);

  EXPECT_EQ(ResidentKb(font.data()), 0u);
  // Read again as before.
  EXPECT_EQ(font.data()[kBytes - 1], 'f');
  // What the process wrote, and mappings of other files, stay.
  EXPECT_EQ(written.data()[0], 'w');
  EXPECT_GT(ResidentKb(other.data()), 0u);
}

}  // namespace
}  // namespace brevanto
