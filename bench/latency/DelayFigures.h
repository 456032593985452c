#pragma once

#include <cstdint>
#include <vector>

namespace brevanto::bench {

// The distribution of one kind of delay over a run, in nanoseconds.
struct DelayFigures {
  std::size_t count = 0;
  int64_t min = 0;
  int64_t p50 = 0;
  int64_t p99 = 0;
  int64_t max = 0;
};

// Nearest-rank percentiles: p99 is a delay that 99 % of the samples did not
// exceed, and always one of the samples. All zero for no samples.
DelayFigures Summarize(std::vector<int64_t> samples);

// The first due time of the grid phase + k x period that is later than t.
// The phase may be any point of the grid.
int64_t NextTickAfter(int64_t t, int64_t phase, int64_t period);

}  // namespace brevanto::bench
