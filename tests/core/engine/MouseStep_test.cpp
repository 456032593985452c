#include "core/engine/MouseStep.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/EngineFixture.h"

namespace brevanto {
namespace {

using testing::EngineFixture;
using testing::Segment;
using Events = std::vector<std::string>;

// Mouse records driven through the engine, which calls MouseStep every cycle
// when there is no auto-repeat.
struct MouseCase {
  const char* name;
  std::function<void(ButtonAssignment&)> setup;
  std::vector<Segment> input;
  Events expected;  // every call but "move 0 0"
};

void PrintTo(const MouseCase& c, std::ostream* os) {
  *os << c.name;
}

std::function<void(ButtonAssignment&)> Speeds(int h, int v, int wheelH = 0, int wheelV = 0) {
  return [=](ButtonAssignment& r) {
    r.HMove = h;
    r.VMove = v;
    r.wheelH = wheelH;
    r.wheelV = wheelV;
  };
}

class MouseTimeline : public EngineFixture, public ::testing::WithParamInterface<MouseCase> {};

TEST_P(MouseTimeline, MovesScrollsAndClicks) {
  ButtonAssignment& r = Button();
  r.kind = AssignmentKind::Mouse;
  GetParam().setup(r);
  Events sent;
  for (const std::string& e : Run(kButton, GetParam().input)) {
    if (e.substr(e.find(':') + 1) != "move 0 0") sent.push_back(e);
  }
  EXPECT_EQ(sent, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MouseTimeline,
    ::testing::Values(
        // 50 × 1000 = 50000 units a cycle, 4096 to the pixel.
        MouseCase{"RightAtHalfSpeed",
                  Speeds(50, 0),
                  {{1000, 5}},
                  {"1:move 12 0", "2:move 12 0", "3:move 12 0", "4:move 12 0", "5:move 13 0"}},
        MouseCase{"LeftAtHalfSpeed",
                  Speeds(-50, 0),
                  {{1000, 4}},
                  {"1:move -13 0", "2:move -12 0", "3:move -12 0", "4:move -12 0"}},
        MouseCase{"DiagonalAtAQuarter",
                  Speeds(100, -100),
                  {{250, 3}},
                  {"1:move 6 -7", "2:move 6 -6", "3:move 6 -6"}},
        // 100000 passes 65536 at once, 134464 again, then every cycle.
        MouseCase{"FastWheel",
                  Speeds(0, 0, 0, 100),
                  {{1000, 3}},
                  {"1:wheel 120", "2:wheel 120", "3:wheel 120"}},
        MouseCase{"SlowWheelNotchEvery66Cycles",
                  Speeds(0, 0, 0, -1),
                  {{1000, 132}},
                  {"66:wheel -120", "132:wheel -120"}},
        // The vertical wheel keeps its part of a notch over a release...
        MouseCase{"VerticalWheelCarriesOverARelease",
                  Speeds(0, 0, 0, 1),
                  {{1000, 40}, {0, 1}, {1000, 30}},
                  {"67:wheel 120"}},
        // ...the horizontal one starts over.
        MouseCase{"HorizontalWheelStartsOverAfterARelease",
                  Speeds(0, 0, 1, 0),
                  {{1000, 40}, {0, 1}, {1000, 66}},
                  {"107:hwheel 120"}},
        // 100 units a cycle never make a pixel when released every 40 cycles.
        MouseCase{"SlowStickReleasedOftenNeverMoves",
                  Speeds(10, 10),
                  std::vector<Segment>{{10, 40}, {0, 1}, {10, 40}, {0, 1}, {10, 40}},
                  {}},
        MouseCase{"ClicksWithToggleGoDownAndUpTogether",
                  [](ButtonAssignment& r) {
                    r.clickLeft = r.clickRight = 1;
                    r.toggle = 1;
                  },
                  {{1000, 1}, {0, 2}, {1000, 1}, {0, 1}},
                  {"1:buttons 1 0 1 0 1 0 0", "4:buttons 0 1 1 0 1 0 0"}},
        MouseCase{"ExtraButtons",
                  [](ButtonAssignment& r) { r.clickX1 = r.clickX2 = 1; },
                  {{1000, 2}, {0, 1}},
                  {"1:buttons 1 0 0 0 0 1 1", "3:buttons 0 1 0 0 0 1 1"}},
        // The cycle's scaling can push values far past 1000.
        MouseCase{"HugeValuesSaturateInsteadOfOverflowing",
                  Speeds(100, -100, 100, 100),
                  {{2000000000, 1}},
                  {"1:wheel 120", "1:hwheel 120", "1:move 48828125 -48828125"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace brevanto
