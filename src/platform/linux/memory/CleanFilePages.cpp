#include "platform/linux/memory/CleanFilePages.h"

#include <sys/mman.h>

#include <charconv>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace brevanto {
namespace {

struct Mapping {
  uintptr_t start = 0;
  uintptr_t end = 0;
  bool candidate = false;  // not writable and backed by a file
  std::size_t residentKb = 0;
  std::size_t anonymousKb = 0;
};

// The whole text as a number; false for anything else.
template <typename T>
bool ParseWhole(std::string_view text, T& value, int base) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

std::vector<Mapping> ReadMappings(const std::string& smapsPath) {
  std::ifstream smaps(smapsPath);
  std::vector<Mapping> mappings;
  std::string line;
  while (std::getline(smaps, line)) {
    std::istringstream fields(line);
    std::string first;
    std::string second;
    fields >> first >> second;
    const std::size_t dash = first.find('-');
    // A mapping's header line: "start-end perms offset dev inode path".
    if (dash != std::string::npos && first.back() != ':' && second.size() == 4) {
      std::string offset, device, inode, path;
      fields >> offset >> device >> inode;
      std::getline(fields >> std::ws, path);
      Mapping mapping;
      const std::string_view range(first);
      const bool parsed = ParseWhole(range.substr(0, dash), mapping.start, 16) &&
                          ParseWhole(range.substr(dash + 1), mapping.end, 16) &&
                          mapping.start < mapping.end;
      // "[heap]", "[vdso]" and anonymous memory have no path of a file.
      mapping.candidate = parsed && second[0] == 'r' && second[1] == '-' && inode != "0" &&
                          !path.empty() && path[0] == '/';
      // A size that cannot be read counts as changed: the mapping stays.
      mapping.anonymousKb = 1;
      mappings.push_back(mapping);
      continue;
    }
    if (mappings.empty()) continue;
    Mapping& last = mappings.back();
    if (first == "Rss:" && !ParseWhole(std::string_view(second), last.residentKb, 10)) {
      last.residentKb = 0;
    }
    if (first == "Anonymous:" && !ParseWhole(std::string_view(second), last.anonymousKb, 10)) {
      last.anonymousKb = 1;
    }
  }
  return mappings;
}

}  // namespace

std::size_t ReleaseCleanFilePages(const std::string& smapsPath) {
  std::size_t released = 0;
  for (const Mapping& m : ReadMappings(smapsPath)) {
    if (!m.candidate || m.residentKb == 0 || m.anonymousKb != 0) continue;
    if (::madvise(reinterpret_cast<void*>(m.start), m.end - m.start, MADV_DONTNEED) == 0) {
      released += m.residentKb * 1024;
    }
  }
  return released;
}

}  // namespace brevanto
