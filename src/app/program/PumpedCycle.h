#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "core/processing/ProcessingTimer.h"

namespace brevanto {

class InputDevices;
struct GlobalSettings;

// One tick of the processing thread: SDL's view of the controllers is brought
// up to date (pumped) before the cycle reads them. With a controller that is
// every tick. With none there is nothing to read, only an arrival to notice:
// when the device folders are watched, an arrival is announced (as a pending
// detection) and SDL is asked every quarter of a second only for a while
// after each announcement, because udev may hand SDL the controller a little
// after its node appeared; when they are not watched, SDL is asked every
// quarter of a second all the time.
class PumpedCycle final : public TickHandler {
 public:
  static constexpr int32_t kIdlePumpMs = 250;
  static constexpr int32_t kSettleMs = 5000;

  PumpedCycle(TickHandler& cycle, std::function<void()> pump, const InputDevices& devices,
              const GlobalSettings& settings);

  // Set from the user-interface thread once the device folders are watched
  // (or no longer are).
  void SetArrivalsAnnounced(bool announced) {
    announced_.store(announced, std::memory_order_relaxed);
  }

  void OnEveryTick(int32_t tick) override;
  void OnLockedTick(int32_t tick) override;

 private:
  bool PumpDue(int32_t tick);

  TickHandler& cycle_;
  std::function<void()> pump_;
  const InputDevices& devices_;
  const GlobalSettings& settings_;
  std::atomic<bool> announced_{false};
  bool started_ = false;
  bool settling_ = false;
  int32_t settleStart_ = 0;
  int32_t lastPump_ = 0;
};

}  // namespace brevanto
