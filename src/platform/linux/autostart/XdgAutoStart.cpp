#include "platform/linux/autostart/XdgAutoStart.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/log/Logger.h"
#include "core/settings/AtomicFile.h"

namespace brevanto {
namespace {

constexpr const char* kEntryName = "Brevanto.desktop";

// A failed step: its name, the errno and the system's text for it.
void LogStepFailure(const char* step, int error) {
  LOG_ERROR("%s (errno=%d): %s", step, error, SystemErrorText(error).c_str());
}

std::string ConfigHome() {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  // Relative values are invalid by the base-directory rules and are ignored.
  if (config != nullptr && config[0] == '/') return config;
  const char* home = std::getenv("HOME");
  if (home != nullptr && home[0] == '/') return std::string(home) + "/.config";
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_dir != nullptr && found->pw_dir[0] == '/') {
    return std::string(found->pw_dir) + "/.config";
  }
  return {};
}

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

// Hidden=true in the main group means the entry counts as deleted.
bool MarkedHidden(std::istream& in) {
  bool mainGroup = false;
  std::string line;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == '#') continue;
    if (line[0] == '[') {
      mainGroup = line == "[Desktop Entry]";
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!mainGroup || equals == std::string::npos) continue;
    if (Trim(line.substr(0, equals)) == "Hidden") return Trim(line.substr(equals + 1)) == "true";
  }
  return false;
}

}  // namespace

ExecutablePath RunningExecutable() {
  char buffer[PATH_MAX];
  const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length < 0) return {{}, errno};
  if (static_cast<std::size_t>(length) >= sizeof buffer) return {{}, ENAMETOOLONG};
  std::string path(buffer, static_cast<std::size_t>(length));
  // An executable replaced by an update while running; the new one at the
  // same place is what should start next time.
  constexpr std::string_view kDeleted = " (deleted)";
  if (path.ends_with(kDeleted)) path.resize(path.size() - kDeleted.size());
  return {path, 0};
}

std::string QuoteExecArgument(std::string_view argument) {
  // Inside a quoted argument, " ` $ and \ take a backslash; % starts a field
  // code and is doubled. The string escapes apply on top, so every backslash
  // is doubled once more and control characters are written as escapes.
  std::string quoted = "\"";
  for (const char c : argument) {
    switch (c) {
      case '"':
      case '`':
      case '$':
        quoted += "\\\\";
        quoted += c;
        break;
      case '\\':
        quoted += "\\\\\\\\";
        break;
      case '%':
        quoted += "%%";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\r':
        quoted += "\\r";
        break;
      default:
        quoted += c;
    }
  }
  quoted += '"';
  return quoted;
}

std::string AutoStartEntryText(const std::string& executablePath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Brevanto\n"
         "Comment=Brevanto AutoStartup\n"
         // The icon the desktop entry and the menus show.
         "Icon=brevanto\n"
         "Exec=" +
         QuoteExecArgument(executablePath) +
         "\n"
         "Terminal=false\n";
}

XdgAutoStart::XdgAutoStart(ExecutableLookup executable) : executable_(std::move(executable)) {}

std::string XdgAutoStart::EntryPath() {
  const std::string config = ConfigHome();
  if (config.empty()) return {};
  return config + "/autostart/" + kEntryName;
}

bool XdgAutoStart::TaskExists() {
  const std::string path = EntryPath();
  if (path.empty()) return false;
  std::ifstream in(path);
  return in.is_open() && !MarkedHidden(in);
}

bool XdgAutoStart::CreateTask() {
  const std::string path = EntryPath();
  if (path.empty()) {
    LogStepFailure("GetFolder failed", ENOENT);
    return false;
  }
  const ExecutablePath executable = executable_();
  if (executable.path.empty()) {
    // An entry without a program would start nothing while looking switched
    // on, so nothing is written.
    Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__,
                               SystemErrorText(executable.error));
    LOG_ERROR("GetModuleFileNameW failed");
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), error);
  if (error) {
    LogStepFailure("GetFolder failed", error.value());
    return false;
  }
  if (!SaveFileAtomically(path, AutoStartEntryText(executable.path))) {
    LogStepFailure("RegisterTaskDefinition failed", errno);
    return false;
  }
  return true;
}

bool XdgAutoStart::DeleteTask() {
  const std::string path = EntryPath();
  if (path.empty()) {
    LogStepFailure("GetFolder failed", ENOENT);
    return false;
  }
  if (::unlink(path.c_str()) != 0) {
    LogStepFailure("DeleteTask failed", errno);
    return false;
  }
  return true;
}

}  // namespace brevanto
