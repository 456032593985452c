#include "core/processing/ProcessImagePath.h"

#include "core/log/Logger.h"

namespace brevanto {

std::string ProcessImagePath(WindowTracker& tracker, WindowId window) {
  if (window == kNoWindow) return {};
  ProcessPath result = tracker.ProcessPathOf(window);
  switch (result.status) {
    case ProcessPathStatus::Found:
      return std::move(result.path);
    case ProcessPathStatus::Unreadable:
      LOG_ERROR("Failed to obtain the target window filename");
      break;
    case ProcessPathStatus::NoProcess:
      LOG_ERROR("Failed to obtain the target window handle");
      break;
  }
  Logger::Instance().WriteAt(LogLevel::Error, __FILE__, __LINE__,
                             SystemErrorText(result.systemError));
  return {};
}

}  // namespace brevanto
