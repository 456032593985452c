#include "core/input/DirectInputConversion.h"

#include <gtest/gtest.h>

#include <set>

namespace brevanto {
namespace {

constexpr std::array<int, kAxisCount> kIdentity{0, 1, 2, 3, 4, 5, 6, 7};

std::set<int> ActiveButtons(const std::array<int32_t, kVirtualButtonCount>& values) {
  std::set<int> active;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    if (values[static_cast<std::size_t>(i)] != 0) active.insert(i);
  }
  return active;
}

struct PovCase {
  uint32_t angle;
  bool eightWay;
  std::set<int> directions;  // 0 = up, clockwise
};

void PrintTo(const PovCase& c, std::ostream* os) {
  *os << c.angle << (c.eightWay ? " eight-way" : " four-way");
}

class PovTest : public ::testing::TestWithParam<PovCase> {};

TEST_P(PovTest, AngleGivesDirections) {
  const PovCase& c = GetParam();
  std::array<int32_t, kVirtualButtonCount> values{};
  ConvertPov(c.angle, c.eightWay, 1, values);
  std::set<int> expected;
  for (int d : c.directions) expected.insert(PovButton(1, d));
  EXPECT_EQ(ActiveButtons(values), expected);
}

INSTANTIATE_TEST_SUITE_P(Boundaries, PovTest,
                         ::testing::Values(PovCase{kPovCentred, false, {}},
                                           PovCase{kPovCentred, true, {}}, PovCase{0, false, {0}},
                                           PovCase{0, true, {0}}, PovCase{4500, false, {0, 2}},
                                           PovCase{4500, true, {1}}, PovCase{4499, false, {0}},
                                           PovCase{2250, true, {0, 1}}, PovCase{2249, true, {0}},
                                           PovCase{2251, true, {1}}, PovCase{13500, false, {2, 4}},
                                           PovCase{22500, false, {4, 6}},
                                           PovCase{31500, false, {6, 0}},
                                           PovCase{33750, true, {7, 0}}, PovCase{27000, true, {6}},
                                           PovCase{35999, false, {0}}, PovCase{36000, true, {0}},
                                           PovCase{36001, false, {}}, PovCase{36001, true, {}},
                                           PovCase{65535, true, {}}));

DeviceInput Convert(const DirectInputState& state, std::span<const int> mapping,
                    const ReadOptions& options, std::span<int32_t> lastAnalog = {}) {
  bool displayChanged = false;
  DeviceInput input;
  ConvertDirectInputState(state, mapping, options, 0, lastAnalog, input, displayChanged);
  return input;
}

TEST(DirectInputConversion, HatsAreNumberedOneToFour) {
  DirectInputState state;
  state.pov = {kPovCentred, 9000, 18000, 0};
  const DeviceInput input = Convert(state, kIdentity, ReadOptions{});
  EXPECT_EQ(ActiveButtons(input.values),
            (std::set<int>{PovButton(2, 2), PovButton(3, 4), PovButton(4, 0)}));
}

TEST(DirectInputConversion, MappingChoosesWhichPhysicalAxisFeedsEachLogicalAxis) {
  DirectInputState state;
  state.axes = {10, 20, 30, 40, 50, 60, 70, 80};
  // Stick 2 from Z and RZ; threshold 0 leaves the sticks unscaled.
  const std::array<int, kAxisCount> zRz{0, 1, 2, 5, 3, 4, 6, 7};
  EXPECT_EQ(Convert(state, zRz, ReadOptions{}).analog,
            (std::array<int32_t, kAxisCount>{10, 20, 30, 60, 40, 50, 70, 80}));
}

TEST(DirectInputConversion, MappingEntriesOutsideTheStateFeedNothing) {
  DirectInputState state;
  state.axes = {10, 20, 30, 40, 50, 60, 70, 80};
  const std::array<int, kAxisCount> damaged{-1, 1, 8, 3, 1000, 5, 6, 7};
  std::array<int32_t, kAxisCount> lastAnalog{};
  EXPECT_EQ(Convert(state, damaged, ReadOptions{}, lastAnalog).analog,
            (std::array<int32_t, kAxisCount>{0, 20, 0, 40, 0, 60, 70, 80}));
  const std::array<int, 3> shortMapping{2, 1, 0};
  EXPECT_EQ(Convert(state, shortMapping, ReadOptions{}).analog,
            (std::array<int32_t, kAxisCount>{30, 20, 10, 0, 0, 0, 0, 0}));
}

TEST(DirectInputConversion, FurtherAxesUseTheProfileThreshold) {
  DirectInputState state;
  state.axes[5] = -450;  // RZ: logical axis 6
  state.axes[6] = 150;   // slider 0: axis 7, below the threshold
  const DeviceInput input = Convert(state, kIdentity, ReadOptions{200, 0});
  EXPECT_EQ(ActiveButtons(input.values), (std::set<int>{AxisNegativeButton(6)}));
  EXPECT_EQ(input.values[AxisNegativeButton(6)], 450);
}

TEST(DirectInputConversion, SticksUseTheirOwnThresholdAndTheDeviceDeadZone) {
  DirectInputState state;
  state.axes = {250, 0, 250, 0, 0, 0, 0, 0};
  ReadOptions options;
  options.threshold = 200;
  options.threshold2 = 300;
  bool displayChanged = false;
  DeviceInput input;
  ConvertDirectInputState(state, kIdentity, options, 1000, {}, input, displayChanged);
  // Stick 1 passes its 200 threshold and is rescaled; stick 2 stays below 300.
  EXPECT_EQ(ActiveButtons(input.values), (std::set<int>{AxisPositiveButton(1)}));
  EXPECT_EQ(input.analog[0], 15);
  EXPECT_EQ(input.analog[2], 0);

  ConvertDirectInputState(state, kIdentity, options, 2600, {}, input, displayChanged);
  EXPECT_TRUE(ActiveButtons(input.values).empty());
}

TEST(DirectInputConversion, LiveDisplayIsKeptPerPhysicalAxis) {
  DirectInputState state;
  state.axes = {0, 0, 0, 0, 0, 400, 0, -1000};
  const std::array<int, kAxisCount> mapping{0, 1, 2, 5, 3, 4, 6, 7};
  std::array<int32_t, kAxisCount> lastAnalog{};
  bool displayChanged = false;
  DeviceInput input;
  ConvertDirectInputState(state, mapping, ReadOptions{}, 0, lastAnalog, input, displayChanged);
  EXPECT_TRUE(displayChanged);
  EXPECT_EQ(lastAnalog, (std::array<int32_t, kAxisCount>{0, 0, 0, 0, 0, 20, 0, -50}));
}

TEST(DirectInputConversion, OnlyTheProfilesButtonsAreReported) {
  DirectInputState state;
  state.buttons[0] = 0x80;
  state.buttons[1] = 0x7F;  // only bit 0x80 means pressed
  state.buttons[31] = 0x80;
  state.buttons[39] = 0x80;
  ReadOptions options;
  options.numberOfButtons = 32;
  EXPECT_EQ(ActiveButtons(Convert(state, kIdentity, options).values),
            (std::set<int>{PlainButton(1), PlainButton(32)}));

  options.numberOfButtons = 500;
  state.buttons[127] = 0xFF;
  EXPECT_EQ(ActiveButtons(Convert(state, kIdentity, options).values),
            (std::set<int>{PlainButton(1), PlainButton(32), PlainButton(40), PlainButton(128)}));
}

}  // namespace
}  // namespace brevanto
