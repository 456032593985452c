#include "core/engine/ButtonEngine.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "support/EngineFixture.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using testing::EngineFixture;
using testing::kA;
using testing::kB;
using testing::kC;
using testing::kD;
using testing::kShift;
using testing::Segment;
using Events = std::vector<std::string>;

// Timelines at 16 ms a cycle (turbo 0) unless a case says otherwise.
struct ProcessCase {
  const char* name;
  std::function<void(ButtonAssignment&)> setup;
  std::vector<Segment> input;
  Events expected;
  int turboMode = 0;
};

void PrintTo(const ProcessCase& c, std::ostream* os) {
  *os << c.name;
}

std::vector<Segment> Repeat(std::vector<Segment> pattern, int times,
                            std::vector<Segment> tail = {}) {
  std::vector<Segment> out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), pattern.begin(), pattern.end());
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

std::function<void(ButtonAssignment&)> KeysSetup(std::initializer_list<KeyCode> codes,
                                                 float repeatRate = 0, int repeatDelay = 0,
                                                 int toggle = 0) {
  std::vector<KeyCode> list(codes);
  return [=](ButtonAssignment& r) {
    r.kind = AssignmentKind::Keys;
    std::copy(list.begin(), list.end(), r.keys[0].begin());
    r.repeatRate = repeatRate;
    r.repeatDelay = repeatDelay;
    r.toggle = toggle;
    r.Derive();
  };
}

// A MultiInput record with inputs given in order and any further settings.
std::function<void(ButtonAssignment&)> Multi(MultiMode mode,
                                             std::vector<std::vector<KeyCode>> inputs,
                                             std::function<void(ButtonAssignment&)> tweak = {}) {
  return [=](ButtonAssignment& r) {
    r.kind = AssignmentKind::MultiInput;
    r.multiMode = mode;
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      std::copy(inputs[i].begin(), inputs[i].end(), r.keys[i].begin());
    }
    if (tweak) tweak(r);
    r.Derive();
  };
}

class ProcessTimeline : public EngineFixture, public ::testing::WithParamInterface<ProcessCase> {};

TEST_P(ProcessTimeline, SendsTheExpectedKeysCycleByCycle) {
  const ProcessCase& c = GetParam();
  context_.turboMode = c.turboMode;
  c.setup(Button());
  EXPECT_EQ(Run(kButton, c.input), c.expected);
  // Every timeline ends released and quiet: nothing may stay down.
  ExpectNothingHeld();
}

const ProcessCase kKeysCases[] = {
    {"KeysGoDownInOrderAndUpInReverse",
     KeysSetup({kShift, kA}),
     {{1000, 3}, {0, 2}},
     {"1:A0+", "1:41+", "4:41-", "4:A0-"}},
    {"AnyPositiveValueIsPressedAndNegativeReleased",
     KeysSetup({kA}),
     {{1, 2}, {-5, 2}},
     {"1:41+", "3:41-"}},
    {"ToggleKeepsTheKeysDownUntilTheNextPress",
     KeysSetup({kA}, 0, 0, 1),
     {{1000, 2}, {0, 3}, {1000, 2}, {0, 2}},
     {"1:41+", "6:41-"}},
    // Half period 500 / 16 / 10 = 3.125 cycles; the first one, from -1, lasts 2.
    {"RepeatRate10",
     KeysSetup({kA}, 10),
     {{1000, 12}, {0, 2}},
     {"1:41+", "3:41-", "6:41+", "9:41-", "12:41+", "13:41-"}},
    // 62.5 cycles (992 ms) a half period, the first 61.
    {"RepeatRateMinus2",
     KeysSetup({kA}, -2),
     {{1000, 125}, {0, 2}},
     {"1:41+", "62:41-", "124:41+", "126:41-"}},
    // Down through 500 ms (31 cycles hold 496 ms), then the repeat begins.
    {"RepeatDelay500",
     KeysSetup({kA}, 10, 500),
     {{1000, 42}, {0, 2}},
     {"1:41+", "33:41-", "35:41+", "38:41-", "41:41+", "43:41-"}},
    // Turbo shift 1 doubles the cycles: 6.25 a half period.
    {"RepeatRate10AtTurbo1",
     KeysSetup({kA}, 10),
     {{1000, 13}, {0, 2}},
     {"1:41+", "6:41-", "12:41+", "14:41-"},
     1},
    // Rates a damaged profile can hold: no period flips every cycle, an
    // endless one never releases while held.
    {"RepeatRateNotANumber",
     KeysSetup({kA}, std::numeric_limits<float>::quiet_NaN()),
     {{1000, 3}, {0, 2}},
     {"1:41+", "2:41-", "3:41+", "4:41-"}},
    {"RepeatRateInfinite",
     KeysSetup({kA}, std::numeric_limits<float>::infinity()),
     {{1000, 3}, {0, 2}},
     {"1:41+", "2:41-", "3:41+", "4:41-"}},
    {"RepeatRateMinusInfinite",
     KeysSetup({kA}, -std::numeric_limits<float>::infinity()),
     {{1000, 300}, {0, 2}},
     {"1:41+", "301:41-"}},
    {"MouseRepeatClicks",
     [](ButtonAssignment& r) {
       r.kind = AssignmentKind::Mouse;
       r.clickLeft = 1;
       r.repeatRate = 10;
     },
     {{1000, 7}, {0, 2}},
     {"1:buttons 1 0 1 0 0 0 0", "3:buttons 0 1 1 0 0 0 0", "6:buttons 1 0 1 0 0 0 0",
      "8:buttons 0 1 1 0 0 0 0"}},
};

