#include "core/engine/KeyOutput.h"

#include <gtest/gtest.h>

#include <array>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/engine/OutputSelection.h"
#include "core/input/VirtualButton.h"
#include "platform/fake/RecordingEvent.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using Texts = std::vector<std::string>;

// One joystick slot's 184 records with the recording output current.
class KeyOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int i = 0; i < kVirtualButtonCount; ++i) slot_[static_cast<std::size_t>(i)].Stamp(0, i);
    RegisterOutputMethod(0, &out_);
    SelectOutputMethod(0);
  }
  void TearDown() override {
    RegisterOutputMethod(0, nullptr);
    SetRepeatSameKeyInSequence(false);
    // The table is never reset, so every test must leave it balanced.
    for (KeyCode code = 0; code < kRefCountSize; ++code) {
      ASSERT_EQ(KeyRefCount(code), 0) << std::hex << "code 0x" << code;
    }
  }

  ButtonAssignment& Button(int index) { return slot_[static_cast<std::size_t>(index)]; }

  // Assigns input 1 of a record the way the profile reader does.
  ButtonAssignment& Assign(int index, std::initializer_list<KeyCode> codes) {
    ButtonAssignment& b = Button(index);
    b.kind = AssignmentKind::Keys;
    std::copy(codes.begin(), codes.end(), b.keys[0].begin());
    b.Derive();
    return b;
  }

  void Press(ButtonAssignment& b) {
    ApplyKeys(b, b.keys[0].data(), b.scanCodes[0].data(), false, true);
  }
  void Hold(ButtonAssignment& b) { ApplyHeldKeys(b, false, false); }
  void Release(ButtonAssignment& b) { ApplyHeldKeys(b, true, false); }

  // What the output received since the last call.
  Texts Sent() {
    Texts texts = out_.Texts();
    out_.Clear();
    return texts;
  }

  std::array<ButtonAssignment, kVirtualButtonCount> slot_;
  RecordingEvent out_;
};

struct SharedKeyStep {
  int button;
  bool press;
  Texts counted;    // output with reference counting
  int32_t count;    // count of 'A' afterwards
  Texts uncounted;  // output with RepeatSameKeyInSequence
};

class SharedKeyTest : public KeyOutputTest, public ::testing::WithParamInterface<bool> {};

TEST_P(SharedKeyTest, TwoButtonsHoldingTheSameKey) {
  const bool repeatSame = GetParam();
  SetRepeatSameKeyInSequence(repeatSame);
  Assign(60, {0x41});
  Assign(61, {0x41});
  const SharedKeyStep steps[] = {
      {60, true, {"key 41 1E 0"}, 1, {"key 41 1E 0"}},
      {61, true, {}, 2, {"key 41 1E 0"}},
      {60, false, {}, 1, {"key 41 1E 2"}},
      {61, false, {"key 41 1E 2"}, 0, {"key 41 1E 2"}},
  };
  for (const SharedKeyStep& s : steps) {
    s.press ? Press(Button(s.button)) : Release(Button(s.button));
    SCOPED_TRACE(std::string(s.press ? "press " : "release ") + std::to_string(s.button));
    EXPECT_EQ(Sent(), repeatSame ? s.uncounted : s.counted);
    EXPECT_EQ(KeyRefCount(0x41), repeatSame ? 0 : s.count);
  }
}

INSTANTIATE_TEST_SUITE_P(RepeatSameKeyInSequence, SharedKeyTest, ::testing::Bool());

TEST_F(KeyOutputTest, AReleaseWithoutPressIsStillSentAndTheCountStaysZero) {
  testing::LogCapture log;
  ButtonAssignment& b = Button(60);
  KeyOut(b, 0x41, 0x1E, true, false);
  EXPECT_EQ(Sent(), Texts{"key 41 1E 2"});
  EXPECT_EQ(KeyRefCount(0x41), 0);
  EXPECT_EQ(log.Count("Info   WARNING: 0#button[60] is released, but there is no "
                      "corresponding press event"),
            1);
  Press(Assign(61, {0x41}));
  EXPECT_EQ(Sent(), Texts{"key 41 1E 0"}) << "the repaired count lets the next press through";
  Release(Button(61));
}

