#include "core/processing/TargetWindow.h"

#include <cstddef>

#include "core/log/Logger.h"
#include "core/processing/ProcessImagePath.h"

namespace brevanto {
namespace {

// Application links match against at most this much of a title.
constexpr std::size_t kMaxTitleCharacters = 2047;

void LimitCharacters(std::string& text, std::size_t limit) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == limit) {
      text.resize(i);
      return;
    }
  }
}

char Upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsOwnExecutable(const std::string& path) {
  static constexpr std::string_view kOwnName = "BREVANTO";
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return false;
  const std::string_view name = std::string_view(path).substr(slash + 1);
  if (name.size() != kOwnName.size()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (Upper(name[i]) != kOwnName[i]) return false;
  }
  return true;
}

void TargetWindow::Sample() {
  const WindowId window = tracker_.ForegroundWindow();
  targetChanged_ = window != targetWindow_;
  targetWindow_ = window;
  if (!targetChanged_) return;

  std::string title = window == kNoWindow ? std::string() : tracker_.WindowTitle(window);
  LimitCharacters(title, kMaxTitleCharacters);
  std::string path = ProcessImagePath(tracker_, window);
  LOG_DEBUG("Target window changed [HWND=%#08x, Path='%s', Title='%s']",
            static_cast<unsigned>(window), path.c_str(), title.c_str());

  const WindowId mainWindow = mainWindow_.load(std::memory_order_relaxed);
  targetIsOwn_ = IsOwnExecutable(path) ||
                 (window != kNoWindow && (window == mainWindow || tracker_.IsOwnWindow(window)));

  if (appLinksSuspended_.load(std::memory_order_relaxed) || !onChanged_) return;
  // Application links know the desktop and the task bar as a window without
  // a title (and, for the task bar, without a path); desktop and dock windows
  // are handed over the same way.
  if (window != kNoWindow && tracker_.IsDesktopOrDock(window)) {
    onChanged_(std::string(), std::string());
  } else {
    onChanged_(path, title);
  }
}

}  // namespace brevanto
