#include "core/engine/ButtonAssignment.h"

#include <gtest/gtest.h>

#include "core/engine/AssignmentLine.h"

namespace brevanto {
namespace {

// A record in the middle of a press: two keys down, toggled on, overridden.
void HoldKeys(ButtonAssignment& r) {
  r.keysHeld = true;
  r.heldCodes.count = 2;
  r.heldCodes.codes = {0xA2, 0x43, 0, 0};
  r.heldCodes.scans = {0x1D, 0x2E, 0, 0};
  r.toggleState = true;
  r.toggleEdge = true;
  r.prevPressed = true;
  r.pressTick = 120;
  r.releaseTick = 80;
  r.MouseHCount = 3;
  r.MouseVCount = -4;
  r.MouseWHCount = 5;
  r.MouseWVCount = -6;
  r.inputIndex = 2;
  r.stepTimer = 7;
  r.repeatCounter = 9;
  r.overrideCount = 1;
  r.ignoreCounter = 4;
}

void ExpectReset(const ButtonAssignment& r) {
  EXPECT_FALSE(r.keysHeld);
  EXPECT_EQ(r.heldCodes.count, 0);
  EXPECT_EQ(r.heldCodes.codes, (KeyCodes{}));
  EXPECT_FALSE(r.toggleState);
  EXPECT_FALSE(r.toggleEdge);
  EXPECT_FALSE(r.prevPressed);
  EXPECT_EQ(r.pressTick, 0);
  EXPECT_EQ(r.releaseTick, 0);
  EXPECT_EQ(r.MouseHCount, 0);
  EXPECT_EQ(r.MouseVCount, 0);
  EXPECT_EQ(r.MouseWHCount, 0);
  EXPECT_EQ(r.MouseWVCount, 0);
  EXPECT_EQ(r.inputIndex, 0);
  EXPECT_EQ(r.stepTimer, 0);
  EXPECT_EQ(r.repeatCounter, 0);
  EXPECT_EQ(r.ignoreCounter, 0);
  EXPECT_EQ(r.overrideCount, -1);
}

void ExpectDefaults(const ButtonAssignment& r) {
  EXPECT_EQ(r.kind, AssignmentKind::None);
  EXPECT_EQ(r.toggle, 0);
  EXPECT_EQ(r.repeatRate, 0.0f);
  EXPECT_EQ(r.repeatDelay, 0);
  EXPECT_EQ(r.keys, (std::array<KeyCodes, 4>{}));
  EXPECT_EQ(r.scanCodes, (std::array<KeyScans, 4>{}));
  EXPECT_EQ(r.multiMode, MultiMode{0});
  EXPECT_EQ(r.counterResetDuration, 0);
  EXPECT_EQ(r.switchDelay, 0);
  EXPECT_EQ(r.minimumHoldDuration, 20);
  EXPECT_EQ(r.analogThreshold1, 95);
  EXPECT_EQ(r.analogThreshold2, 100);
  EXPECT_EQ(r.HMove | r.VMove | r.wheelH | r.wheelV, 0);
  EXPECT_EQ(r.clickLeft | r.clickMiddle | r.clickRight | r.clickX1 | r.clickX2, 0);
  EXPECT_EQ(r.accelerationFactor, 1.0f);
  EXPECT_EQ(r.analogFactor, 100);
  EXPECT_EQ(r.absCenterX, 50.0f);
  EXPECT_EQ(r.absCenterY, 50.0f);
  EXPECT_EQ(r.absRangeX | r.absRangeY, 0);
  EXPECT_EQ(r.targetJoystick, 100);
  EXPECT_TRUE(r.targetName.empty() && r.parameters.empty() && r.startFrom.empty() &&
              r.pasteText.empty() && r.comment.empty());
  ExpectReset(r);
}

TEST(ButtonAssignment, StartsWithDefaultsAndNoIdentity) {
  ButtonAssignment r;
  ExpectDefaults(r);
  EXPECT_EQ(r.joystickIndex, -1);
  EXPECT_EQ(r.buttonIndex, -1);
}

TEST(ButtonAssignment, ClearRestoresEveryDefaultButKeepsTheIdentity) {
  ButtonAssignment r;
  r.Stamp(3, 57);
  ReadLine(r, "8, 10.000000, 20.000000, 5, 6, 1, 1, 1, 1, 1, 2.000, 1, 300  ##x", 70);
  ReadLine(r, "7, 8, 100, 41:42:43:44, 45:0:0:0, 0:0:0:0, 0:0:0:70, 10, 20, 1.500, 1, 5, 40, 900",
           70);
  r.targetName = "t";
  r.parameters = "p";
  r.startFrom = "s";
  r.pasteText = "x";
  r.HMove = 5;
  r.accelerationFactor = 2.0f;
  r.targetJoystick = 4;
  HoldKeys(r);
  r.Clear();
  ExpectDefaults(r);
  EXPECT_EQ(r.joystickIndex, 3);
  EXPECT_EQ(r.buttonIndex, 57);
}

TEST(ButtonAssignment, DeriveTranslatesEveryKeyInPlace) {
  struct Case {
    KeyCode code;
    int32_t scan;
  };
  // 16 codes, one per key slot, so a mix-up of inputs or positions shows.
  const Case cases[16] = {
      {0x12, 0x15D},     // the context-menu key, not Alt
      {0xA5, 0x138},     // right Alt
      {0x25, 0x14B},     // left arrow, extended
      {0x2A0041, 0x2A},  // explicit scan code in bits 16-31
      {0x0405, 0},       // mouse up, speed 5
      {0x101, 0},        // numpad Enter: a special key
      {0x2A0101, 0},     // a category wins over explicit bits
      {0x203, 0},        // right mouse button
      {0x805, 0},        // trigger
      {0xA10, 0},        // wheel down
      {0, 0},           {0x41, 0x1E}, {0x90, 0x145}, {0xFF, 0},  // no translation
      {0x1C0000, 0x1C},  // explicit scan without a key value
      {0x6F, 0x135},
  };
  ButtonAssignment r;
  for (int i = 0; i < 16; ++i) r.keys[i / 4][i % 4] = cases[i].code;
  r.scanCodes[2][2] = 0x77;  // stale, must be recomputed
  r.repeatCounter = 12;
  r.Derive();
  for (int i = 0; i < 16; ++i) {
    EXPECT_EQ(r.scanCodes[i / 4][i % 4], cases[i].scan) << std::hex << cases[i].code;
  }
  EXPECT_EQ(r.repeatCounter, 0);
}

TEST(ButtonAssignment, DeriveTurnsANegativeJoystickTargetIntoNone) {
  struct Case {
    AssignmentKind kind;
    int32_t target;
    AssignmentKind kindAfter;
    int32_t targetAfter;
  };
  const Case cases[] = {
      {AssignmentKind::JoystickSwitch, -1, AssignmentKind::None, 0},
      {AssignmentKind::JoystickSwitch, -50, AssignmentKind::None, 0},
      {AssignmentKind::JoystickSwitch, 0, AssignmentKind::JoystickSwitch, 0},
      {AssignmentKind::JoystickSwitch, 3, AssignmentKind::JoystickSwitch, 3},
      {AssignmentKind::Keys, 100, AssignmentKind::Keys, 100},
  };
  for (const Case& c : cases) {
    ButtonAssignment r;
    r.kind = c.kind;
    r.targetJoystick = c.target;
    r.Derive();
    EXPECT_EQ(r.kind, c.kindAfter) << c.target;
    EXPECT_EQ(r.targetJoystick, c.targetAfter) << c.target;
  }
}

TEST(ButtonAssignment, CopyTakesTheSettingsButNotTheHeldState) {
  ButtonAssignment source;
  source.Stamp(0, 60);
  ReadLine(source,
           "7, 3, 250, A2:43:0:0, 25:0:0:0, 0:0:0:0, 0:0:0:0, 80, 90, 2.000, 1, 10, 30, 0  "
           "##combo",
           70);
  source.targetName = "名前";
  HoldKeys(source);

  ButtonAssignment destination;
  destination.Stamp(1, 61);
  destination.scanCodes[3][3] = 0x55;
  destination.Copy(source);

  EXPECT_EQ(WriteLine(destination), WriteLine(source));
  EXPECT_EQ(destination.targetName, "名前");
  EXPECT_EQ(destination.scanCodes[0][0], 0x1D);
  EXPECT_EQ(destination.scanCodes[1][0], 0x14B);
  EXPECT_EQ(destination.scanCodes[3][3], 0);
  ExpectReset(destination);
  EXPECT_EQ(destination.joystickIndex, 1);
  EXPECT_EQ(destination.buttonIndex, 61);

  EXPECT_TRUE(source.keysHeld) << "the source keeps holding its keys";
  EXPECT_EQ(source.heldCodes.count, 2);
  EXPECT_EQ(source.overrideCount, 1);
}

TEST(ButtonAssignment, SameEffectComparesOnlyWhatIsHeld) {
  struct Case {
    const char* name;
    const char* a;
    const char* b;
    bool same;
  };
  const Case cases[] = {
      {"keys, other repeat and toggle", "1, 41:42:00:00, 0.000, 0, 0",
       "1, 41:42:00:00, 5.000, 1, 300", true},
      {"keys, other codes", "1, 41:42:00:00, 0.000, 0, 0", "1, 41:43:00:00, 0.000, 0, 0", false},
      {"keys, other comment", "1, 41:00:00:00, 0.000, 0, 0  ##a", "1, 41:00:00:00, 0.000, 0, 0",
       true},
      {"mouse, other speeds", "2,   50,   0,   0, 1, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0",
       "2,  -10,  20,   5, 1, 0, 0, 1.000, 1, 50, 2.0, 50, 0, 0, 0,    3", true},
      {"mouse, other X2 click", "2,    0,   0,   0, 1, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 0,    0",
       "2,    0,   0,   0, 1, 0, 0, 0.000, 0, 95, 1.0, 100, 0, 0, 1,    0", false},
      {"multi, same mode and codes",
       "7, 1, 0, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:9, 95, 100, 0.000, 0, 0, 20, 0",
       "7, 1, 500, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:9, 10, 20, 3.000, 1, 0, 50, 1000", true},
      {"multi, other input 4",
       "7, 1, 0, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:9, 95, 100, 0.000, 0, 0, 20, 0",
       "7, 1, 0, 41:0:0:0, 42:0:0:0, 0:0:0:0, 0:0:0:8, 95, 100, 0.000, 0, 0, 20, 0", false},
      {"multi, other mode",
       "7, 1, 0, 41:0:0:0, 0:0:0:0, 0:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 20, 0",
       "7, 2, 0, 41:0:0:0, 0:0:0:0, 0:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 20, 0", false},
      {"launch, same program", "9, \"notepad.exe\", |||", "9, \"notepad.exe\", |||", false},
      {"profile switch, same name", "6, \"Game2\", 0", "6, \"Game2\", 0", false},
      {"none", "0", "0", false},
      {"other kinds, same keys", "1, 41:00:00:00, 0.000, 0, 0",
       "7, 1, 0, 41:0:0:0, 0:0:0:0, 0:0:0:0, 0:0:0:0, 95, 100, 0.000, 0, 0, 20, 0", false},
  };
  for (const Case& c : cases) {
    ButtonAssignment a;
    ButtonAssignment b;
    ReadLine(a, c.a, 70);
    ReadLine(b, c.b, 70);
    EXPECT_EQ(ButtonAssignment::SameEffect(a, b), c.same) << c.name;
    EXPECT_EQ(ButtonAssignment::SameEffect(b, a), c.same) << c.name;
  }
}

TEST(ButtonAssignment, HandOverMovesTheHeldStateAndResetsTheSource) {
  ButtonAssignment from;
  ButtonAssignment to;
  ReadLine(from, "1, A2:43:00:00, 0.000, 0, 0", 70);
  ReadLine(to, "1, A2:43:00:00, 2.000, 1, 0", 70);
  HoldKeys(from);
  to.overrideCount = 2;
  to.ignoreCounter = 5;

  ButtonAssignment::HandOver(from, to);

  EXPECT_TRUE(to.keysHeld);
  EXPECT_EQ(to.heldCodes.count, 2);
  EXPECT_EQ(to.heldCodes.codes, (KeyCodes{0xA2, 0x43, 0, 0}));
  EXPECT_EQ(to.heldCodes.scans, (KeyScans{0x1D, 0x2E, 0, 0}));
  EXPECT_TRUE(to.toggleState);
  EXPECT_TRUE(to.toggleEdge);
  EXPECT_TRUE(to.prevPressed);
  EXPECT_EQ(to.pressTick, 120);
  EXPECT_EQ(to.releaseTick, 80);
  EXPECT_EQ(to.MouseHCount, 3);
  EXPECT_EQ(to.MouseVCount, -4);
  EXPECT_EQ(to.MouseWHCount, 5);
  EXPECT_EQ(to.MouseWVCount, -6);
  EXPECT_EQ(to.inputIndex, 2);
  EXPECT_EQ(to.stepTimer, 7);
  // Not part of the held state: the destination keeps its own.
  EXPECT_EQ(to.repeatCounter, 0);
  EXPECT_EQ(to.overrideCount, 2);
  EXPECT_EQ(to.ignoreCounter, 5);
  EXPECT_EQ(to.repeatRate, 2.0f) << "settings stay the destination's";
  ExpectReset(from);
}

TEST(ButtonAssignment, HandOverToItselfKeepsTheHeldKeys) {
  ButtonAssignment r;
  HoldKeys(r);
  ButtonAssignment::HandOver(r, r);
  EXPECT_TRUE(r.keysHeld);
  EXPECT_EQ(r.heldCodes.count, 2);
}

}  // namespace
}  // namespace brevanto
