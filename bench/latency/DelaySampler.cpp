#include "DelaySampler.h"

#include <ctime>
#include <random>

#include "DelayFigures.h"
#include "KeyReceiver.h"
#include "TickSchedule.h"

namespace brevanto::bench {
namespace {

constexpr int64_t kKeyTimeoutNs = 2000000000;
constexpr int64_t kSettleNs = 50000000;
constexpr int kScheduleCheckEvery = 50;

void SleepNs(int64_t ns) {
  const timespec t{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
  ::clock_nanosleep(CLOCK_MONOTONIC, 0, &t, nullptr);
}

}  // namespace

DelaySampler::DelaySampler(KeyReceiver& receiver, unsigned keycode, CoreWaits& waits,
                           TickSchedule* schedule, int64_t period)
    : receiver_(receiver), keycode_(keycode), waits_(waits), schedule_(schedule), period_(period) {}

bool DelaySampler::Run(int count, const SetKey& set, Samples& presses, Samples& releases,
                       int& lost) {
  std::mt19937_64 random(std::random_device{}());
  // A uniform pause puts the change at a uniform place within the period.
  std::uniform_int_distribution<int64_t> pause(0, period_ - 1);
  for (int i = 0; i < count; ++i) {
    // The grid moves only when processing restarts; a look now and then
    // notices that.
    if (schedule_ && i % kScheduleCheckEvery == 0 && !schedule_->Refresh()) return false;
    SleepNs(pause(random));
    if (!Time(set, true, presses)) {
      // The key may still come: start afresh from a released key.
      ++lost;
      set(false);
      SleepNs(kSettleNs);
      receiver_.Drain();
      continue;
    }
    SleepNs(pause(random));
    if (!Time(set, false, releases)) {
      ++lost;
      receiver_.Drain();
    }
  }
  return true;
}

bool DelaySampler::Time(const SetKey& set, bool down, Samples& samples) {
  const CoreWaits::Reading before = waits_.Read();
  const int64_t t0 = MonotonicNs();
  set(down);
  const std::optional<int64_t> t1 = receiver_.WaitKey(down, keycode_, kKeyTimeoutNs);
  if (!t1) return false;
  const CoreWaits::Reading after = waits_.Read();
  CoreWaits::Reading waited{};
  for (std::size_t i = 0; i < waited.size(); ++i) waited[i] = after[i] - before[i];
  samples.whole.push_back(*t1 - t0);
  samples.waits.push_back(waited);
  if (schedule_) {
    const int64_t tick = NextTickAfter(t0, schedule_->PhaseNs(), schedule_->PeriodNs());
    samples.beyond.push_back(*t1 - tick);
  }
  return true;
}

}  // namespace brevanto::bench
