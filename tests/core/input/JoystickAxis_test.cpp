#include "core/input/JoystickAxis.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

struct AxisCase {
  int32_t raw;
  int deadZone;
  int saturation;
  int32_t expected;
};

class ScaleJoystickAxisTest : public ::testing::TestWithParam<AxisCase> {};

TEST_P(ScaleJoystickAxisTest, MapsTheRawRangeWithDeadZoneAndSaturation) {
  const AxisCase& c = GetParam();
  EXPECT_EQ(ScaleJoystickAxis(c.raw, c.deadZone, c.saturation), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScaleJoystickAxisTest,
                         ::testing::Values(
                             // Plain scaling: both ends reach full deflection, the centre is 0.
                             AxisCase{0, 0, 10000, 0}, AxisCase{32767, 0, 10000, 1000},
                             AxisCase{-32768, 0, 10000, -1000}, AxisCase{16384, 0, 10000, 500},
                             AxisCase{-33, 0, 10000, -1},
                             // Dead zone of 10 %: nothing up to it, then a straight line.
                             AxisCase{3276, 1000, 10000, 0}, AxisCase{3300, 1000, 10000, 1},
                             AxisCase{16384, 1000, 10000, 444}, AxisCase{-16384, 1000, 10000, -444},
                             // Saturation of 90 %: full deflection from there on.
                             AxisCase{29491, 0, 9000, 1000}, AxisCase{14746, 0, 9000, 500},
                             // A saturation inside the dead zone: off or full.
                             AxisCase{16000, 5000, 3000, 0}, AxisCase{16500, 5000, 3000, 1000},
                             // Settings out of range act as their nearest bound.
                             AxisCase{16384, -500, 20000, 500}));

TEST(TriggerAsFullRangeAxisTest, RestsAtOneEndAndReachesTheOther) {
  EXPECT_EQ(ScaleJoystickAxis(TriggerAsFullRangeAxis(0), 0, 10000), -1000);
  EXPECT_EQ(ScaleJoystickAxis(TriggerAsFullRangeAxis(32767), 0, 10000), 1000);
  EXPECT_EQ(ScaleJoystickAxis(TriggerAsFullRangeAxis(16384), 0, 10000), 0);
}

}  // namespace
}  // namespace brevanto
