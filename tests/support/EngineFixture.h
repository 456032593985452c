#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "core/engine/ButtonEngine.h"
#include "core/engine/KeyOutput.h"
#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "platform/fake/RecordingClipboard.h"
#include "platform/fake/RecordingEvent.h"
#include "platform/fake/RecordingShell.h"

namespace brevanto::testing {

inline constexpr KeyCode kA = 0x41;
inline constexpr KeyCode kB = 0x42;
inline constexpr KeyCode kC = 0x43;
inline constexpr KeyCode kD = 0x44;
inline constexpr KeyCode kShift = 0xA0;

// A stretch of cycles with one input value.
struct Segment {
  int32_t value;
  int cycles;
};

// One joystick slot run cycle by cycle the way the processing cycle runs it:
// every record's effective value first, then Process for the assigned ones,
// with the recording output, shell and clipboard.
class EngineFixture : public ::testing::Test {
 protected:
  static constexpr int kButton = 60;

  void SetUp() override {
    for (int i = 0; i < kVirtualButtonCount; ++i) slot_[Index(i)].Stamp(0, i);
    RegisterOutputMethod(0, &out_);
    SelectOutputMethod(0);
    // A program that has been running a while: no tick of the past is near 0.
    context_.tick = 100000;
    context_.shell = &shell_;
    context_.clipboard = &clipboard_;
  }

  void TearDown() override {
    for (ButtonAssignment& record : slot_) ForceRelease(record, context_);
    RegisterOutputMethod(0, nullptr);
    SetRepeatSameKeyInSequence(false);
    // The counts are process-wide and never reset: every test must leave
    // them balanced, and ForceRelease must be able to.
    ExpectNothingHeld();
  }

  static void ExpectNothingHeld() {
    for (KeyCode code = 0; code < kRefCountSize; ++code) {
      ASSERT_EQ(KeyRefCount(code), 0) << std::hex << "code 0x" << code << " still held";
    }
  }

  static std::size_t Index(int i) { return static_cast<std::size_t>(i); }
  ButtonAssignment& Button(int i = kButton) { return slot_[Index(i)]; }

  static void SetInput(ButtonAssignment& record, int input, std::initializer_list<KeyCode> codes) {
    KeyCodes& keys = record.keys[Index(input)];
    keys = {};
    std::copy(codes.begin(), codes.end(), keys.begin());
    record.Derive();
  }

  ButtonAssignment& Keys(std::initializer_list<KeyCode> codes, int i = kButton) {
    ButtonAssignment& record = Button(i);
    record.kind = AssignmentKind::Keys;
    SetInput(record, 0, codes);
    return record;
  }

  void Cycle() {
    ++context_.tick;
    ++cycle_;
    context_.profileSwitchRequest = nullptr;
    std::array<int32_t, kVirtualButtonCount> values{};
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      values[Index(i)] = EffectiveValue(slot_[Index(i)], raw_[Index(i)], context_);
    }
    for (int i = 0; i < kVirtualButtonCount; ++i) {
      if (slot_[Index(i)].IsAssigned()) Process(slot_[Index(i)], values[Index(i)], context_);
    }
    if (context_.profileSwitchRequest) switchRequests_.push_back(cycle_);
    context_.targetWindowChanged = false;
    for (const OutputCall& call : out_.Calls()) {
      events_.push_back(std::to_string(cycle_) + ":" + EventText(call));
    }
    out_.Clear();
  }

  // Feeds the button the segments, cycle by cycle; returns what was sent as
  // "cycle:event", cycles counted from 1 for this run.
  std::vector<std::string> Run(int button, const std::vector<Segment>& input) {
    cycle_ = 0;
    events_.clear();
    switchRequests_.clear();
    for (const Segment& segment : input) {
      for (int i = 0; i < segment.cycles; ++i) {
        raw_[Index(button)] = segment.value;
        Cycle();
      }
    }
    return events_;
  }

  // Keys as "41+" (down) and "41-" (up); other calls as RecordingEvent writes them.
  static std::string EventText(const OutputCall& call) {
    if (call.op != OutputCall::Op::Key) return call.Text();
    char text[8];
    std::snprintf(text, sizeof text, "%02X%c", static_cast<unsigned>(call.args[0]),
                  (call.args[2] & AbstractEvent::kKeyUp) ? '-' : '+');
    return text;
  }

  std::array<ButtonAssignment, kVirtualButtonCount> slot_;
  std::array<int32_t, kVirtualButtonCount> raw_{};
  RecordingEvent out_;
  RecordingShell shell_;
  RecordingClipboard clipboard_;
  EngineContext context_;
  int cycle_ = 0;
  std::vector<std::string> events_;
  std::vector<int> switchRequests_;  // cycles in which a profile switch was requested
};

}  // namespace brevanto::testing