TEST_F(KeyOutputTest, KeyListGoesDownInOrderAndUpInReverse) {
  ButtonAssignment& b = Assign(60, {0xA2, 0x43});
  Press(b);
  EXPECT_EQ(Sent(), (Texts{"key A2 1D 0", "key 43 2E 0"}));
  EXPECT_TRUE(b.keysHeld);
  Release(b);
  EXPECT_EQ(Sent(), (Texts{"key 43 2E 2", "key A2 1D 2"}));
  EXPECT_FALSE(b.keysHeld);
}

TEST_F(KeyOutputTest, AReleaseWithoutAKeyRecordSendsNothing) {
  testing::LogCapture log;
  ButtonAssignment& b = Assign(60, {0x41});
  b.keysHeld = true;
  Release(b);
  EXPECT_TRUE(Sent().empty());
  EXPECT_FALSE(b.keysHeld);
  EXPECT_EQ(log.Count("Info   WARNING: 0#button[60] is released, but there is no key record to "
                      "release"),
            1);
}

TEST_F(KeyOutputTest, DebugLinesNameTheButtonCodeAndCount) {
  testing::LogCapture log(/*debug=*/true);
  ButtonAssignment& b = Assign(60, {0x25});
  Press(b);
  Release(b);
  const std::string text = log.Text();
  for (const char* line :
       {"Debug  0#button[60]: API press = 25 (14B)", "Debug  0#button[60]: key[25] refCount = 1",
        "Debug  0#button[60]: API release = 25 (14B)",
        "Debug  0#button[60]: key[25] refCount = 0"}) {
    EXPECT_NE(text.find(line), std::string::npos) << line;
  }
  Sent();
}

struct CategoryCase {
  const char* name;
  KeyCode code;
  Texts onPress;
  Texts onRelease;
};

void PrintTo(const CategoryCase& c, std::ostream* os) {
  *os << c.name;
}

class KeyCategoryTest : public KeyOutputTest, public ::testing::WithParamInterface<CategoryCase> {};