INSTANTIATE_TEST_SUITE_P(KeysAndRepeat, ProcessTimeline, ::testing::ValuesIn(kKeysCases),
                         [](const auto& info) { return std::string(info.param.name); });

const auto kMinimumHold20 = [](ButtonAssignment& r) { r.minimumHoldDuration = 20; };

const ProcessCase kMultiCases[] = {
    {"MultiSwitch3CyclesThroughItsInputs",
     Multi(MultiMode::MultiSwitch3, {{kA}, {kB}, {kC}}),
     Repeat({{1000, 2}, {0, 5}}, 4),
     {"1:41+", "3:41-", "8:42+", "10:42-", "15:43+", "17:43-", "22:41+", "24:41-"}},
    {"MultiSwitch4WrapsAfterTheFourth",
     Multi(MultiMode::MultiSwitch4, {{kA}, {kB}, {kC}, {kD}}),
     Repeat({{1000, 1}, {0, 1}}, 5),
     {"1:41+", "2:41-", "3:42+", "4:42-", "5:43+", "6:43-", "7:44+", "8:44-", "9:41+", "10:41-"}},
    // A pause of 1600 ms after input 2 is longer than the 1000 ms reset.
    {"MultiSwitch3CounterResetAfterAPause",
     Multi(MultiMode::MultiSwitch3, {{kA}, {kB}, {kC}},
           [](ButtonAssignment& r) { r.counterResetDuration = 1000; }),
     {{1000, 2}, {0, 5}, {1000, 2}, {0, 100}, {1000, 2}, {0, 1}},
     {"1:41+", "3:41-", "8:42+", "10:42-", "110:41+", "112:41-"}},
    {"MultiSwitch2RepeatsWithTheNextInput",
     Multi(MultiMode::MultiSwitch2, {{kA}, {kB}}, [](ButtonAssignment& r) { r.repeatRate = 10; }),
     {{1000, 7}, {0, 2}},
     {"1:41+", "3:41-", "6:42+", "8:42-"}},

    // DelayedSwitch 500 ms: input 1 on a short release, 2 when held, 3 after.
    {"DelayedSwitchShortTapGivesInput1OnRelease",
     Multi(MultiMode::DelayedSwitch, {{kA}, {kShift, kB}, {kShift, kC}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     {{1000, 12}, {0, 4}},
     {"13:41+", "15:41-"}},
    {"DelayedSwitchLongHoldGivesInput2ThenInput3",
     Multi(MultiMode::DelayedSwitch, {{kA}, {kShift, kB}, {kShift, kC}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     {{1000, 44}, {0, 4}},
     {"33:A0+", "33:42+", "45:42-", "45:43+", "47:43-", "47:A0-"}},
    // The next press lets go of input 1 still in its 100 ms hold.
    {"DelayedSwitchPressDuringTheHoldOfInput1",
     Multi(MultiMode::DelayedSwitch, {{kA}, {kB}, {kC}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 100;
           }),
     {{1000, 2}, {0, 2}, {1000, 2}, {0, 10}},
     {"3:41+", "5:41-", "7:41+", "14:41-"}},
    // Without a delay every press is long; pressed again while input 3 is in
    // its 100 ms hold, the whole of input 3 goes up before input 2 goes down,
    // Shift too, which stayed down from input 2.
    {"DelayedSwitchWithoutDelayPressedDuringTheHoldOfInput3",
     Multi(MultiMode::DelayedSwitch, {{kA}, {kShift, kB}, {kShift, kC}},
           [](ButtonAssignment& r) {
             r.switchDelay = 0;
             r.minimumHoldDuration = 100;
           }),
     {{1000, 1}, {0, 2}, {1000, 1}, {0, 10}},
     {"1:A0+", "1:42+", "2:42-", "2:43+", "4:43-", "4:A0-", "4:A0+", "4:42+", "5:42-", "5:43+",
      "12:43-", "12:A0-"}},

    // AnalogSwitch 50 % / 90 %: Shift is in inputs 1 and 2 and stays down.
    {"AnalogSwitchFollowsTheLevel",
     Multi(MultiMode::AnalogSwitch, {{kShift, kA}, {kShift, kB}, {kC}},
           [](ButtonAssignment& r) {
             r.analogThreshold1 = 50;
             r.analogThreshold2 = 90;
           }),
     {{400, 2}, {700, 2}, {950, 1}, {400, 1}, {0, 1}},
     {"1:A0+", "1:41+", "3:41-", "3:42+", "5:42-", "5:A0-", "5:43+", "6:43-", "6:A0+", "6:41+",
      "7:41-", "7:A0-"}},

    {"AnalogSwitchWithThresholdsBeyondAnyValue",
     Multi(MultiMode::AnalogSwitch, {{kA}, {kB}, {kC}},
           [](ButtonAssignment& r) {
             r.analogThreshold1 = INT32_MAX;
             r.analogThreshold2 = INT32_MIN;
           }),
     {{1000, 2}, {0, 1}},
     {"1:41+", "3:41-"}},

    {"ReleaseSwitchGivesInput2WhileHeldAndInput1After",
     Multi(MultiMode::ReleaseSwitch, {{kA}, {kB}}, kMinimumHold20),
     {{1000, 3}, {0, 3}},
     {"1:42+", "4:42-", "4:41+", "6:41-"}},
    {"ReleaseSwitchPressedAgainDuringTheHoldOfInput1",
     Multi(MultiMode::ReleaseSwitch, {{kA}, {kB}}, kMinimumHold20),
     {{1000, 1}, {0, 1}, {1000, 1}, {0, 3}},
     {"1:42+", "2:42-", "2:41+", "3:41-", "3:42+", "4:42-", "4:41+", "6:41-"}},

    {"ReleaseSwitchWithANegativeHoldPressedAgainAtOnce",
     Multi(MultiMode::ReleaseSwitch, {{kA}, {kB}},
           [](ButtonAssignment& r) { r.minimumHoldDuration = -30; }),
     {{1000, 1}, {0, 1}, {1000, 1}, {0, 3}},
     {"1:42+", "2:42-", "2:41+", "3:41-", "3:42+", "4:42-", "4:41+", "5:41-"}},

    // RepeatSwitch 500 ms: the input is chosen when the tap window closes.
    {"RepeatSwitchOneTap",
     Multi(MultiMode::RepeatSwitch, {{kA}, {kB}, {kC}, {kD}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     {{1000, 2}, {0, 40}},
     {"33:41+", "35:41-"}},
    {"RepeatSwitchTwoTaps300msApart",
     Multi(MultiMode::RepeatSwitch, {{kA}, {kB}, {kC}, {kD}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     {{1000, 2}, {0, 17}, {1000, 2}, {0, 40}},
     {"52:42+", "54:42-"}},
    {"RepeatSwitchFourTaps",
     Multi(MultiMode::RepeatSwitch, {{kA}, {kB}, {kC}, {kD}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     Repeat({{1000, 1}, {0, 1}}, 4, {{0, 40}}),
     {"39:44+", "41:44-"}},
    {"RepeatSwitchFifthTapStartsOver",
     Multi(MultiMode::RepeatSwitch, {{kA}, {kB}, {kC}, {kD}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     Repeat({{1000, 1}, {0, 1}}, 5, {{0, 40}}),
     {"41:41+", "43:41-"}},
    {"RepeatSwitchTapHeldPastTheWindow",
     Multi(MultiMode::RepeatSwitch, {{kA}, {kB}, {kC}, {kD}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 20;
           }),
     {{1000, 40}, {0, 3}},
     {"33:41+", "41:41-"}},
    // Three taps give input 3, held 200 ms; a tap during that hold lets it go
    // at once and starts a new count.
    {"RepeatSwitchTapDuringTheHoldOfTheChosenInput",
     Multi(MultiMode::RepeatSwitch, {{kA}, {kB}, {kC}, {kD}},
           [](ButtonAssignment& r) {
             r.switchDelay = 500;
             r.minimumHoldDuration = 200;
           }),
     Repeat({{1000, 1}, {0, 1}}, 3, {{0, 33}, {1000, 1}, {0, 50}}),
     {"37:43+", "40:43-", "72:41+", "85:41-"}},

    // minimumHoldDuration 20 ms is one cycle: each input is held two.
    {"MultiSequenceRunsToItsEnd",
     Multi(MultiMode::MultiSequence, {{kA}, {kB}, {kC}, {kD}}, kMinimumHold20),
     {{1000, 1}, {0, 10}},
     {"1:41+", "3:41-", "3:42+", "5:42-", "5:43+", "7:43-", "7:44+", "9:44-"}},
    // A key listed twice in an input has one holder: the step to an input
    // that shares it keeps it down, the next step lets it go for good.
    {"MultiSequenceWithAKeyListedTwice",
     Multi(MultiMode::MultiSequence, {{kA, kA}, {kA, kB}}, kMinimumHold20),
     {{1000, 1}, {0, 10}},
     {"1:41+", "3:42+", "5:42-", "5:41-"}},
    // A negative hold (hand-edited) is no hold: the sequence still runs on.
    {"MultiSequenceWithANegativeHold",
     Multi(MultiMode::MultiSequence, {{kA}, {kB}},
           [](ButtonAssignment& r) { r.minimumHoldDuration = -30; }),
     {{1000, 1}, {0, 10}},
     {"1:41+", "2:41-", "2:42+", "3:42-"}},
    {"MultiSequenceRestartsOnAPress",
     Multi(MultiMode::MultiSequence, {{kA}, {kB}, {kC}, {kD}}, kMinimumHold20),
     {{1000, 1}, {0, 2}, {1000, 1}, {0, 10}},
     {"1:41+", "3:41-", "3:42+", "4:42-", "4:41+", "6:41-", "6:42+", "8:42-", "8:43+", "10:43-",
      "10:44+", "12:44-"}},
};

INSTANTIATE_TEST_SUITE_P(MultiInput, ProcessTimeline, ::testing::ValuesIn(kMultiCases),
                         [](const auto& info) { return std::string(info.param.name); });

using Engine = EngineFixture;

TEST_F(Engine, ProfileSwitchIsRequestedOnReleaseOrOnceTheHoldExceedsTheDelay) {
  struct Case {
    int switchDelay;
    std::vector<Segment> input;
    std::vector<int> requests;
  };
  // 2000 ms is exceeded at 126 cycles (2016 ms), in cycle 127 of the press.
  const Case cases[] = {
      {0, {{1000, 5}, {0, 3}}, {6}},
      {2000, {{1000, 128}, {0, 2}}, {127, 128}},
      {2000, {{1000, 126}, {0, 2}}, {}},
  };
  for (const Case& c : cases) {
    ButtonAssignment& r = Button();
    r.Clear();
    r.kind = AssignmentKind::ProfileSwitch;
    r.switchDelay = c.switchDelay;
    Run(kButton, c.input);
    EXPECT_EQ(switchRequests_, c.requests) << "switchDelay " << c.switchDelay;
  }
}

// A trigger that comes back to its sender, at once or through another
// button, would hold the sender and its keys pressed after the input is let
// go; it is ignored, the keys are not.
TEST_F(Engine, ATriggerThatComesBackToItsSenderIsIgnored) {
  const struct {
    const char* name;
    std::vector<std::pair<int, std::vector<KeyCode>>> records;
    Events expected;
  } cases[] = {
      {"itself", {{56, {kA, 0x800}}}, {"1:41+", "3:41-"}},
      {"through another", {{56, {kA, 0x801}}, {57, {kB, 0x800}}}, {"1:41+", "3:41-"}},
      // A chain that does not loop still runs: 56 presses 57 a cycle later.
      {"chain", {{56, {kA, 0x801}}, {57, {kB}}}, {"1:41+", "2:42+", "3:41-", "4:42-"}},
  };
  for (const auto& c : cases) {
    for (const auto& [button, codes] : c.records) {
      Button(button).kind = AssignmentKind::Keys;
      std::copy(codes.begin(), codes.end(), Button(button).keys[0].begin());
      Button(button).Derive();
    }
    EXPECT_EQ(Run(56, {{1000, 2}, {0, 4}}), c.expected) << c.name;
    for (const auto& [button, codes] : c.records) {
      ForceRelease(Button(button), context_);
      Button(button).Clear();
    }
    ExpectNothingHeld();
  }
}

TEST_F(Engine, ATriggeredButtonIsPressedByItsTriggerAndStaysReleasedAfterIt) {
  Keys({0x800}, 61);  // triggers plain button 1, record 56
  Keys({kA}, 56);
  Events events;
  const auto step = [&](int32_t trigger, int32_t own) {
    raw_[61] = trigger;
    raw_[56] = own;
    Cycle();
  };
  cycle_ = 0;
  step(1000, 0);  // the trigger acts on the target's next cycle
  step(1000, 0);
  step(0, 0);
  step(0, 0);
  EXPECT_EQ(Button(56).overrideCount, 0);
  step(0, 1000);  // its own input is ignored now
  EXPECT_EQ(events_, (Events{"2:41+", "4:41-"}));

  ForceRelease(Button(56), context_);
  EXPECT_EQ(Button(56).overrideCount, -1);
  step(0, 1000);
  EXPECT_EQ(events_.back(), "6:41+");
}

TEST_F(Engine, EffectiveValueAppliesTheOverride) {
  struct Case {
    int32_t overrideCount;
    int32_t raw;
    int32_t value;
  };
  const Case cases[] = {{-1, 300, 300}, {-1, 0, 0}, {0, 1000, 0}, {1, 0, 1000}, {3, 200, 1000}};
  for (const Case& c : cases) {
    ButtonAssignment& r = Keys({kA});
    r.overrideCount = c.overrideCount;
    EXPECT_EQ(EffectiveValue(r, c.raw, context_), c.value)
        << "override " << c.overrideCount << " raw " << c.raw;
  }
}

TEST_F(Engine, ChangeOfTargetWindowReleasesAToggledButton) {
  Keys({kA}).toggle = 1;
  Run(kButton, {{1000, 1}, {0, 2}});
  EXPECT_EQ(events_, Events{"1:41+"});
  context_.targetWindowChanged = true;
  Cycle();
  EXPECT_EQ(events_.back(), "4:41-");
  EXPECT_FALSE(Button().toggleState);
  Run(kButton, {{0, 2}, {1000, 1}, {0, 1}});
  EXPECT_EQ(events_, Events{"3:41+"}) << "the next press toggles it on again";
}

TEST_F(Engine, EndlessHoldTimesSaturate) {
  for (MultiMode mode : {MultiMode::MultiSequence, MultiMode::RepeatSwitch,
                         MultiMode::DelayedSwitch, MultiMode::ReleaseSwitch}) {
    ButtonAssignment& r = Button();
    r.Clear();
    Multi(mode, {{kA}, {kB}, {kC}, {kD}}, [](ButtonAssignment& b) {
      b.minimumHoldDuration = INT32_MAX;
      b.switchDelay = 0;
    })(r);
    Run(kButton, {{1000, 2}, {0, 3}});
    EXPECT_GT(r.stepTimer, 1000000) << static_cast<int>(mode);
    ForceRelease(r, context_);
    ExpectNothingHeld();
  }
}

TEST_F(Engine, ForceReleaseOfAHeldKeysRecordReleasesInReverseAndResets) {
  ButtonAssignment& r = Keys({kShift, kA});
  r.toggle = 1;
  Run(kButton, {{1000, 2}});
  r.overrideCount = 0;
  ForceRelease(r, context_);
  EXPECT_EQ(out_.Texts(), (Events{"key 41 1E 2", "key A0 2A 2"}));
  EXPECT_FALSE(r.keysHeld);
  EXPECT_FALSE(r.prevPressed);
  EXPECT_FALSE(r.toggleState);
  EXPECT_EQ(r.overrideCount, -1);
}

TEST_F(Engine, ForceReleaseSendsAnUndecidedDelayedSwitchAsItsShortInput) {
  Multi(MultiMode::DelayedSwitch, {{kA}, {kB}, {kC}},
        [](ButtonAssignment& r) { r.switchDelay = 500; })(Button());
  Run(kButton, {{1000, 3}});
  EXPECT_TRUE(events_.empty());
  ForceRelease(Button(), context_);
  EXPECT_EQ(out_.Texts(), (Events{"key 41 1E 0", "key 41 1E 2"}));
}

// Whatever a record is doing when it is force-released, nothing stays down
// and nothing more comes out afterwards.
TEST_F(Engine, ForceReleaseAtAnyMomentLeavesNothingHeld) {
  std::vector<std::pair<std::string, std::function<void(ButtonAssignment&)>>> records = {
      {"Keys", KeysSetup({kShift, kA})},
      {"KeysRepeat", KeysSetup({kShift, kA}, 10, 100)},
      {"Mouse",
       [](ButtonAssignment& r) {
         r.kind = AssignmentKind::Mouse;
         r.clickLeft = r.clickX2 = 1;
         r.HMove = 30;
       }},
  };
  for (int mode = 1; mode <= 8; ++mode) {
    records.emplace_back(
        "MultiInput" + std::to_string(mode),
        Multi(static_cast<MultiMode>(mode), {{kShift, kA}, {kShift, kB}, {kC, kShift}, {kD}},
              [](ButtonAssignment& r) {
                r.switchDelay = 100;
                r.minimumHoldDuration = 50;
                r.analogThreshold1 = 30;
                r.analogThreshold2 = 60;
                r.repeatRate = r.multiMode == MultiMode::MultiSwitch3 ? 20 : 0;
              }));
  }
  const std::vector<Segment> input = {{500, 3}, {0, 2}, {1000, 12}, {0, 1},
                                      {200, 1}, {0, 1}, {700, 9},   {0, 9}};
  int total = 0;
  for (const Segment& s : input) total += s.cycles;

  for (const auto& [name, setup] : records) {
    for (int stop = 1; stop <= total; ++stop) {
      ButtonAssignment& r = Button();
      r.Clear();
      setup(r);
      std::vector<Segment> prefix;
      int left = stop;
      for (const Segment& s : input) {
        if (left <= 0) break;
        prefix.push_back({s.value, std::min(left, s.cycles)});
        left -= s.cycles;
      }
      Events sent = Run(kButton, prefix);
      ForceRelease(r, context_);
      for (const OutputCall& call : out_.Calls()) sent.push_back(EventText(call));
      out_.Clear();
      const Events after = Run(kButton, {{0, 20}});
      SCOPED_TRACE(name + " stopped after cycle " + std::to_string(stop));
      ExpectNothingHeld();
      EXPECT_TRUE(after.empty()) << after.front();
      // Every key and button that went down came up.
      std::map<std::string, int> balance;
      for (const std::string& e : sent) {
        const std::string text = e.substr(e.find(':') + 1);
        if (text.size() == 3 && (text[2] == '+' || text[2] == '-')) {
          balance[text.substr(0, 2)] += text[2] == '+' ? 1 : -1;
        } else if (text.rfind("buttons", 0) == 0) {
          balance["buttons"] += text[8] == '1' ? 1 : -1;
        }
      }
      for (const auto& [key, count] : balance) EXPECT_EQ(count, 0) << key;
    }
  }
}

TEST_F(Engine, LaunchProgramStartsOnThePressEdgeOnly) {
  ButtonAssignment& r = Button();
  r.kind = AssignmentKind::LaunchProgram;
  r.targetName = "/usr/bin/editor";
  r.parameters = "\"my file.txt\"";
  r.startFrom = "/home/user";
  testing::LogCapture log;
  Run(kButton, {{1000, 200}, {0, 1}, {1000, 1}, {0, 1}});
  using Call = RecordingShell::Call;
  const Call launch{Call::Kind::Launch, "/usr/bin/editor", "\"my file.txt\"", "/home/user"};
  EXPECT_EQ(shell_.calls, (std::vector<Call>{launch, launch}));
  EXPECT_EQ(log.Count("Info   Launching program: /usr/bin/editor"), 2);

  // With toggle, only the presses that switch it on launch.
  shell_.calls.clear();
  r.toggle = 1;
  Run(kButton, Repeat({{1000, 2}, {0, 2}}, 3));
  EXPECT_EQ(shell_.calls.size(), 2u);
  EXPECT_TRUE(events_.empty());
}

TEST_F(Engine, PasteTextSetsTheClipboardAndTypesCtrlVInOneCycle) {
  struct Case {
    const char* pasteText;
    const char* clipboard;
    bool clipboardWorks;
  };
  const Case cases[] = {
      {"a\\nb", "a\r\nb", true},
      {"", "", true},
      {"kept", "kept", false},  // Ctrl+V pastes what was there before
  };
  for (const Case& c : cases) {
    ButtonAssignment& r = Button();
    r.Clear();
    r.kind = AssignmentKind::PasteText;
    r.pasteText = c.pasteText;
    clipboard_.Clear();
    clipboard_.SetSucceed(c.clipboardWorks);
    Run(kButton, {{1000, 5}, {0, 1}});
    EXPECT_EQ(clipboard_.Texts(), std::vector<std::string>{c.clipboard});
    EXPECT_EQ(events_, (Events{"1:11+", "1:56+", "1:56-", "1:11-"})) << c.pasteText;
    EXPECT_FALSE(r.keysHeld);
  }
}

TEST_F(Engine, PasteKeepsACtrlThatAnotherButtonHolds) {
  Keys({0x11}, 70);
  ButtonAssignment& paste = Button();
  paste.kind = AssignmentKind::PasteText;
  paste.pasteText = "x";
  raw_[70] = 1000;
  Cycle();
  Run(kButton, {{1000, 1}, {0, 1}});
  EXPECT_EQ(events_, (Events{"1:56+", "1:56-"}));
  EXPECT_EQ(KeyRefCount(0x11), 1);
  raw_[70] = 0;
  Cycle();
  EXPECT_EQ(events_.back(), "3:11-");
}

TEST_F(Engine, LaunchAndPasteWithoutTheirServicesAreLoggedAndGoOn) {
  testing::LogCapture log;
  context_.shell = nullptr;
  context_.clipboard = nullptr;
  ButtonAssignment& launch = Button(60);
  launch.kind = AssignmentKind::LaunchProgram;
  launch.targetName = "x";
  ButtonAssignment& paste = Button(61);
  paste.kind = AssignmentKind::PasteText;
  raw_[60] = raw_[61] = 1000;
  Cycle();
  EXPECT_EQ(events_, (Events{"1:11+", "1:56+", "1:56-", "1:11-"}));
  EXPECT_TRUE(log.Contains("no shell to launch with"));
  EXPECT_TRUE(log.Contains("no clipboard to paste through"));
}

TEST_F(Engine, DebugLinesNameTheButtonAndItsEdges) {
  testing::LogCapture log(/*debug=*/true);
  Multi(MultiMode::AnalogSwitch, {{kA}, {kB}, {kC}},
        [](ButtonAssignment& r) { r.analogThreshold1 = 50; })(Button());
  Run(kButton, {{300, 1}, {800, 1}, {0, 1}});
  for (const char* line : {
           "0#button[60]: just pressed event (300)",
           "0#button[60]: AnalogSwitch: input=[None->1]: justPressed=41,0,0",
           "0#button[60]: AnalogSwitch: input=[1->2]: release=41,0,0, press=42,0,0",
           "0#button[60]: just released event (0)",
           "0#button[60]: AnalogSwitch: input=[2->None]: justReleased=42,0,0",
       }) {
    EXPECT_TRUE(log.Contains(line)) << line;
  }
}

}  // namespace
}  // namespace brevanto
