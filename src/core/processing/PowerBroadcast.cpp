#include "core/processing/PowerBroadcast.h"

#include <chrono>

#include "core/log/Logger.h"
#include "core/processing/Messages.h"

namespace brevanto {

uint32_t SystemTickCount() {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

PowerBroadcastHandler::PowerBroadcastHandler(PowerStateHandler& handler, TickCountClock clock)
    : handler_(handler), clock_(std::move(clock)) {}

intptr_t PowerBroadcastHandler::Handle(intptr_t event) {
  switch (event) {
    case PBT_APMQUERYSUSPEND:
      LOG_INFO("Received PBT_APMQUERYSUSPEND");
      return 1;
    case PBT_APMSUSPEND:
      LOG_INFO("Received PBT_APMSUSPEND: Disabling the timer and joysticks...");
      // A resume report before this sleep is no twin of the next wake-up's.
      lastResume_ = -1;
      handler_.Suspend();
      return 0;
    case PBT_APMRESUMESUSPEND:
    case PBT_APMRESUMEAUTOMATIC: {
      LOG_INFO(event == PBT_APMRESUMESUSPEND ? "Received PBT_APMRESUMESUSPEND"
                                             : "Received PBT_APMRESUMEAUTOMATIC");
      const uint32_t now = clock_();
      // Unsigned difference: correct across the wrap of the tick count.
      if (event == PBT_APMRESUMESUSPEND && lastResume_ == PBT_APMRESUMEAUTOMATIC &&
          now - lastResumeTime_ < kDoubleResumeMs) {
        return 0;
      }
      lastResume_ = event;
      lastResumeTime_ = now;
      LOG_INFO("Reinitializing joysticks...");
      handler_.Resume();
      return 0;
    }
    default:
      LOG_DEBUG("Received unknown power broadcast message: %ld", static_cast<long>(event));
      return 0;
  }
}

}  // namespace brevanto
