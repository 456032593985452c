#include "platform/linux/wlroots/WlrootsWindowTracker.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "core/log/Logger.h"
#include "platform/linux/wlroots/SwayIpc.h"
#include "platform/linux/x11/X11WindowTracker.h"

namespace brevanto {
namespace {

constexpr int kIpcTimeoutMs = 1000;

}  // namespace

std::unique_ptr<WlrootsWindowTracker> WlrootsWindowTracker::Open(const char* waylandDisplay,
                                                                 const std::string& swaySocket) {
  std::unique_ptr<ForeignToplevelList> list = ForeignToplevelList::Connect(waylandDisplay);
  if (!list) return nullptr;
  std::unique_ptr<WlrootsWindowTracker> tracker(new WlrootsWindowTracker());
  tracker->list_ = std::move(list);
  tracker->wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (tracker->wakeFd_ < 0) return nullptr;
  if (!swaySocket.empty()) {
    tracker->swayEvents_ = SwayIpc::Connect(swaySocket);
    tracker->swayRequests_ = SwayIpc::Connect(swaySocket);
    const std::optional<std::string> subscribed =
        tracker->swayEvents_ && tracker->swayRequests_
            ? tracker->swayEvents_->Request(SwayIpc::kSubscribe, R"(["window"])", kIpcTimeoutMs)
            : std::nullopt;
    if (subscribed && ParseSwaySuccess(*subscribed)) {
      tracker->RefreshSwayTree();
    } else {
      tracker->DropSway("Sway IPC: no window events; program paths of Wayland windows are unknown");
    }
  }
  tracker->knowsProcesses_ = tracker->swayRequests_ != nullptr;
  tracker->list_->TakeChanged();
  tracker->Publish();
  tracker->thread_ = std::thread([t = tracker.get()] { t->Run(); });
  return tracker;
}

WlrootsWindowTracker::~WlrootsWindowTracker() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    if (::write(wakeFd_, &one, sizeof(one)) < 0) LOG_SYSTEM_ERROR();
    thread_.join();
  }
  if (wakeFd_ >= 0) ::close(wakeFd_);
}

