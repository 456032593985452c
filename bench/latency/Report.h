#pragma once

#include "DelaySampler.h"

namespace brevanto::bench {

// Prints the figures of a run: min, p50, p99 and max of the whole delay and
// of the delay beyond the tick wait, and where the slowest samples lost
// their time.
void PrintRun(const Samples& presses, const Samples& releases);

}  // namespace brevanto::bench
