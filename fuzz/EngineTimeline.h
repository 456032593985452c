#pragma once

// Random records of one joystick slot driven by a random input timeline
// through the button engine, cycle by cycle as the processing cycle drives
// them. Two promises are checked: a force release at any cycle leaves nothing
// down, and once every input is let go and every timer has run out no key
// code has a holder and the output holds nothing down.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "StuckKeyCheck.h"
#include "core/engine/ButtonEngine.h"
#include "core/engine/EngineContext.h"
#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "core/processing/TimeBase.h"

namespace brevanto::fuzzing {

class EngineTimeline {
 public:
  EngineTimeline() : slot_(std::make_unique<std::array<ButtonAssignment, kVirtualButtonCount>>()) {
    for (int i = 0; i < kVirtualButtonCount; ++i) Record(i).Stamp(0, i);
  }

  // Empty when both promises hold, else what went wrong and at which cycle.
  std::string Run(const uint8_t* data, std::size_t size) {
    ByteReader in(data, size);
    RegisterOutputMethod(0, &out_);
    SelectOutputMethod(0);
    out_.Clear();
    held_.Reset();
    raw_.fill(0);
    used_.clear();
    // Trigger codes reach records that are not assigned too.
    for (ButtonAssignment& record : *slot_) record.ResetRuntimeState();

    context_ = EngineContext{};
    context_.turboMode = in.Below(5);
    // Somewhere in a long run, at times just before the counter wraps.
    context_.tick = static_cast<int32_t>(in.Word());
    SetRepeatSameKeyInSequence(in.Below(4) == 0);

    // Records on the first plain buttons (the targets of trigger codes) and
    // on a few others.
    const int count = 1 + in.Below(6);
    for (int n = 0; n < count; ++n) {
      const int button =
          in.Bool() ? kFirstPlainButton + in.Below(4) : in.Below(kVirtualButtonCount);
      if (std::find(used_.begin(), used_.end(), button) == used_.end()) used_.push_back(button);
    }
    for (int button : used_) RandomRecord(in, Record(button), 1);

    static constexpr std::array<int32_t, 8> kValues = {0, 1000, 1000, 1, 400, 960, 999, 1500};
    std::string problem;
    while (!in.Empty() && problem.empty()) {
      const uint8_t op = in.Byte();
      if (op < 16) {
        ForceReleaseAll();
        problem = Check("after a force release");
        continue;
      }
      if (op < 24) context_.targetWindowChanged = true;
      const int button = used_[static_cast<std::size_t>(in.Below(static_cast<int>(used_.size())))];
      raw_[static_cast<std::size_t>(button)] = in.Pick(kValues);
      const int cycles = 1 + in.Below(48);
      for (int c = 0; c < cycles; ++c) Cycle();
    }
    if (problem.empty()) {
      // Let go of everything and let every timer run out (the longest, a
      // tap window and its hold or a four-step sequence, within a second).
      // A change of target window then lets go of a toggle still latched. A
      // toggle let go may end in an input that triggers another record and
      // latches its toggle: without a loop of triggers, which is ignored,
      // one round per record ends every such chain.
      raw_.fill(0);
      const int32_t cycles = CyclesFromMilliseconds(1000, context_.turboMode) + 2;
      for (int32_t c = 0; c < cycles; ++c) Cycle();
      for (std::size_t round = 0; round <= used_.size(); ++round) {
        context_.targetWindowChanged = true;
        for (int32_t c = 0; c < cycles; ++c) Cycle();
      }
      problem = Check("after all inputs were released");
    }
    // Leaves the process-wide counts clean for the next input.
    ForceReleaseAll();
    if (problem.empty()) problem = Check("after the final force release");
    RegisterOutputMethod(0, nullptr);
    SetRepeatSameKeyInSequence(false);
    for (int button : used_) Record(button).Clear();
    return problem;
  }

 private:
  ButtonAssignment& Record(int i) { return (*slot_)[static_cast<std::size_t>(i)]; }

  void Cycle() {
    ++context_.tick;
    context_.profileSwitchRequest = nullptr;
    for (int button : used_) {
      values_[static_cast<std::size_t>(button)] =
          EffectiveValue(Record(button), raw_[static_cast<std::size_t>(button)], context_);
    }
    for (int button : used_) {
      if (Record(button).IsAssigned()) {
        Process(Record(button), values_[static_cast<std::size_t>(button)], context_);
      }
    }
    context_.targetWindowChanged = false;
    held_.Take(out_);
  }

  void ForceReleaseAll() {
    for (int button : used_) ForceRelease(Record(button), context_);
    held_.Take(out_);
  }

  std::string Check(const char* when) {
    const std::string problem = NothingHeld(held_);
    if (problem.empty()) return problem;
    return std::string(when) + " at tick " + std::to_string(context_.tick) + ": " + problem;
  }

  std::unique_ptr<std::array<ButtonAssignment, kVirtualButtonCount>> slot_;
  std::array<int32_t, kVirtualButtonCount> raw_{};
  std::array<int32_t, kVirtualButtonCount> values_{};
  std::vector<int> used_;
  RecordingEvent out_;
  HeldOutput held_;
  EngineContext context_;
};

}  // namespace brevanto::fuzzing
