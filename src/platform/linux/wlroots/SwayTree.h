#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brevanto {

// A window as Sway's IPC describes it: the container id, the process that
// owns it, its app id (the X11 class for XWayland windows), its title and
// whether it has the focus.
struct SwayWindow {
  int64_t id = 0;
  int processId = 0;
  std::string appId;
  std::string title;
  bool focused = false;

  bool operator==(const SwayWindow&) const = default;
};

// The windows of a get_tree reply, tiled and floating, in tree order.
// Nothing (and a log line) when the reply cannot be read.
std::optional<std::vector<SwayWindow>> ParseSwayTree(std::string_view json);

// A "window" event: what changed ("new", "close", "focus", "title", ...) and
// the window it concerns.
struct SwayWindowEvent {
  std::string change;
  SwayWindow window;
};
std::optional<SwayWindowEvent> ParseSwayWindowEvent(std::string_view json);

// Whether a reply to a subscription says {"success": true}.
bool ParseSwaySuccess(std::string_view json);

// The process of the window that carries this title and app id (an empty
// app id matches any). Among several, the focused one when the window is
// the active one, else the first. Without a title match, the one window
// with that app id. 0 when none matches.
int MatchProcessId(const std::vector<SwayWindow>& windows, std::string_view title,
                   std::string_view appId, bool active);

}  // namespace brevanto
