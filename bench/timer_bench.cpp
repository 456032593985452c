#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "core/processing/TimeBase.h"
#include "platform/linux/timer/TimerFdThread.h"

namespace brevanto {
namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double fraction) {
  if (values.empty()) return 0.0;
  std::sort(values.begin(), values.end());
  const auto index = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
  return values[index];
}

// How evenly the processing thread is woken at the fastest speed: for every
// pair of consecutive wake-ups, the deviation of their distance from the
// period, and the periods that passed without a wake-up.
void BM_TimerJitter(benchmark::State& state) {
  const int turboMode = static_cast<int>(state.range(0));
  const auto duration = std::chrono::seconds(state.range(1));
  const int periodMs = TimerPeriodMs(turboMode);
  const double periodUs = periodMs * 1000.0;

  std::vector<double> deviations;
  double missed = 0;
  double ticks = 0;
  for (auto _ : state) {
    std::vector<Clock::time_point> wakeUps;
    wakeUps.reserve(static_cast<std::size_t>(duration / std::chrono::milliseconds(periodMs)) * 2 +
                    16);
    TimerFdThread thread;
    thread.Start(periodMs, [&] {
      if (wakeUps.size() < wakeUps.capacity()) wakeUps.push_back(Clock::now());
    });
    std::this_thread::sleep_for(duration);
    thread.RequestStop();
    while (!thread.WaitStopped(std::chrono::seconds(1))) {
    }

    for (std::size_t i = 1; i < wakeUps.size(); ++i) {
      const double intervalUs =
          std::chrono::duration<double, std::micro>(wakeUps[i] - wakeUps[i - 1]).count();
      deviations.push_back(std::abs(intervalUs - periodUs));
      missed += std::max(0.0, std::round(intervalUs / periodUs) - 1.0);
    }
    ticks += static_cast<double>(wakeUps.size());
  }

  state.counters["period_ms"] = periodMs;
  state.counters["ticks"] = ticks;
  state.counters["missed_ticks"] = missed;
  state.counters["p50_dev_us"] = Percentile(deviations, 0.50);
  state.counters["p99_dev_us"] = Percentile(deviations, 0.99);
  state.counters["max_dev_us"] =
      deviations.empty() ? 0.0 : *std::max_element(deviations.begin(), deviations.end());
}

// TurboMode 4 (1 ms) for 10 s.
BENCHMARK(BM_TimerJitter)->Args({4, 10})->Iterations(1)->UseRealTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace brevanto

BENCHMARK_MAIN();
