#include "core/settings/DataDirectory.h"

#include <pwd.h>
#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <system_error>
#include <vector>

#include "core/settings/AtomicFile.h"

namespace brevanto {
namespace {

std::string Variable(const EnvironmentLookup& environment, const std::string& name) {
  if (!environment) return {};
  return environment(name).value_or(std::string());
}

// The value of one "XDG_DOCUMENTS_DIR=..." line: shell-quoted, either
// "$HOME/..." or an absolute path. Anything else is not a valid entry.
std::string DocumentsEntry(std::string_view value, const std::string& home) {
  std::string text;
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  }
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) ++i;
    text += value[i];
  }
  if (text.rfind("$HOME", 0) == 0 && (text.size() == 5 || text[5] == '/')) {
    if (home.empty()) return {};
    text = home + text.substr(5);
  } else if (text.empty() || text.front() != '/') {
    return {};
  }
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return text;
}

}  // namespace

std::string HomeDirectory(const EnvironmentLookup& environment) {
  std::string home = Variable(environment, "HOME");
  if (!home.empty()) return home;
  struct passwd entry {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_dir) {
    home = found->pw_dir;
  }
  return home;
}

std::string DocumentsDirectory(const EnvironmentLookup& environment) {
  std::string home = HomeDirectory(environment);
  while (home.size() > 1 && home.back() == '/') home.pop_back();

  std::string config = Variable(environment, "XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = home.empty() ? "" : home + "/.config";
  if (!config.empty()) {
    std::string bytes;
    if (ReadWholeFile(config + "/user-dirs.dirs", bytes) == FileReadStatus::Ok) {
      std::istringstream lines(bytes);
      std::string line;
      constexpr std::string_view kKey = "XDG_DOCUMENTS_DIR=";
      while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, kKey.size(), kKey) != 0) continue;
        std::string folder =
            DocumentsEntry(std::string_view(line).substr(start + kKey.size()), home);
        if (!folder.empty()) return folder;
      }
    }
  }
  if (home.empty()) return {};
  return home + "/Documents";
}

bool IsSystemInstallFolder(const std::string& exeDir) {
  if (exeDir.rfind("/usr/", 0) == 0 || exeDir.rfind("/opt/", 0) == 0) return true;
  return ::access(exeDir.c_str(), W_OK) != 0;
}

bool HoldsPortableData(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path dir(folder);
  if (std::filesystem::exists(dir / "Brevanto.ini", error)) return true;
  for (std::filesystem::directory_iterator it(dir, error), end; !error && it != end;
       it.increment(error)) {
    const std::filesystem::directory_entry& entry = *it;
    std::string extension = entry.path().extension().string();
    for (char& c : extension) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    if (extension == ".cfg" && entry.is_regular_file(error)) return true;
  }
  return false;
}

}  // namespace brevanto
