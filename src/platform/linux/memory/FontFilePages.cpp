#include "platform/linux/memory/FontFilePages.h"

#include <sys/mman.h>

#include <cstdint>
#include <fstream>
#include <sstream>
#include <string_view>
#include <vector>

namespace brevanto {
namespace {

bool IsFontFile(std::string_view path) {
  static constexpr std::string_view kEndings[] = {".ttf", ".ttc", ".otf", ".otc", ".pfb"};
  for (std::string_view ending : kEndings) {
    if (path.size() < ending.size()) continue;
    const std::string_view tail = path.substr(path.size() - ending.size());
    bool same = true;
    for (std::size_t i = 0; i < tail.size(); ++i) {
      const char c =
          tail[i] >= 'A' && tail[i] <= 'Z' ? static_cast<char>(tail[i] - 'A' + 'a') : tail[i];
      same = same && c == ending[i];
    }
    if (same) return true;
  }
  return false;
}

struct Mapping {
  uintptr_t start = 0;
  uintptr_t end = 0;
  std::size_t residentKb = 0;
};

}  // namespace

std::size_t ReleaseFontFilePages(const std::string& mapsPath) {
  std::ifstream maps(mapsPath);
  std::vector<Mapping> fonts;
  bool inFont = false;
  std::string line;
  while (std::getline(maps, line)) {
    std::istringstream fields(line);
    std::string range;
    std::string permissions;
    fields >> range >> permissions;
    const std::size_t dash = range.find('-');
    // A mapping's header line: "start-end perms offset dev inode path".
    if (dash != std::string::npos && permissions.size() == 4) {
      std::string offset, device, inode, path;
      fields >> offset >> device >> inode;
      std::getline(fields >> std::ws, path);
      inFont = permissions[0] == 'r' && permissions[1] == '-' && IsFontFile(path);
      if (inFont) {
        fonts.push_back(Mapping{std::stoull(range.substr(0, dash), nullptr, 16),
                                std::stoull(range.substr(dash + 1), nullptr, 16), 0});
      }
      continue;
    }
    if (inFont && range == "Rss:") fonts.back().residentKb = std::stoull(permissions);
  }
  std::size_t released = 0;
  for (const Mapping& font : fonts) {
    if (font.residentKb == 0) continue;
    if (::madvise(reinterpret_cast<void*>(font.start), font.end - font.start, MADV_DONTNEED) == 0) {
      released += font.residentKb * 1024;
    }
  }
  return released;
}

}  // namespace brevanto
