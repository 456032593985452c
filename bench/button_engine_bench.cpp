// One processing cycle's engine work for a slot of 184 busy records: every
// record's effective value, then Process. Runs within the 16 ms cycle, so it
// must stay far below a millisecond.
#include <benchmark/benchmark.h>

#include <array>

#include "core/engine/ButtonEngine.h"
#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "platform/fake/CountingEvent.h"
#include "core/ports/AbstractEvent.h"

namespace brevanto {
namespace {

void BM_EngineCycle(benchmark::State& state) {
  CountingEvent out;
  RegisterOutputMethod(0, &out);
  SelectOutputMethod(0);
  std::array<ButtonAssignment, kVirtualButtonCount> slot;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    ButtonAssignment& r = slot[static_cast<std::size_t>(i)];
    r.Stamp(0, i);
    switch (i % 4) {
      case 0:
        r.kind = AssignmentKind::Keys;
        r.keys[0] = {0xA0, static_cast<KeyCode>(0x41 + i % 26), 0, 0};
        r.repeatRate = static_cast<float>(i % 3) * 5.0f;
        break;
      case 1:
        r.kind = AssignmentKind::Mouse;
        r.HMove = 50;
        r.wheelV = 10;
        break;
      case 2:
        r.kind = AssignmentKind::MultiInput;
        r.multiMode = static_cast<MultiMode>(1 + i % 8);
        for (std::size_t k = 0; k < 4; ++k) r.keys[k] = {static_cast<KeyCode>(0x30 + k), 0, 0, 0};
        r.switchDelay = 200;
        break;
      default:
        break;
    }
    r.Derive();
  }
  EngineContext context;
  std::array<int32_t, kVirtualButtonCount> values{};
  for (auto _ : state) {
    ++context.tick;
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      // Presses of varying length and level across the slot.
      const int32_t raw = ((context.tick + i) / (5 + i % 7)) % 2 ? 300 + 7 * i : 0;
      values[static_cast<std::size_t>(i)] =
          EffectiveValue(slot[static_cast<std::size_t>(i)], raw, context);
    }
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      ButtonAssignment& r = slot[static_cast<std::size_t>(i)];
      if (r.IsAssigned()) Process(r, values[static_cast<std::size_t>(i)], context);
    }
  }
  for (ButtonAssignment& r : slot) ForceRelease(r, context);
  benchmark::DoNotOptimize(out.calls);
  RegisterOutputMethod(0, nullptr);
}
BENCHMARK(BM_EngineCycle);

}  // namespace
}  // namespace brevanto

BENCHMARK_MAIN();
