#include "platform/fake/FakeWindowTracker.h"

#include <cerrno>

namespace brevanto {

void FakeWindowTracker::AddWindow(WindowId id, const std::string& title,
                                  const std::string& executable) {
  AddWindow(id, Window{title, ProcessPath{ProcessPathStatus::Found, executable, 0}, false});
}

std::string FakeWindowTracker::WindowTitle(WindowId window) {
  ++detailQueries_;
  const auto it = windows_.find(window);
  return it == windows_.end() ? std::string() : it->second.title;
}

ProcessPath FakeWindowTracker::ProcessPathOf(WindowId window) {
  ++detailQueries_;
  const auto it = windows_.find(window);
  if (it == windows_.end()) return ProcessPath{ProcessPathStatus::NoProcess, {}, ESRCH};
  return it->second.process;
}

bool FakeWindowTracker::IsDesktopOrDock(WindowId window) {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.desktopOrDock;
}

bool FakeWindowTracker::IsOwnWindow(WindowId window) {
  const auto it = windows_.find(window);
  return it != windows_.end() && it->second.ownProcess;
}

}  // namespace brevanto
