#include "core/processing/Vibration.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fake/FakeControllers.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using Call = FakeRumble::Call;

TEST(VibrationTest, RunsForTheDurationInTicksAndThenStopsUser0) {
  testing::LogCapture log(true);
  FakeRumble rumble;
  Vibration vibration(rumble);
  vibration.StartVibration(50, 0, 300, 0);
  EXPECT_EQ(rumble.calls, (std::vector<Call>{{0, 32750, 0}}));
  EXPECT_EQ(vibration.Countdown(), 19);
  EXPECT_TRUE(log.HasMessage("Vibration Enabled (speed = 32750 | 0, for 19)"));

  for (int tick = 1; tick < 19; ++tick) vibration.CountdownStep();
  EXPECT_EQ(rumble.calls.size(), 1u) << "still running after 18 ticks";
  vibration.CountdownStep();
  EXPECT_EQ(rumble.calls.back(), (Call{0, 0, 0}));
  EXPECT_TRUE(log.HasMessage("Vibration Disabled"));
  vibration.CountdownStep();
  EXPECT_EQ(rumble.calls.size(), 2u) << "stopped once only";
}

TEST(VibrationTest, ASecondStartBeginsTheCountdownAgainWithItsOwnValues) {
  FakeRumble rumble;
  Vibration vibration(rumble);
  vibration.StartVibration(50, 0, 300, 0);
  for (int tick = 0; tick < 10; ++tick) vibration.CountdownStep();
  vibration.StartVibration(100, 20, 100, 2);  // ticks of 4 ms
  EXPECT_EQ(rumble.calls.back(), (Call{0, 65500, 13100}));
  EXPECT_EQ(vibration.Countdown(), 26);
}

TEST(VibrationTest, SpeedsOutsideThePercentRangeAreClampedNotWrapped) {
  FakeRumble rumble;
  Vibration vibration(rumble);
  vibration.StartVibration(150, -5, 16, 0);
  EXPECT_EQ(rumble.calls.back(), (Call{0, 65500, 0}));
}

TEST(VibrationTest, WithoutMotorsNothingHappensAndNothingIsLogged) {
  testing::LogCapture log(true);
  FakeRumble rumble;
  rumble.available = false;
  Vibration vibration(rumble);
  vibration.StartVibration(50, 50, 300, 0);
  vibration.CountdownStep();
  EXPECT_TRUE(rumble.calls.empty());
  EXPECT_EQ(vibration.Countdown(), 0);
  EXPECT_EQ(log.Text(), "");
}

TEST(VibrationTest, ARequestNoPadTookIsNotLoggedAsStarted) {
  testing::LogCapture log(true);
  FakeRumble rumble;
  rumble.padTakes = false;
  Vibration vibration(rumble);
  vibration.StartVibration(50, 50, 300, 0);
  EXPECT_EQ(rumble.calls.size(), 1u);
  EXPECT_FALSE(log.Contains("Vibration Enabled"));
  EXPECT_EQ(vibration.Countdown(), 0);
}

}  // namespace
}  // namespace brevanto
