#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "CoreWaits.h"

namespace brevanto::bench {

class KeyReceiver;
class TickSchedule;

// The delays of one kind of change (presses or releases) over a run.
struct Samples {
  std::vector<int64_t> whole;
  // The whole delay less the wait for the first tick due after the change;
  // empty when there are no ticks (the X server alone).
  std::vector<int64_t> beyond;
  // What each party waited for a core during each sample.
  std::vector<CoreWaits::Reading> waits;
};

// Changes a key source at random moments and times each change from just
// before it is made to the moment the receiver finds the key event readable.
class DelaySampler {
 public:
  using SetKey = std::function<void(bool down)>;

  // schedule may be null (no ticks to wait for); period is the span the
  // random pauses are drawn from.
  DelaySampler(KeyReceiver& receiver, unsigned keycode, CoreWaits& waits, TickSchedule* schedule,
               int64_t period);

  // count presses and releases, each after a random pause. Returns how many
  // changes brought no key event in time; false when the tick schedule
  // could not be read.
  bool Run(int count, const SetKey& set, Samples& presses, Samples& releases, int& lost);

 private:
  bool Time(const SetKey& set, bool down, Samples& samples);

  KeyReceiver& receiver_;
  unsigned keycode_;
  CoreWaits& waits_;
  TickSchedule* schedule_;
  int64_t period_;
};

}  // namespace brevanto::bench
