#include "core/input/AliasEvaluation.h"

#include <gtest/gtest.h>

#include "core/input/PressedFlags.h"

namespace brevanto {
namespace {

constexpr int kAll = kVirtualButtonCount;

VirtualValues Held(std::initializer_list<int> buttons) {
  VirtualValues values{};
  for (int b : buttons) values[static_cast<std::size_t>(b)] = 1000;
  return values;
}

TEST(EvaluateAliases, IdentityCopiesTheInputUpToTheProfilesCount) {
  VirtualValues values = Held({0, 56, 57, 100});
  values[3] = 420;
  VirtualValues out{};
  EvaluateAliases(values, IdentityAliasTable(), 58, out);
  EXPECT_EQ(out[0], 1000);
  EXPECT_EQ(out[3], 420);
  EXPECT_EQ(out[56], 1000);
  EXPECT_EQ(out[57], 1000);
  EXPECT_EQ(out[100], 0) << "beyond 56 + NumberOfButtons";
}

TEST(EvaluateAliases, SingleAliasReadsAnotherButton) {
  ButtonAliasTable table = IdentityAliasTable();
  table[56] = {57, -1, -1};
  VirtualValues out{};
  EvaluateAliases(Held({57}), table, kAll, out);
  EXPECT_EQ(out[56], 1000);
  EXPECT_EQ(out[57], 1000);
  EvaluateAliases(Held({56}), table, kAll, out);
  EXPECT_EQ(out[56], 0);
}

TEST(EvaluateAliases, PairSuppressesItsSingleButtonsWhileHeld) {
  ButtonAliasTable table = IdentityAliasTable();
  table[75] = {56, 57, -1};
  VirtualValues out{};
  EvaluateAliases(Held({56, 57}), table, kAll, out);
  EXPECT_EQ(out[75], 1000);
  EXPECT_EQ(out[56], 0);
  EXPECT_EQ(out[57], 0);

  EvaluateAliases(Held({56}), table, kAll, out);
  EXPECT_EQ(out[75], 0);
  EXPECT_EQ(out[56], 1000);
}

TEST(EvaluateAliases, LaterSingleEntryOverwritesAnEarlierSuppression) {
  ButtonAliasTable table = IdentityAliasTable();
  table[60] = {70, 71, -1};  // the combination comes before its sources
  VirtualValues out{};
  EvaluateAliases(Held({70, 71}), table, kAll, out);
  EXPECT_EQ(out[60], 1000);
  EXPECT_EQ(out[70], 1000);
  EXPECT_EQ(out[71], 1000);
}

TEST(EvaluateAliases, TripleSuppressesSinglesAndItsPairs) {
  ButtonAliasTable table = IdentityAliasTable();
  table[80] = {56, 57, -1};  // (a, b)
  table[81] = {57, 58, -1};  // (b, c)
  table[82] = {56, 58, -1};  // (a, c)
  table[83] = {58, 57, -1};  // (c, b): not one of the ordered pairs
  table[90] = {56, 57, 58};
  VirtualValues out{};
  EvaluateAliases(Held({56, 57, 58}), table, kAll, out);
  EXPECT_EQ(out[90], 1000);
  for (int i : {56, 57, 58, 80, 81, 82}) EXPECT_EQ(out[static_cast<std::size_t>(i)], 0) << i;
  EXPECT_EQ(out[83], 1000);

  EvaluateAliases(Held({56, 57}), table, kAll, out);
  EXPECT_EQ(out[90], 0);
  EXPECT_EQ(out[80], 1000);
}

TEST(EvaluateAliases, SourcesOutsideTheTableReadZero) {
  ButtonAliasTable table = IdentityAliasTable();
  table[56] = {500, -1, -1};
  table[57] = {-7, -1, -1};
  table[58] = {56, 999, -1};
  table[59] = {56, 57, 184};
  VirtualValues values = Held({56, 57});
  VirtualValues out{};
  EvaluateAliases(values, table, kAll, out);
  EXPECT_EQ(out[56], 0);
  EXPECT_EQ(out[57], 0);
  EXPECT_EQ(out[58], 0);
  EXPECT_EQ(out[59], 0);
}

TEST(UpdatePressed, UsesTheStickOneThresholdForEveryButtonAndRecordsTheTick) {
  SlotState slot{};
  VirtualValues values{};
  values[4] = 150;  // stick 2 left, above a Threshold2 of 100 but not Threshold 200
  values[56] = 1000;
  EXPECT_TRUE(UpdatePressed(slot, values, kAll, 200, 7));
  EXPECT_FALSE(slot.pressed[4]);
  EXPECT_TRUE(slot.pressed[56]);
  EXPECT_EQ(slot.pressedSince[56], 7);
  EXPECT_TRUE(slot.anyPressed);

  EXPECT_FALSE(UpdatePressed(slot, values, kAll, 200, 8));
  EXPECT_EQ(slot.pressedSince[56], 7) << "held, not a new press";

  values[56] = 200;  // equal to the threshold is not pressed
  EXPECT_TRUE(UpdatePressed(slot, values, kAll, 200, 9));
  EXPECT_FALSE(slot.pressed[56]);
  EXPECT_FALSE(slot.anyPressed);
}

TEST(UpdatePressed, IgnoresButtonsBeyondTheProfilesCount) {
  SlotState slot{};
  VirtualValues values = Held({120});
  EXPECT_FALSE(UpdatePressed(slot, values, 56 + 32, 200, 1));
  EXPECT_FALSE(slot.pressed[120]);
  EXPECT_FALSE(slot.anyPressed);
}

TEST(SlotState, RedetectionClearsTheFirst128FlagsOnly) {
  SlotState slot{};
  slot.pressed.fill(true);
  slot.anyPressed = true;
  slot.ClearForRedetection();
  EXPECT_FALSE(slot.anyPressed);
  EXPECT_FALSE(slot.pressed[127]);
  EXPECT_TRUE(slot.pressed[128]);
}

}  // namespace
}  // namespace brevanto
