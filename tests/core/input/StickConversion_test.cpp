#include "core/input/StickConversion.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace brevanto {
namespace {

using Values = std::array<int32_t, kVirtualButtonCount>;

// The non-zero virtual buttons, as (index, value).
std::map<int, int32_t> Active(const Values& values) {
  std::map<int, int32_t> active;
  for (int i = 0; i < kVirtualButtonCount; ++i) {
    if (values[static_cast<std::size_t>(i)] != 0) active[i] = values[static_cast<std::size_t>(i)];
  }
  return active;
}

struct StickCase {
  const char* name;
  int stick;
  int x, y;
  int deadZone;  // AnalogDeadZone / 10
  int threshold;
  bool diagonal;
  std::map<int, int32_t> expectedButtons;
  int expectedX, expectedY;
};

void PrintTo(const StickCase& c, std::ostream* os) { *os << c.name; }

class ConvertStickTest : public ::testing::TestWithParam<StickCase> {};

TEST_P(ConvertStickTest, SetsDirectionsAndRescales) {
  const StickCase& c = GetParam();
  Values values{};
  int32_t x = c.x;
  int32_t y = c.y;
  ConvertStick(c.stick, x, y, c.deadZone, StickOptions{c.threshold, c.diagonal}, values);
  EXPECT_EQ(Active(values), c.expectedButtons);
  EXPECT_EQ(x, c.expectedX);
  EXPECT_EQ(y, c.expectedY);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConvertStickTest,
    ::testing::Values(
        StickCase{"BelowThresholdSetsNothingAndZeroesThePair", 0, 150, 0, 100, 200, false, {}, 0, 0},
        StickCase{"AboveThresholdRescalesRadially", 0, 250, 0, 100, 200, false, {{1, 250}}, 15, 0},
        StickCase{"DeadZoneAboveThresholdWins", 0, 250, 0, 300, 200, false, {}, 0, 0},
        StickCase{"DeadZoneAboveThresholdPassesBeyondIt", 0, -400, 0, 300, 200, false, {{0, 400}}, -57, 0},
        StickCase{"ThresholdOf1000ActsAs999", 0, 1000, -1000, 0, 1000, false, {{1, 1000}, {2, 1000}}, 1000, -1000},
        StickCase{"ThresholdOf1000BelowFullSetsNothing", 0, 999, 0, 0, 1200, false, {}, 0, 0},
        StickCase{"FullDeflectionStaysFull", 0, 1000, 0, 0, 200, false, {{1, 1000}}, 1000, 0},
        StickCase{"RadiusAboveFullIsCappedForTheScale", 0, 1000, 1000, 0, 200, false, {{1, 1000}, {3, 1000}}, 1000, 1000},
        StickCase{"ZeroThresholdLeavesThePairUnchanged", 0, 1, -1, 0, 0, false, {{1, 1}, {2, 1}}, 1, -1},
        StickCase{"StickTwoUsesButtonsFourToSeven", 1, -500, 600, 0, 200, false, {{4, 500}, {7, 600}}, -363, 435},
        StickCase{"DiagonalUpRight", 0, 500, -600, 0, 200, true, {{48, 600}}, 500, -600},
        StickCase{"DiagonalZoneButXInsideThresholdSetsNothing", 0, 150, -300, 0, 200, true, {}, 150, -300},
        StickCase{"OutsideZoneUp", 0, 100, -900, 0, 200, true, {{2, 900}}, 100, -900},
        StickCase{"OutsideZoneMostlyRightWhilePointingUp", 0, 900, -300, 0, 200, true, {{1, 900}}, 900, -300},
        StickCase{"DiagonalUpLeft", 0, -500, -500, 0, 200, true, {{49, 500}}, -500, -500},
        StickCase{"DiagonalDownLeft", 0, -500, 500, 0, 200, true, {{50, 500}}, -500, 500},
        StickCase{"DiagonalDownRight", 0, 700, 400, 0, 200, true, {{51, 700}}, 700, 400},
        StickCase{"OutsideZoneDown", 0, 50, 800, 0, 200, true, {{3, 800}}, 50, 800},
        StickCase{"VerticalWithinThresholdGivesHorizontal", 0, -800, 100, 0, 200, true, {{0, 800}}, -800, 100},
        // 1000 < 417 * 2.4 = 1000.8 is inside the zone; 1000 < 416 * 2.4 = 998.4 is not.
        StickCase{"ZoneBoundaryInside", 0, 417, -1000, 0, 200, true, {{48, 1000}}, 417, -1000},
        StickCase{"ZoneBoundaryOutside", 0, 416, -1000, 0, 200, true, {{2, 1000}}, 416, -1000},
        StickCase{"ExactlyAtZoneLimitIsOutside", 0, 500, -1200, 0, 200, true, {{2, 1200}}, 500, -1200},
        StickCase{"DiagonalStickTwo", 1, 600, -600, 0, 100, true, {{52, 600}}, 600, -600}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConvertFurtherAxes, AxesFiveToEightUseTheThresholdWithoutCap) {
  Values values{};
  std::array<int32_t, kAxisCount> analog{900, 900, 900, 900, 100, -450, 201, -200};
  ConvertFurtherAxes(analog, 200, values);
  EXPECT_EQ(Active(values), (std::map<int, int32_t>{{10, 450}, {13, 201}}));
}

TEST(UpdateAnalogDisplay, StoresValueOver20PerPhysicalAxisAndFlagsChanges) {
  std::array<int32_t, kAxisCount> analog{39, -41, 1000, 0, 0, 0, 0, 0};
  std::array<int32_t, 8> last{};
  const std::vector<int> physical{0, 1, 5, 3};
  bool changed = false;
  UpdateAnalogDisplay(analog, physical, last, changed);
  EXPECT_TRUE(changed);
  EXPECT_EQ(last[0], 1);
  EXPECT_EQ(last[1], -2);
  EXPECT_EQ(last[5], 50);

  changed = false;
  analog[0] = 20;  // still 1
  UpdateAnalogDisplay(analog, physical, last, changed);
  EXPECT_FALSE(changed);

  const std::vector<int> outOfRange{9, -1};
  UpdateAnalogDisplay(analog, outOfRange, last, changed);
  EXPECT_FALSE(changed);
}

}  // namespace
}  // namespace brevanto
