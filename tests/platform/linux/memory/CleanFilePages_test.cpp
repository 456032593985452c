#include "platform/linux/memory/CleanFilePages.h"

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

// A file of kBytes mapped privately, every page read, as the loader and a
// font renderer map theirs.
class Mapped {
 public:
  Mapped(const std::string& path, bool writable) {
    std::ofstream(path, std::ios::binary) << std::string(kBytes, 'f');
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    data_ = static_cast<char*>(
        ::mmap(nullptr, kBytes, PROT_READ | (writable ? PROT_WRITE : 0), MAP_PRIVATE, fd, 0));
    ::close(fd);
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

TEST(CleanFilePages, ReleasesUnchangedFilePagesAndKeepsWhatTheProcessWrote) {
  testing::TempDir dir;
  Mapped font(dir.path() / "Noto.ttc", false);
  Mapped code(dir.path() / "libcode.so", false);
  Mapped written(dir.path() / "Edited.ttf", true);
  written.data()[0] = 'w';
  // A library's relocated data: written while loading, then made read-only.
  Mapped relocated(dir.path() / "librelro.so", true);
  relocated.data()[4096] = 'r';
  ASSERT_EQ(::mprotect(relocated.data(), kBytes, PROT_READ), 0);
  char* anonymous = static_cast<char*>(
      ::mmap(nullptr, kBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0));
  anonymous[0] = 'a';
  ASSERT_EQ(::mprotect(anonymous, kBytes, PROT_READ), 0);
  ASSERT_GT(ResidentKb(font.data()), 0u);

  EXPECT_GE(ReleaseCleanFilePages(), 2 * kBytes);

  EXPECT_EQ(ResidentKb(font.data()), 0u);
  EXPECT_EQ(ResidentKb(code.data()), 0u);
  // Read again from the file as before.
  EXPECT_EQ(font.data()[kBytes - 1], 'f');
  EXPECT_EQ(code.data()[0], 'f');
  // What the process wrote stays, readable or not.
  EXPECT_EQ(written.data()[0], 'w');
  EXPECT_EQ(relocated.data()[4096], 'r');
  EXPECT_EQ(anonymous[0], 'a');
  EXPECT_GT(ResidentKb(relocated.data()), 0u);
  ::munmap(anonymous, kBytes);
}

TEST(CleanFilePages, AMissingOrDamagedListReleasesNothing) {
  testing::TempDir dir;
  EXPECT_EQ(ReleaseCleanFilePages(dir.File("missing")), 0u);
  dir.Write("damaged", "7f00-zz r--p\nRss: 12 kB\nAnonymous: x kB\n");
  EXPECT_EQ(ReleaseCleanFilePages(dir.File("damaged")), 0u);
}

}  // namespace
}  // namespace brevanto
