#include "app/program/PumpedCycle.h"

#include <utility>

#include "core/processing/InputDevices.h"
#include "core/processing/TimeBase.h"
#include "core/settings/GlobalSettings.h"

namespace brevanto {

PumpedCycle::PumpedCycle(TickHandler& cycle, std::function<void()> pump,
                         const InputDevices& devices, const GlobalSettings& settings)
    : cycle_(cycle), pump_(std::move(pump)), devices_(devices), settings_(settings) {}

void PumpedCycle::OnEveryTick(int32_t tick) {
  cycle_.OnEveryTick(tick);
}

void PumpedCycle::OnLockedTick(int32_t tick) {
  if (PumpDue(tick)) {
    lastPump_ = tick;
    pump_();
  }
  cycle_.OnLockedTick(tick);
}

bool PumpedCycle::PumpDue(int32_t tick) {
  // The start is a change too: the controllers present were only just
  // listed.
  if (!started_ || devices_.DeviceChangePending()) {
    started_ = true;
    settling_ = true;
    settleStart_ = tick;
  }
  if (devices_.DeviceCount() > 0 || devices_.DeviceChangePending()) return true;
  const int turbo = settings_.TurboMode;
  if (settling_ && tick - settleStart_ >= CyclesFromMilliseconds(kSettleMs, turbo)) {
    settling_ = false;
  }
  if (announced_.load(std::memory_order_relaxed) && !settling_) return false;
  return tick - lastPump_ >= CyclesFromMilliseconds(kIdlePumpMs, turbo);
}

}  // namespace brevanto
