#include "Report.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>

#include "DelayFigures.h"

namespace brevanto::bench {
namespace {

constexpr const char* kPartyNames[CoreWaits::kPartyCount] = {"processing thread", "X server",
                                                             "receiver"};

void PrintRow(const char* what, const std::vector<int64_t>& samples) {
  if (samples.empty()) return;
  const DelayFigures f = Summarize(samples);
  std::printf("  %-40s %8.3f %8.3f %8.3f %8.3f\n", what, f.min / 1e6, f.p50 / 1e6, f.p99 / 1e6,
              f.max / 1e6);
}

// One party's waits for a core during each sample.
std::vector<int64_t> WaitsOf(const Samples& samples, int party) {
  std::vector<int64_t> waits;
  for (const CoreWaits::Reading& reading : samples.waits) {
    waits.push_back(reading[static_cast<std::size_t>(party)]);
  }
  return waits;
}

// Parties that cannot be read count 0 throughout and are left out.
bool Watched(const Samples& samples, int party) {
  const std::vector<int64_t> waits = WaitsOf(samples, party);
  return std::any_of(waits.begin(), waits.end(), [](int64_t w) { return w != 0; });
}

// The slowest 1 % (at least one) by this delay, with the mean waits of each
// party in them.
void PrintSlowest(const char* what, const std::vector<int64_t>& delays, const Samples& samples) {
  if (delays.empty()) return;
  std::vector<std::size_t> order(delays.size());
  std::iota(order.begin(), order.end(), 0);
  std::sort(order.begin(), order.end(),
            [&](std::size_t a, std::size_t b) { return delays[a] > delays[b]; });
  const std::size_t n = std::max<std::size_t>(1, delays.size() / 100);
  double delay = 0;
  double waits[CoreWaits::kPartyCount] = {};
  for (std::size_t k = 0; k < n; ++k) {
    delay += static_cast<double>(delays[order[k]]);
    for (int p = 0; p < CoreWaits::kPartyCount; ++p) {
      waits[p] += static_cast<double>(samples.waits[order[k]][static_cast<std::size_t>(p)]);
    }
  }
  std::printf("  slowest %zu by %s: mean %.3f ms; waited for a core:", n, what, delay / n / 1e6);
  for (int p = 0; p < CoreWaits::kPartyCount; ++p) {
    if (Watched(samples, p)) std::printf(" %s %.3f", kPartyNames[p], waits[p] / n / 1e6);
  }
  std::printf(" ms\n");
}

}  // namespace

void PrintRun(const Samples& presses, const Samples& releases) {
  std::printf("  %-40s %8s %8s %8s %8s\n", "delay (ms)", "min", "p50", "p99", "max");
  PrintRow("press, whole", presses.whole);
  PrintRow("press, beyond the tick wait", presses.beyond);
  PrintRow("release, whole", releases.whole);
  PrintRow("release, beyond the tick wait", releases.beyond);
  for (int party = 0; party < CoreWaits::kPartyCount; ++party) {
    if (!Watched(presses, party)) continue;
    const std::string what = std::string("press, ") + kPartyNames[party] + " waited for a core";
    PrintRow(what.c_str(), WaitsOf(presses, party));
  }
  const bool ticks = !presses.beyond.empty();
  const std::vector<int64_t>& press = ticks ? presses.beyond : presses.whole;
  PrintSlowest(ticks ? "press beyond the tick wait" : "press", press, presses);
}

}  // namespace brevanto::bench
