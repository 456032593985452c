// The whole processing cycle of one timer tick: reading every slot's device
// through the state conversion, the alias table, the pressed flags, switching,
// the analog passes and the button engine. It runs every 1 to 16 ms and must
// not touch the heap, so every allocation is counted.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

#include "core/engine/ButtonEngine.h"
#include "core/engine/OutputSelection.h"
#include "core/processing/InjectedInput.h"
#include "core/processing/ProcessingCycle.h"
#include "core/processing/ProcessingTimer.h"
#include "core/processing/ProfileSource.h"
#include "core/processing/ReplayScript.h"
#include "core/processing/TargetWindow.h"
#include "core/profile/ConfigFile.h"
#include "core/settings/GlobalSettings.h"
#include "platform/fake/CountingEvent.h"
#include "platform/fake/FakeWindowTracker.h"
#include "platform/fake/FixedProfileSource.h"
#include "platform/fake/ManualTimerThread.h"
#include "platform/fake/ScriptedDeviceSource.h"
#include "platform/fake/ScriptedInputDevices.h"
#include "core/ports/AbstractEvent.h"
#include "core/ports/MessageSink.h"

namespace {

std::atomic<long> g_allocations{0};

void* Allocate(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace brevanto {
namespace {

class DroppingSink final : public MessageSink {
 public:
  bool Post(uint32_t, intptr_t, intptr_t) override { return true; }
};

enum class Load { HeldKeys, StickMouse };

// Every plain button, the sticks deflected up-right, the further axes at
// full travel and every hat pointing up, on each of slots joysticks.
std::string HeldScript(int slots) {
  std::string script;
  for (int slot = 1; slot <= slots; ++slot) {
    const std::string prefix = "1 " + std::to_string(slot) + " ";
    for (int b = 1; b <= kPlainButtonCount; ++b)
      script += prefix + "b" + std::to_string(b) + " 1\n";
    for (const char* axis : {"x", "rz", "z", "rx", "ry", "s0", "s1"}) {
      script += prefix + axis + " 700\n";
    }
    script += prefix + "y -700\n";
    for (int hat = 1; hat <= 4; ++hat) script += prefix + "pov" + std::to_string(hat) + " 0\n";
  }
  return script + "end 1\n";
}

void Assign(ConfigFile& profile, Load load) {
  profile.NumberOfButtons = kPlainButtonCount;
  for (int slot = 0; slot < profile.NumberOfJoysticks(); ++slot) {
    ProfileJoystick& joystick = *profile.Joystick(slot);
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      ButtonAssignment& record = joystick.Button(i);
      if (load == Load::StickMouse && i < 12) {
        record.kind = AssignmentKind::Mouse;
        record.HMove = i % 2 ? 50 : -50;
        record.accelerationFactor = 2.5f;
      } else {
        record.kind = AssignmentKind::Keys;
        record.keys[0] = {static_cast<KeyCode>(0xA0 + i % 4), static_cast<KeyCode>(0x41 + i % 26),
                          0, 0};
      }
      record.Derive();
    }
  }
}

void BM_Cycle(benchmark::State& state) {
  const int slots = static_cast<int>(state.range(0));
  const auto load = static_cast<Load>(state.range(1));

  GlobalSettings settings;
  ConfigFile profile;
  profile.SetNumberOfJoysticks(slots);
  Assign(profile, load);
  FixedProfileSource profiles(profile);
  ScriptedDeviceSource source(*ParseReplayScript(HeldScript(slots)).script);
  source.AdvanceTo(1);
  ScriptedInputDevices devices(
      source, DeviceDefaults{settings.AnalogDeadZone, settings.DefaultAxisMapping});
  FakeWindowTracker desktop;
  desktop.AddWindow(1, "Game", "/usr/bin/game");
  desktop.SetForeground(1);
  TargetWindow target(desktop);
  InjectedInput injected;
  DroppingSink sink;
  CountingEvent out;
  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, &out);

  ProcessingCycle cycle(settings, profiles, devices, target, injected, sink);
  cycle.ResetSlotContainers(profile);
  ManualTimerThread thread;
  ProcessingTimer timer(thread, cycle);
  timer.TimerInit(settings.TurboMode);
  // The presses go out in the first cycles; what is measured is the steady
  // hold of every button.
  for (int i = 0; i < 4; ++i) thread.Fire();

  const long allocationsBefore = g_allocations.load();
  for (auto _ : state) thread.Fire();
  const long allocations = g_allocations.load() - allocationsBefore;

  state.counters["allocs_per_cycle"] =
      static_cast<double>(allocations) / static_cast<double>(state.iterations());
  state.counters["output_calls"] = static_cast<double>(out.calls);
  timer.TimerTerminate();
  // Key counts are process-wide: the next run starts with nothing held.
  for (int slot = 0; slot < slots; ++slot) {
    for (ButtonAssignment& record : profile.Joystick(slot)->Buttons()) {
      ForceRelease(record, cycle.Engine());
    }
  }
  for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
}

BENCHMARK(BM_Cycle)
    ->ArgNames({"slots", "load"})
    ->Args({4, static_cast<int>(Load::HeldKeys)})
    ->Args({50, static_cast<int>(Load::HeldKeys)})
    ->Args({4, static_cast<int>(Load::StickMouse)})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brevanto

BENCHMARK_MAIN();
