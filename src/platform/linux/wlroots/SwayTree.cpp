#include "platform/linux/wlroots/SwayTree.h"

#include <cstdint>
#include <nlohmann/json.hpp>

#include "core/log/Logger.h"

namespace brevanto {
namespace {

using nlohmann::json;

// Sway's trees are a handful of levels deep; anything deeper is not a tree
// Sway sent.
constexpr int kMaxDepth = 64;

std::string StringField(const json& node, const char* name) {
  const auto found = node.find(name);
  return found != node.end() && found->is_string() ? found->get<std::string>() : std::string();
}

// A view: a container that has a process. Split containers, workspaces and
// outputs have none.
std::optional<SwayWindow> WindowOf(const json& node) {
  if (!node.is_object()) return std::nullopt;
  const auto pid = node.find("pid");
  const auto id = node.find("id");
  if (pid == node.end() || !pid->is_number_integer() || id == node.end() ||
      !id->is_number_integer()) {
    return std::nullopt;
  }
  SwayWindow window;
  window.id = id->get<int64_t>();
  const int64_t processId = pid->get<int64_t>();
  window.processId = processId > 0 && processId <= INT32_MAX ? static_cast<int>(processId) : 0;
  window.appId = StringField(node, "app_id");
  if (window.appId.empty()) {
    if (const auto properties = node.find("window_properties");
        properties != node.end() && properties->is_object()) {
      window.appId = StringField(*properties, "class");
    }
  }
  window.title = StringField(node, "name");
  const auto focused = node.find("focused");
  window.focused = focused != node.end() && focused->is_boolean() && focused->get<bool>();
  return window;
}

// False when the tree is deeper than any Sway builds.
bool CollectWindows(const json& node, int depth, std::vector<SwayWindow>& windows) {
  if (depth > kMaxDepth) return false;
  if (!node.is_object()) return true;
  if (std::optional<SwayWindow> window = WindowOf(node)) windows.push_back(std::move(*window));
  for (const char* children : {"nodes", "floating_nodes"}) {
    const auto list = node.find(children);
    if (list == node.end() || !list->is_array()) continue;
    for (const json& child : *list) {
      if (!CollectWindows(child, depth + 1, windows)) return false;
    }
  }
  return true;
}

std::string Excerpt(std::string_view text) {
  constexpr std::size_t kLimit = 60;
  return std::string(text.substr(0, kLimit)) + (text.size() > kLimit ? "..." : "");
}

}  // namespace

std::optional<std::vector<SwayWindow>> ParseSwayTree(std::string_view text) {
  const json tree = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!tree.is_object()) {
    LOG_ERROR("Sway IPC: unreadable window tree: %s", Excerpt(text).c_str());
    return std::nullopt;
  }
  std::vector<SwayWindow> windows;
  if (!CollectWindows(tree, 0, windows)) {
    LOG_ERROR("Sway IPC: window tree nested too deeply");
    return std::nullopt;
  }
  return windows;
}

std::optional<SwayWindowEvent> ParseSwayWindowEvent(std::string_view text) {
  const json event = json::parse(text, nullptr, /*allow_exceptions=*/false);
  std::optional<SwayWindow> window;
  if (event.is_object()) {
    if (const auto container = event.find("container"); container != event.end()) {
      window = WindowOf(*container);
    }
  }
  const std::string change = event.is_object() ? StringField(event, "change") : std::string();
  if (!window || change.empty()) {
    LOG_ERROR("Sway IPC: unreadable window event: %s", Excerpt(text).c_str());
    return std::nullopt;
  }
  return SwayWindowEvent{change, std::move(*window)};
}

bool ParseSwaySuccess(std::string_view text) {
  const json reply = json::parse(text, nullptr, /*allow_exceptions=*/false);
  if (!reply.is_object()) return false;
  const auto success = reply.find("success");
  return success != reply.end() && success->is_boolean() && success->get<bool>();
}

int MatchProcessId(const std::vector<SwayWindow>& windows, std::string_view title,
                   std::string_view appId, bool active) {
  const SwayWindow* first = nullptr;
  const SwayWindow* sameApp = nullptr;
  int sameAppCount = 0;
  for (const SwayWindow& window : windows) {
    if (window.processId <= 0) continue;
    if (!appId.empty() && window.appId == appId) {
      sameApp = &window;
      ++sameAppCount;
    }
    if (window.title != title) continue;
    if (!appId.empty() && !window.appId.empty() && window.appId != appId) continue;
    if (active && window.focused) return window.processId;
    if (first == nullptr) first = &window;
  }
  if (first) return first->processId;
  // The titles differ while one side has not heard of a new one yet; an app
  // id only one window has still names the process.
  return sameAppCount == 1 ? sameApp->processId : 0;
}

}  // namespace brevanto
