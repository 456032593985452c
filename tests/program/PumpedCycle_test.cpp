#include "app/program/PumpedCycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/processing/InputDevices.h"
#include "core/processing/TimeBase.h"
#include "core/settings/GlobalSettings.h"

namespace brevanto {
namespace {

class Devices final : public InputDevices {
 public:
  int DeviceCount() const override { return count; }
  int SlotDevice(int) const override { return -1; }
  int Read(int, const ReadOptions&, DeviceInput&, bool&) override { return -1; }
  bool DeviceChangePending() const override { return pending; }
  void DetectJoysticks(bool) override { pending = false; }

  int count = 0;
  bool pending = false;
};

class Cycle final : public TickHandler {
 public:
  void OnEveryTick(int32_t) override {}
  void OnLockedTick(int32_t) override { ++cycles; }
  int cycles = 0;
};

// Runs the ticks 1..ticks; before each, at(tick) may change the devices.
// Returns the ticks on which SDL was pumped.
template <typename At>
std::vector<int32_t> PumpTicks(int turbo, bool announced, int32_t ticks, At at) {
  Devices devices;
  Cycle cycle;
  GlobalSettings settings;
  settings.TurboMode = turbo;
  std::vector<int32_t> pumped;
  int32_t now = 0;
  PumpedCycle pumpedCycle(
      cycle, [&] { pumped.push_back(now); }, devices, settings);
  pumpedCycle.SetArrivalsAnnounced(announced);
  for (now = 1; now <= ticks; ++now) {
    at(now, devices);
    pumpedCycle.OnLockedTick(now);
    // Detection runs in the cycle when a change is pending.
    devices.pending = false;
  }
  EXPECT_EQ(cycle.cycles, ticks);
  return pumped;
}

int32_t Cycles(int32_t ms, int turbo) {
  return CyclesFromMilliseconds(ms, turbo);
}

// The longest wait between two pumps (and from `from` to the first) within
// [from, to].
int32_t LongestGap(const std::vector<int32_t>& pumped, int32_t from, int32_t to) {
  int32_t last = from;
  int32_t longest = 0;
  for (int32_t t : pumped) {
    if (t < from || t > to) continue;
    longest = std::max(longest, t - last);
    last = t;
  }
  return std::max(longest, to - last);
}

TEST(PumpedCycle, IdleWithWatchedFoldersAsksSdlOnlyForAWhileAfterAChange) {
  for (int turbo : {0, 4}) {
    SCOPED_TRACE(turbo);
    const int32_t settle = Cycles(PumpedCycle::kSettleMs, turbo);
    const int32_t idle = Cycles(PumpedCycle::kIdlePumpMs, turbo);
    const int32_t change = 3 * settle;
    const std::vector<int32_t> pumped =
        PumpTicks(turbo, true, 5 * settle, [&](int32_t tick, Devices& devices) {
          if (tick == change) devices.pending = true;
        });
    // The start and the change are each followed by pumps at most a quarter
    // of a second apart, and the change is looked at on its own tick.
    EXPECT_LE(LongestGap(pumped, 1, settle), idle);
    EXPECT_TRUE(std::find(pumped.begin(), pumped.end(), change) != pumped.end());
    EXPECT_LE(LongestGap(pumped, change, change + settle - 1), idle);
    // Between them, and after the second, nothing.
    for (int32_t t : pumped) {
      EXPECT_TRUE(t <= settle || (t >= change && t <= change + settle)) << t;
    }
  }
}

TEST(PumpedCycle, PumpsEveryTickWithAControllerAndEveryQuarterSecondWithoutAWatch) {
  for (int turbo : {0, 4}) {
    SCOPED_TRACE(turbo);
    const int32_t ticks = 4 * Cycles(PumpedCycle::kSettleMs, turbo);
    const int32_t idle = Cycles(PumpedCycle::kIdlePumpMs, turbo);

    const std::vector<int32_t> unwatched = PumpTicks(turbo, false, ticks, [](int32_t, Devices&) {});
    EXPECT_LE(LongestGap(unwatched, 1, ticks), idle);
    EXPECT_LE(static_cast<int32_t>(unwatched.size()), ticks / idle + 1);

    const std::vector<int32_t> attached =
        PumpTicks(turbo, true, ticks, [](int32_t, Devices& devices) { devices.count = 1; });
    EXPECT_EQ(static_cast<int32_t>(attached.size()), ticks);
  }
}

}  // namespace
}  // namespace brevanto
