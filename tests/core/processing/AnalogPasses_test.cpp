#include "core/processing/AnalogPasses.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/profile/ProfileJoystick.h"
#include "platform/fake/RecordingEvent.h"

namespace brevanto {
namespace {

constexpr int kCount = ActiveButtonCount(32);
constexpr double kSharpness = 3.0;

void MouseRecord(ButtonAssignment& record, float acceleration = 1.0f, int32_t factor = 100) {
  record.kind = AssignmentKind::Mouse;
  record.HMove = 50;
  record.accelerationFactor = acceleration;
  record.analogFactor = factor;
}

void AbsoluteRecord(ButtonAssignment& record, float x, float y, int32_t rangeX = 0,
                    int32_t rangeY = 0) {
  record.kind = AssignmentKind::MouseAbsolute;
  record.absCenterX = x;
  record.absCenterY = y;
  record.absRangeX = rangeX;
  record.absRangeY = rangeY;
}

void AnalogSwitchRecord(ButtonAssignment& record, int32_t t1, int32_t t2) {
  record.kind = AssignmentKind::MultiInput;
  record.multiMode = MultiMode::AnalogSwitch;
  record.analogThreshold1 = t1;
  record.analogThreshold2 = t2;
}

struct PassCase {
  std::string name;
  std::function<void(ProfileJoystick&)> assign;
  std::vector<std::pair<int, int32_t>> input;  // virtual button, effective value
  std::array<int32_t, kAxisCount> analog{};
  std::vector<std::pair<int, int32_t>> expected;  // values after the passes
  std::vector<std::string> output;                // calls on the output method
};

class AnalogPassesTest : public testing::TestWithParam<PassCase> {};

TEST_P(AnalogPassesTest, ShapesValuesAndPlacesTheCursor) {
  const PassCase& c = GetParam();
  ProfileJoystick buttons(0);
  c.assign(buttons);
  VirtualValues out{};
  for (auto [button, value] : c.input) out[static_cast<std::size_t>(button)] = value;
  RecordingEvent output;

  ApplyAnalogPasses(buttons, kCount, c.analog, kSharpness, output, out);

  for (auto [button, value] : c.expected) {
    EXPECT_EQ(out[static_cast<std::size_t>(button)], value) << "virtual button " << button;
  }
  EXPECT_EQ(output.Texts(), c.output);
}

// Stick 1 is virtual 0..3 (left, right, up, down), axes 7/8 are 12..15.
INSTANTIATE_TEST_SUITE_P(
    Passes, AnalogPassesTest,
    testing::Values(
        PassCase{"HeldAnalogFactorScalesStickAndButtonMovementOnly",
                 [](ProfileJoystick& b) {
                   MouseRecord(b.Button(1));
                   MouseRecord(b.Button(PlainButton(2)));
                   MouseRecord(b.Button(PlainButton(1)), 1.0f, 50);
                   b.Button(PlainButton(3)).kind = AssignmentKind::Keys;
                 },
                 {{1, 800}, {PlainButton(1), 1000}, {PlainButton(2), 1000}, {PlainButton(3), 1000}},
                 {},
                 {{1, 400}, {PlainButton(2), 500}, {PlainButton(3), 1000}},
                 {}},
        PassCase{"HeldAbsoluteRecordPutsTheCursorOnItsPoint",
                 [](ProfileJoystick& b) { AbsoluteRecord(b.Button(PlainButton(1)), 25.0f, 75.0f); },
                 {{PlainButton(1), 1000}},
                 {},
                 {},
                 {"abs 16384 49152"}},
        PassCase{"AxisWithRangeMovesTheCursorAroundTheCentre",
                 [](ProfileJoystick& b) { AbsoluteRecord(b.Button(0), 50.0f, 40.0f, 20, 0); },
                 {},
                 {-500, 0, 0, 0, 0, 0, 0, 0},
                 {},
                 {"abs 39321 26214"}},
        PassCase{"AxisBackAtRestStillMovesWhileItsRecordWasPressed",
                 [](ProfileJoystick& b) {
                   AbsoluteRecord(b.Button(0), 50.0f, 40.0f, 20, 0);
                   b.Button(0).prevPressed = true;
                 },
                 {},
                 {},
                 {},
                 {"abs 32768 26214"}},
        PassCase{"AxisAtRestWithoutPressDoesNotMove",
                 [](ProfileJoystick& b) { AbsoluteRecord(b.Button(0), 50.0f, 40.0f, 20, 0); },
                 {},
                 {},
                 {},
                 {}},
        PassCase{"StickAccelerationAtFullAndHalfDeflection",
                 [](ProfileJoystick& b) {
                   for (int i = 0; i < 4; ++i) MouseRecord(b.Button(i), 2.0f);
                   for (int i = 4; i < 8; ++i) MouseRecord(b.Button(i), 2.0f);
                 },
                 {{1, 1000}, {5, 500}},
                 {},
                 {{1, 2000}, {5, 822}},
                 {}},
        PassCase{"DiagonalAccelerationBlendsBothFactors",
                 [](ProfileJoystick& b) {
                   MouseRecord(b.Button(1), 2.5f);
                   MouseRecord(b.Button(3));
                 },
                 {{1, 600}, {3, 800}},
                 {},
                 {{1, 968}, {3, 1291}},
                 {}},
        // Only the X records accelerate: pushing straight up keeps the plain
        // speed instead of stopping the cursor.
        PassCase{"PairWithoutAccelerationKeepsItsSpeed",
                 [](ProfileJoystick& b) {
                   MouseRecord(b.Button(0), 2.0f);
                   MouseRecord(b.Button(1), 2.0f);
                   MouseRecord(b.Button(2));
                   MouseRecord(b.Button(3));
                 },
                 {{2, 500}},
                 {},
                 {{2, 500}},
                 {}},
        PassCase{"AnalogSwitchGetsTheStickRadiusAsLevel",
                 [](ProfileJoystick& b) {
                   AnalogSwitchRecord(b.Button(0), 50, 90);
                   AnalogSwitchRecord(b.Button(2), 50, 90);
                   AnalogSwitchRecord(b.Button(4), 50, 90);
                   AnalogSwitchRecord(b.Button(6), 50, 90);
                   AnalogSwitchRecord(b.Button(8), 50, 90);
                   AnalogSwitchRecord(b.Button(10), 50, 90);
                 },
                 {{2, 300}, {5, 700}, {8, 600}, {10, 800}},
                 {},
                 {{2, 499}, {3, 0}, {4, 0}, {5, 501}, {8, 901}, {9, 0}, {10, 901}, {11, 0}},
                 {}},
        PassCase{"SliderGrowsAboveTheKneeAndShrinksBelowIt",
                 [](ProfileJoystick& b) {
                   b.Button(12).accelerationFactor = 3.0f;
                   b.Button(12).analogThreshold1 = 50;
                   b.Button(13).accelerationFactor = 3.0f;
                   b.Button(13).analogThreshold1 = 50;
                   b.Button(14).accelerationFactor = 3.0f;
                   b.Button(14).analogThreshold1 = 100;
                 },
                 {{12, 1000}, {13, 250}, {14, 400}},
                 {},
                 {{12, 3000}, {13, 0}, {14, 1200}},
                 {}}),
    [](const testing::TestParamInfo<PassCase>& info) { return info.param.name; });

}  // namespace
}  // namespace brevanto
