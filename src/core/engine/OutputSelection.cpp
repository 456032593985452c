#include "core/engine/OutputSelection.h"

#include <array>
#include <atomic>

#include "core/ports/AbstractEvent.h"

namespace brevanto {
namespace {

class DroppingEvent final : public AbstractEvent {
 public:
  void KeyEvent(uint8_t, uint8_t, int32_t) override {}
  void MoveAbsolute(int32_t, int32_t) override {}
  void MoveRelative(int32_t, int32_t) override {}
  void Wheel(int32_t) override {}
  void HWheel(int32_t) override {}
  void MouseButtons(bool, bool, int32_t, int32_t, int32_t, int32_t, int32_t) override {}
  void SendPauseSequence() override {}
};

DroppingEvent g_dropping;
std::array<std::atomic<AbstractEvent*>, kOutputMethodCount> g_methods{};
std::atomic<int32_t> g_currentMode{0};

bool IsValidMode(int32_t mode) {
  return mode >= 0 && mode < kOutputMethodCount;
}

}  // namespace

bool RegisterOutputMethod(int32_t keySendMode, AbstractEvent* method) {
  if (!IsValidMode(keySendMode)) return false;
  g_methods[static_cast<std::size_t>(keySendMode)].store(method, std::memory_order_release);
  return true;
}

void SelectOutputMethod(int32_t keySendMode) {
  if (IsValidMode(keySendMode)) g_currentMode.store(keySendMode, std::memory_order_relaxed);
}

int32_t CurrentOutputMode() {
  return g_currentMode.load(std::memory_order_relaxed);
}

AbstractEvent& CurrentOutput() {
  const auto mode = static_cast<std::size_t>(g_currentMode.load(std::memory_order_relaxed));
  AbstractEvent* method = g_methods[mode].load(std::memory_order_acquire);
  return method ? *method : g_dropping;
}

}  // namespace brevanto
