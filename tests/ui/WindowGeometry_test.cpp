#include "ui/WindowGeometry.h"

#include <gtest/gtest.h>

namespace brevanto {
namespace {

TEST(WindowGeometryTest, DpiScalingRoundsHalvesAwayFromZero) {
  EXPECT_EQ(ScaleForDpi(75, 1.0), 75);
  EXPECT_EQ(ScaleForDpi(75, 1.5), 113);  // 112.5
  EXPECT_EQ(ScaleForDpi(-1, 1.5), -2);   // -1.5
  EXPECT_EQ(UnscaleForDpi(113, 1.5), 75);
  EXPECT_EQ(UnscaleForDpi(75, 1.25), 60);
  EXPECT_EQ(UnscaleForDpi(75, 0.0), 75);
}

TEST(WindowGeometryTest, PositionsOffTheScreenAreNotRestored) {
  EXPECT_EQ(RestorableTop(0, 1080), 0);
  EXPECT_EQ(RestorableTop(1047, 1080), 1047);
  EXPECT_EQ(RestorableTop(1048, 1080), std::nullopt);  // the caption would be lost
  EXPECT_EQ(RestorableTop(-1, 1080), std::nullopt);
  EXPECT_EQ(RestorableLeft(1919, 1920), 1919);
  EXPECT_EQ(RestorableLeft(1920, 1920), std::nullopt);
  EXPECT_EQ(RestorableLeft(-5, 1920), std::nullopt);
}

}  // namespace
}  // namespace brevanto