void WlrootsWindowTracker::Run() {
  for (;;) {
    if (!list_->BeginRead()) break;
    pollfd fds[3] = {{list_->Fd(), POLLIN, 0},
                     {swayEvents_ ? swayEvents_->Fd() : -1, POLLIN, 0},
                     {wakeFd_, POLLIN, 0}};
    if (::poll(fds, 3, -1) < 0 && errno != EINTR) {
      list_->EndRead(false);
      break;
    }
    if (!list_->EndRead((fds[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0)) break;
    if (fds[2].revents != 0) return;
    // The list first: an IPC event may concern a window the list has just
    // announced.
    if (list_->TakeChanged()) Publish();
    if (fds[1].revents != 0) ReadSwayEvent();
  }
  LOG_ERROR(
      "Window tracking: the connection to the compositor was lost; no Wayland window "
      "is tracked from now on");
  foreground_.store(kNoWindow, std::memory_order_release);
  // Wait for the end, so the tracker keeps answering from what it had.
  pollfd wake{wakeFd_, POLLIN, 0};
  while (::poll(&wake, 1, -1) < 0 && errno == EINTR) {
  }
}

void WlrootsWindowTracker::ReadSwayEvent() {
  std::optional<SwayIpc::Message> message = swayEvents_->Receive(kIpcTimeoutMs);
  if (!message) {
    DropSway("Sway IPC: the connection was lost; program paths of new Wayland windows are unknown");
    return;
  }
  if (message->type != SwayIpc::kWindowEvent) return;
  std::optional<SwayWindowEvent> event = ParseSwayWindowEvent(message->payload);
  if (!event) return;
  const auto same = [&](const SwayWindow& w) { return w.id == event->window.id; };
  std::erase_if(swayWindows_, same);
  if (event->change != "close") {
    if (event->window.focused) {
      for (SwayWindow& w : swayWindows_) w.focused = false;
    }
    swayWindows_.push_back(std::move(event->window));
  }
  Publish();
}

void WlrootsWindowTracker::RefreshSwayTree() {
  if (!swayRequests_) return;
  const std::optional<std::string> reply =
      swayRequests_->Request(SwayIpc::kGetTree, "", kIpcTimeoutMs);
  if (!reply) {
    DropSway("Sway IPC: no window tree; program paths of Wayland windows are unknown");
    return;
  }
  if (std::optional<std::vector<SwayWindow>> windows = ParseSwayTree(*reply)) {
    swayWindows_ = std::move(*windows);
  }
}

void WlrootsWindowTracker::DropSway(const char* why) {
  LOG_ERROR("%s", why);
  swayEvents_.reset();
  swayRequests_.reset();
}

void WlrootsWindowTracker::Publish() {
  const std::vector<ForeignToplevelList::Toplevel> toplevels = list_->Toplevels();
  const auto gone = [&](const auto& known) {
    return std::none_of(toplevels.begin(), toplevels.end(),
                        [&](const auto& t) { return t.id == known.first; });
  };
  // A window's process never changes: once found, it is kept.
  std::erase_if(processIds_, gone);
  std::erase_if(askedFor_, gone);
  for (const ForeignToplevelList::Toplevel& toplevel : toplevels) {
    if (processIds_.contains(toplevel.id)) continue;
    int processId =
        MatchProcessId(swayWindows_, toplevel.title, toplevel.appId, toplevel.activated);
    // The compositor tells the two sockets in no fixed order, but the tree
    // it gives now already holds the window as the list described it. Asked
    // once per description, so a window that matches nothing costs no
    // request per event.
    const std::string description = toplevel.title + '\n' + toplevel.appId;
    if (processId == 0 && swayRequests_ && askedFor_[toplevel.id] != description) {
      askedFor_[toplevel.id] = description;
      RefreshSwayTree();
      processId = MatchProcessId(swayWindows_, toplevel.title, toplevel.appId, toplevel.activated);
    }
    if (processId > 0) processIds_[toplevel.id] = processId;
  }

  WindowId foreground = kNoWindow;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    windows_.clear();
    for (const ForeignToplevelList::Toplevel& toplevel : toplevels) {
      const auto known = processIds_.find(toplevel.id);
      windows_[toplevel.id] =
          Details{toplevel.title, toplevel.appId, known == processIds_.end() ? 0 : known->second};
      if (toplevel.activated) foreground = toplevel.id;
    }
  }
  foreground_.store(foreground, std::memory_order_release);
}

WindowId WlrootsWindowTracker::ForegroundWindow() {
  return foreground_.load(std::memory_order_acquire);
}

std::string WlrootsWindowTracker::WindowTitle(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = windows_.find(window);
  return found == windows_.end() ? std::string() : found->second.title;
}

std::string WlrootsWindowTracker::AppIdOf(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = windows_.find(window);
  return found == windows_.end() ? std::string() : found->second.appId;
}

int WlrootsWindowTracker::ProcessIdOf(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto found = windows_.find(window);
  return found == windows_.end() ? 0 : found->second.processId;
}

ProcessPath WlrootsWindowTracker::ProcessPathOf(WindowId window) {
  const int processId = ProcessIdOf(window);
  if (processId <= 0) return ProcessPath{ProcessPathStatus::NoProcess, {}, ESRCH};
  return X11WindowTracker::ExecutableOf(processId);
}

bool WlrootsWindowTracker::IsDesktopOrDock(WindowId) {
  // The list holds application windows only; panels and backgrounds are
  // layer surfaces, which it never names.
  return false;
}

bool WlrootsWindowTracker::IsOwnWindow(WindowId window) {
  const int processId = ProcessIdOf(window);
  return processId > 0 && processId == ::getpid();
}

}  // namespace brevanto
