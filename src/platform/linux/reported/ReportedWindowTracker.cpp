#include "platform/linux/reported/ReportedWindowTracker.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/linux/x11/X11WindowTracker.h"

namespace brevanto {

const char* ReportVerdictText(ReportVerdict verdict) {
  switch (verdict) {
    case ReportVerdict::Accepted:
      return "accepted";
    case ReportVerdict::NoKey:
      return "no window key";
    case ReportVerdict::KeyTooLong:
      return "window key too long";
    case ReportVerdict::TitleTooLong:
      return "title too long";
    case ReportVerdict::AppIdTooLong:
      return "app id too long";
    case ReportVerdict::BadProcessId:
      return "process id out of range";
  }
  return "unknown";
}

ReportVerdict ReportedWindowTracker::Activate(const WindowReport& report) {
  if (report.key.empty()) return ReportVerdict::NoKey;
  if (report.key.size() > kMaxKeyBytes) return ReportVerdict::KeyTooLong;
  if (report.title.size() > kMaxTitleBytes) return ReportVerdict::TitleTooLong;
  if (report.appId.size() > kMaxAppIdBytes) return ReportVerdict::AppIdTooLong;
  if (report.processId < 0 || report.processId > kMaxProcessId) {
    return ReportVerdict::BadProcessId;
  }

  WindowId id = kNoWindow;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    Entry& entry = EntryFor(report.key);
    entry.title = report.title;
    entry.processId = static_cast<int>(report.processId);
    entry.desktopOrDock = report.desktopOrDock;
    entry.lastUsed = ++useCounter_;
    id = entry.id;
  }
  // Published after the details, so a reader that sees the new window finds
  // them.
  foreground_.store(id, std::memory_order_release);
  return ReportVerdict::Accepted;
}

void ReportedWindowTracker::Clear() {
  foreground_.store(kNoWindow, std::memory_order_release);
}

ReportedWindowTracker::Entry& ReportedWindowTracker::EntryFor(const std::string& key) {
  for (Entry& entry : entries_) {
    if (entry.id != kNoWindow && entry.key == key) return entry;
  }
  // A window not seen lately takes the place of the one reported longest
  // ago; an empty place is older than any.
  Entry& oldest =
      *std::min_element(entries_.begin(), entries_.end(),
                        [](const Entry& a, const Entry& b) { return a.lastUsed < b.lastUsed; });
  oldest = Entry{};
  oldest.id = NextId();
  oldest.key = key;
  return oldest;
}

WindowId ReportedWindowTracker::NextId() {
  // Numbers are not reused while a window may still hold one: after 2^32 - 1
  // windows they wrap, skipping the null window.
  if (++lastId_ == kNoWindow) ++lastId_;
  return lastId_;
}

const ReportedWindowTracker::Entry* ReportedWindowTracker::Find(WindowId window) const {
  if (window == kNoWindow) return nullptr;
  for (const Entry& entry : entries_) {
    if (entry.id == window) return &entry;
  }
  return nullptr;
}

WindowId ReportedWindowTracker::ForegroundWindow() {
  return foreground_.load(std::memory_order_acquire);
}

std::string ReportedWindowTracker::WindowTitle(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Entry* entry = Find(window);
  return entry ? entry->title : std::string();
}

ProcessPath ReportedWindowTracker::ProcessPathOf(WindowId window) {
  int processId = 0;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (const Entry* entry = Find(window)) processId = entry->processId;
  }
  if (processId <= 0) return ProcessPath{ProcessPathStatus::NoProcess, {}, ESRCH};
  return X11WindowTracker::ExecutableOf(processId);
}

bool ReportedWindowTracker::IsDesktopOrDock(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Entry* entry = Find(window);
  return entry && entry->desktopOrDock;
}

bool ReportedWindowTracker::IsOwnWindow(WindowId window) {
  std::lock_guard<std::mutex> lock(mutex_);
  const Entry* entry = Find(window);
  return entry && entry->processId > 0 && entry->processId == static_cast<int>(::getpid());
}

}  // namespace brevanto
