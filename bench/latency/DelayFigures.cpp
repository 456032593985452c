#include "DelayFigures.h"

#include <algorithm>

namespace brevanto::bench {
namespace {

int64_t NearestRank(const std::vector<int64_t>& sorted, int percent) {
  // ceil(percent / 100 x n), counted from 1.
  const std::size_t rank = (sorted.size() * static_cast<std::size_t>(percent) + 99) / 100;
  return sorted[std::max<std::size_t>(rank, 1) - 1];
}

}  // namespace

DelayFigures Summarize(std::vector<int64_t> samples) {
  DelayFigures figures;
  if (samples.empty()) return figures;
  std::sort(samples.begin(), samples.end());
  figures.count = samples.size();
  figures.min = samples.front();
  figures.p50 = NearestRank(samples, 50);
  figures.p99 = NearestRank(samples, 99);
  figures.max = samples.back();
  return figures;
}

int64_t NextTickAfter(int64_t t, int64_t phase, int64_t period) {
  int64_t offset = (t - phase) % period;
  if (offset < 0) offset += period;
  return t - offset + period;
}

}  // namespace brevanto::bench
