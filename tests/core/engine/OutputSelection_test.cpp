#include "core/engine/OutputSelection.h"

#include <gtest/gtest.h>

#include <array>

#include "core/engine/MouseButtons.h"
#include "platform/fake/RecordingEvent.h"

namespace brevanto {
namespace {

class OutputSelectionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (int mode = 0; mode < kOutputMethodCount; ++mode) {
      RegisterOutputMethod(mode, &methods_[static_cast<std::size_t>(mode)]);
    }
  }
  void TearDown() override {
    SelectOutputMethod(0);
    for (int mode = 0; mode < kOutputMethodCount; ++mode) RegisterOutputMethod(mode, nullptr);
  }

  // Which registered method is current, by its mode.
  int CurrentIndex() {
    for (int mode = 0; mode < kOutputMethodCount; ++mode) {
      if (&CurrentOutput() == &methods_[static_cast<std::size_t>(mode)]) return mode;
    }
    return -1;
  }

  std::array<RecordingEvent, kOutputMethodCount> methods_;
};

TEST_F(OutputSelectionTest, ModeZeroIsCurrentBeforeAnySelection) {
  EXPECT_EQ(CurrentOutputMode(), 0);
  EXPECT_EQ(CurrentIndex(), 0);
}

TEST_F(OutputSelectionTest, ModesOutsideTheFourKeepThePreviousChoice) {
  struct Step {
    int32_t requested;
    int expected;
  };
  const Step steps[] = {{2, 2}, {7, 2}, {-1, 2}, {4, 2}, {3, 3}, {1, 1}, {0x7FFFFFFF, 1}, {0, 0}};
  for (const Step& s : steps) {
    SelectOutputMethod(s.requested);
    EXPECT_EQ(CurrentIndex(), s.expected) << "after selecting " << s.requested;
    EXPECT_EQ(CurrentOutputMode(), s.expected);
  }
}

TEST_F(OutputSelectionTest, CallsReachOnlyTheCurrentMethod) {
  SelectOutputMethod(1);
  CurrentOutput().KeyEvent(0x41, 0x1E, 0);
  EXPECT_EQ(methods_[1].Texts(), std::vector<std::string>{"key 41 1E 0"});
  EXPECT_TRUE(methods_[0].Calls().empty());
}

TEST_F(OutputSelectionTest, AnUnregisteredModeDropsRequestsInsteadOfFailing) {
  RegisterOutputMethod(2, nullptr);
  SelectOutputMethod(2);
  AbstractEvent& output = CurrentOutput();
  output.KeyEvent(0x41, 0x1E, 0);
  output.MouseButtons(true, false, 1, 0, 0, 0, 0);
  output.SendPauseSequence();
  EXPECT_EQ(CurrentIndex(), -1);
  for (const RecordingEvent& m : methods_) EXPECT_TRUE(m.Calls().empty());
}

TEST(OutputSelectionRegistration, RejectsModesOutsideTheFour) {
  RecordingEvent method;
  EXPECT_FALSE(RegisterOutputMethod(4, &method));
  EXPECT_FALSE(RegisterOutputMethod(-1, &method));
}

struct MouseButtonsCase {
  const char* name;
  bool press, release;
  int32_t left, middle, right, x1, x2;
  MouseButtonChange expected;
};

void PrintTo(const MouseButtonsCase& c, std::ostream* os) {
  *os << c.name;
}

class ResolveMouseButtonsTest : public ::testing::TestWithParam<MouseButtonsCase> {};

TEST_P(ResolveMouseButtonsTest, SelectsTheButtonsAndDirectionOfOneRequest) {
  const MouseButtonsCase& c = GetParam();
  EXPECT_EQ(ResolveMouseButtons(c.press, c.release, c.left, c.middle, c.right, c.x1, c.x2),
            c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResolveMouseButtonsTest,
    ::testing::Values(
        MouseButtonsCase{
            "LeftAndX2DownTogether", true, false, 1, 0, 0, 0, 1, {true, kMouseLeft | kMouseX2}},
        MouseButtonsCase{
            "ReleaseSendsUp", false, true, 0, 1, 1, 0, 0, {false, kMouseMiddle | kMouseRight}},
        MouseButtonsCase{"PressWinsOverRelease", true, true, 0, 0, 0, 1, 0, {true, kMouseX1}},
        MouseButtonsCase{"BothXButtons", false, true, 0, 0, 0, 1, 1, {false, kMouseX1 | kMouseX2}},
        MouseButtonsCase{
            "AnyNonZeroSelects", true, false, 5, 0, -1, 0, 0, {true, kMouseLeft | kMouseRight}},
        MouseButtonsCase{"NeitherPressNorReleaseIsEmpty", false, false, 1, 1, 1, 1, 1, {}},
        MouseButtonsCase{"NoButtonIsEmpty", true, false, 0, 0, 0, 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RecordingEvent, RecordsEveryCallAsComparableText) {
  RecordingEvent r;
  r.KeyEvent(0xA3, 0x1D, 0x0B);
  r.MoveAbsolute(32768, 65535);
  r.MoveRelative(-2, 0);
  r.Wheel(120);
  r.HWheel(-120);
  r.MouseButtons(false, true, 1, 0, 0, 0, 1);
  r.SendPauseSequence();
  EXPECT_EQ(r.Texts(),
            (std::vector<std::string>{"key A3 1D B", "abs 32768 65535", "move -2 0", "wheel 120",
                                      "hwheel -120", "buttons 0 1 1 0 0 0 1", "pause"}));
  EXPECT_EQ(r.Calls()[0], (OutputCall{OutputCall::Op::Key, {0xA3, 0x1D, 0x0B}}));
}

}  // namespace
}  // namespace brevanto
