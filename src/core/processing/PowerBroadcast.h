#pragma once

#include <cstdint>
#include <functional>

#include "core/ports/PowerStateHandler.h"

namespace brevanto {

// Milliseconds of a clock that counts up and wraps around, like the system
// tick count.
using TickCountClock = std::function<uint32_t()>;
uint32_t SystemTickCount();

// What the program does with a power event (WM_POWERBROADCAST's wParam):
// logs it, stops on suspend and re-initialises once per resume. The system
// may report one resume twice (automatic, then by the user); the second
// report within kDoubleResumeMs is ignored.
class PowerBroadcastHandler {
 public:
  static constexpr uint32_t kDoubleResumeMs = 2000;

  explicit PowerBroadcastHandler(PowerStateHandler& handler,
                                 TickCountClock clock = SystemTickCount);

  // Returns the message's result: 1 (allow) for a suspend query, else 0.
  intptr_t Handle(intptr_t event);

 private:
  PowerStateHandler& handler_;
  TickCountClock clock_;
  intptr_t lastResume_ = -1;
  uint32_t lastResumeTime_ = 0;
};

}  // namespace brevanto