TEST_P(KeyCategoryTest, PressAndReleaseSend) {
  ButtonAssignment& b = Assign(60, {GetParam().code});
  Press(b);
  EXPECT_EQ(Sent(), GetParam().onPress);
  Release(b);
  EXPECT_EQ(Sent(), GetParam().onRelease);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, KeyCategoryTest,
    ::testing::Values(
        CategoryCase{"ExtendedVirtualKey", 0x25, {"key 25 4B 1"}, {"key 25 4B 3"}},
        CategoryCase{"ExplicitScanCode", 0x2A0041, {"key 41 2A 0"}, {"key 41 2A 2"}},
        CategoryCase{"KanjiTogglesOnRelease", 0x100, {}, {"key F4 29 0", "key F4 29 2"}},
        CategoryCase{"NumpadEnter", 0x101, {"key 0D 1C 1"}, {"key 0D 1C 3"}},
        CategoryCase{"LeftForDirectInput", 0x102, {"key 25 CB 1"}, {"key 25 CB 3"}},
        CategoryCase{"DownForDirectInput", 0x105, {"key 28 D0 1"}, {"key 28 D0 3"}},
        CategoryCase{"RightCtrlForDirectInput", 0x106, {"key A3 9D 1"}, {"key A3 9D 3"}},
        CategoryCase{"RightAltForDirectInput", 0x107, {"key A5 B8 1"}, {"key A5 B8 3"}},
        CategoryCase{"AlternativePauseOnPressOnly", 0x108, {"pause"}, {}},
        CategoryCase{"OtherSpecialIsItsLowByte", 0x109, {"key 09 00 0"}, {"key 09 00 2"}},
        CategoryCase{"LeftClick", 0x201, {"buttons 1 0 1 0 0 0 0"}, {"buttons 0 1 1 0 0 0 0"}},
        CategoryCase{"RightClick", 0x203, {"buttons 1 0 0 0 1 0 0"}, {"buttons 0 1 0 0 1 0 0"}},
        CategoryCase{"MotionMovesOnlyOnPress", 0x505, {"move 1 0"}, {}},
        CategoryCase{"TriggerSendsNothing", 0x800, {}, {}},
        CategoryCase{"UnknownCategoryMovesByNothing", 0xB05, {"move 0 0"}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(KeyOutputTest, SharedMouseButtonClicksOnceAndLetsGoWithTheLastHolder) {
  ButtonAssignment& a = Assign(60, {0x201});
  ButtonAssignment& b = Assign(61, {0x201});
  Press(a);
  Press(b);
  Release(a);
  EXPECT_EQ(Sent(), Texts{"buttons 1 0 1 0 0 0 0"});
  Release(b);
  EXPECT_EQ(Sent(), Texts{"buttons 0 1 1 0 0 0 0"});
}

TEST_F(KeyOutputTest, MouseUpSpeedFiveStepsBySubPixelRemainders) {
  ButtonAssignment& b = Assign(60, {0x405});
  const struct {
    const char* sent;
    int32_t remainder;
  } cycles[] = {{"move 0 -2", 3072}, {"move 0 -1", 2048}, {"move 0 -1", 1024}, {"move 0 -1", 0}};
  Press(b);
  for (const auto& c : cycles) {
    EXPECT_EQ(Sent(), Texts{c.sent});
    EXPECT_EQ(b.MouseVCount, c.remainder);
    EXPECT_EQ(b.MouseHCount, 0);
    Hold(b);
  }
  Release(b);
}

TEST_F(KeyOutputTest, SlowWheelNotchesAfter129Cycles) {
  for (const auto& [code, notch] : {std::pair<KeyCode, const char*>{0x901, "wheel 120"},
                                    std::pair<KeyCode, const char*>{0xA01, "wheel -120"}}) {
    ButtonAssignment& b = Assign(60, {code});
    b.MouseWVCount = 0;
    int notchCycle = 0;
    Press(b);
    for (int cycle = 1; cycle <= 200 && notchCycle == 0; ++cycle) {
      const Texts sent = Sent();
      if (sent.size() == 2) {
        EXPECT_EQ(sent[1], notch);
        notchCycle = cycle;
      }
      Hold(b);
    }
    EXPECT_EQ(notchCycle, 129) << std::hex << "code 0x" << code;
    Release(b);
    Sent();
  }
}

TEST_F(KeyOutputTest, HoldingRepeatsOnlyMotionAndWheelCodes) {
  ButtonAssignment& b = Assign(60, {0x41, 0x201, 0x800, 0x505});
  Press(b);
  EXPECT_EQ(Sent(), (Texts{"key 41 1E 0", "buttons 1 0 1 0 0 0 0", "move 1 0"}));
  EXPECT_EQ(Button(56).overrideCount, 1);
  Hold(b);
  EXPECT_EQ(Sent(), Texts{"move 1 0"});
  EXPECT_EQ(Button(56).overrideCount, 1) << "a trigger is not pressed again";
  Release(b);
  EXPECT_EQ(Sent(), (Texts{"buttons 0 1 1 0 0 0 0", "key 41 1E 2"}));
  Hold(b);
  EXPECT_TRUE(Sent().empty()) << "nothing is held after the release";
}

TEST_F(KeyOutputTest, TriggerMakesThePlainButtonCountAsPressedWhileHeld) {
  ButtonAssignment& a = Assign(60, {0x800});
  ButtonAssignment& b = Assign(12, {0x800, 0x87F});
  EXPECT_EQ(Button(56).overrideCount, -1);
  Press(a);
  EXPECT_EQ(Button(56).overrideCount, 1);
  Press(b);
  EXPECT_EQ(Button(56).overrideCount, 2);
  EXPECT_EQ(Button(183).overrideCount, 1) << "plain button 128, the last record";
  Release(a);
  EXPECT_EQ(Button(56).overrideCount, 1);
  Release(b);
  EXPECT_EQ(Button(56).overrideCount, 0);
  EXPECT_EQ(Button(183).overrideCount, 0);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyOutputTest, TriggerBeyondTheContainerOrFromALoneRecordIsIgnored) {
  testing::LogCapture log(/*debug=*/true);
  ButtonAssignment& b = Assign(60, {0x880, 0x8FF});
  Press(b);
  Release(b);
  for (const ButtonAssignment& r : slot_) EXPECT_EQ(r.overrideCount, -1);

  ButtonAssignment alone;  // not in a container: stamped -1, -1
  alone.keys[0] = {0x800};
  alone.Derive();
  Press(alone);
  Release(alone);
  EXPECT_EQ(alone.overrideCount, -1);
  EXPECT_EQ(log.Count("trigger of button[184] ignored"), 2);
  EXPECT_EQ(log.Count("-1#button[-1]: trigger of button[56] ignored"), 2);
  EXPECT_TRUE(Sent().empty());
}

TEST_F(KeyOutputTest, TransitionKeepsSharedKeysDown) {
  ButtonAssignment& b = Assign(60, {0xA0, 0x41});
  b.keys[1] = {0xA0, 0x42};
  b.Derive();
  Press(b);
  Sent();

  TransitionLists(b, b.keys[0], b.scanCodes[0], b.keys[1], b.scanCodes[1]);
  EXPECT_EQ(b.releaseList.codes, (KeyCodes{0x41, 0, 0, 0}));
  EXPECT_EQ(b.releaseList.scans, (KeyScans{0x1E, 0, 0, 0}));
  EXPECT_EQ(b.pressList.codes, (KeyCodes{0x42, 0, 0, 0}));
  EXPECT_EQ(b.pressList.scans, (KeyScans{0x30, 0, 0, 0}));

  // What the press processing does with the lists.
  b.keysHeld = false;
  for (int i = kKeysPerInput - 1; i >= 0; --i) {
    KeyOut(b, b.releaseList.codes[static_cast<std::size_t>(i)],
           b.releaseList.scans[static_cast<std::size_t>(i)], true, false);
  }
  ApplyKeys(b, b.pressList.codes.data(), b.pressList.scans.data(), false, true);
  EXPECT_EQ(Sent(), (Texts{"key 41 1E 2", "key 42 30 0"})) << "Shift is not touched";
  EXPECT_EQ(KeyRefCount(0xA0), 1);
  EXPECT_EQ(b.heldCodes.codes, (KeyCodes{0x42, 0, 0, 0}));

  // Let go of B and of Shift, which the new held list no longer names.
  Release(b);
  KeyOut(b, 0xA0, 0x2A, true, false);
  EXPECT_EQ(Sent(), (Texts{"key 42 30 2", "key A0 2A 2"}));
}

TEST_F(KeyOutputTest, TransitionListsArePackedInListOrder) {
  ButtonAssignment& b = Button(60);
  TransitionLists(b, {0, 0x41, 0xA2, 0x43}, {0, 0x1E, 0x1D, 0x2E}, {0xA2, 0, 0x42, 0x41},
                  {0x1D, 0, 0x30, 0x1E});
  EXPECT_EQ(b.releaseList.codes, (KeyCodes{0x43, 0, 0, 0}));
  EXPECT_EQ(b.releaseList.scans, (KeyScans{0x2E, 0, 0, 0}));
  EXPECT_EQ(b.pressList.codes, (KeyCodes{0x42, 0, 0, 0}));
  EXPECT_EQ(b.pressList.scans, (KeyScans{0x30, 0, 0, 0}));
}

TEST_F(KeyOutputTest, TransitionWithRepeatSameKeyTakesBothListsWhole) {
  SetRepeatSameKeyInSequence(true);
  ButtonAssignment& b = Button(60);
  const KeyCodes oldCodes{0xA0, 0x41, 0, 0}, newCodes{0xA0, 0x42, 0, 0};
  const KeyScans oldScans{0x2A, 0x1E, 0, 0}, newScans{0x2A, 0x30, 0, 0};
  TransitionLists(b, oldCodes, oldScans, newCodes, newScans);
  EXPECT_EQ(b.releaseList.codes, oldCodes);
  EXPECT_EQ(b.releaseList.scans, oldScans);
  EXPECT_EQ(b.pressList.codes, newCodes);
  EXPECT_EQ(b.pressList.scans, newScans);
}

}  // namespace
}  // namespace brevanto
