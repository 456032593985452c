#include "platform/linux/sdl/DeviceLocation.h"

#include <filesystem>
#include <fstream>
#include <string_view>

namespace brevanto {
namespace {

std::string ReadAttribute(const std::filesystem::path& path) {
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return {};
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// The node name after the folder, when the path is folder/<prefix>N.
std::string NodeName(const std::string& path, std::string_view folder, std::string_view prefix) {
  if (!path.starts_with(folder)) return {};
  std::string name = path.substr(folder.size());
  if (!name.starts_with(prefix) || name.size() == prefix.size()) return {};
  for (std::size_t i = prefix.size(); i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') return {};
  }
  return name;
}

}  // namespace

DeviceLocation ReadDeviceLocation(const std::string& nodePath, const std::string& sysfsRoot) {
  DeviceLocation location;
  const std::filesystem::path root(sysfsRoot);
  if (const std::string event = NodeName(nodePath, "/dev/input/", "event"); !event.empty()) {
    const std::filesystem::path device = root / "class/input" / event / "device";
    location.uniqueId = ReadAttribute(device / "uniq");
    location.port = ReadAttribute(device / "phys");
    return location;
  }
  if (const std::string hidraw = NodeName(nodePath, "/dev/", "hidraw"); !hidraw.empty()) {
    std::error_code error;
    const std::filesystem::path device =
        std::filesystem::canonical(root / "class/hidraw" / hidraw / "device", error);
    if (!error && device.has_parent_path()) {
      location.port = device.parent_path().lexically_relative(root).string();
    }
  }
  return location;
}

}  // namespace brevanto
