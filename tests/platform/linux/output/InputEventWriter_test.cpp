#include "platform/linux/output/InputEventWriter.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/engine/MouseButtons.h"
#include "support/EventPipe.h"

namespace brevanto {
namespace {

using testing::Ev;
using testing::kSyn;

struct EncodingCase {
  const char* name;
  std::function<bool(InputEventWriter&)> write;
  std::vector<Ev> expected;
};

void PrintTo(const EncodingCase& c, std::ostream* os) {
  *os << c.name;
}

class InputEventWriterTest : public ::testing::TestWithParam<EncodingCase> {};

TEST_P(InputEventWriterTest, WritesTheExactRecordsEachReportClosedBySync) {
  testing::EventPipe pipe;
  InputEventWriter writer(pipe.WriteEnd());
  ASSERT_TRUE(GetParam().write(writer));
  EXPECT_EQ(pipe.Read(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, InputEventWriterTest,
    ::testing::Values(
        EncodingCase{
            "KeyPress", [](auto& w) { return w.Key(KEY_A, true); }, {{EV_KEY, KEY_A, 1}, kSyn}},
        EncodingCase{"KeyRelease",
                     [](auto& w) { return w.Key(KEY_RIGHTCTRL, false); },
                     {{EV_KEY, KEY_RIGHTCTRL, 0}, kSyn}},
        EncodingCase{"RelativeMotion",
                     [](auto& w) { return w.RelativeMotion(3, -2); },
                     {{EV_REL, REL_X, 3}, {EV_REL, REL_Y, -2}, kSyn}},
        EncodingCase{"MotionOnOneAxisOnly",
                     [](auto& w) { return w.RelativeMotion(0, 5); },
                     {{EV_REL, REL_Y, 5}, kSyn}},
        EncodingCase{"NoMotionWritesNothing", [](auto& w) { return w.RelativeMotion(0, 0); }, {}},
        EncodingCase{"AbsoluteMotion",
                     [](auto& w) { return w.AbsoluteMotion(0, 65535); },
                     {{EV_ABS, ABS_X, 0}, {EV_ABS, ABS_Y, 65535}, kSyn}},
        EncodingCase{"WheelNotchUp",
                     [](auto& w) { return w.WheelNotches(REL_WHEEL, 1); },
                     {{EV_REL, REL_WHEEL, 1}, kSyn}},
        EncodingCase{"TwoNotchesAreTwoReports",
                     [](auto& w) { return w.WheelNotches(REL_HWHEEL, -2); },
                     {{EV_REL, REL_HWHEEL, -1}, kSyn, {EV_REL, REL_HWHEEL, -1}, kSyn}},
        EncodingCase{"TwoButtonClickInOneReport",
                     [](auto& w) {
                       return w.MouseButtons(kMouseLeft | kMouseRight, true) &&
                              w.MouseButtons(kMouseLeft | kMouseRight, false);
                     },
                     {{EV_KEY, BTN_LEFT, 1},
                      {EV_KEY, BTN_RIGHT, 1},
                      kSyn,
                      {EV_KEY, BTN_LEFT, 0},
                      {EV_KEY, BTN_RIGHT, 0},
                      kSyn}},
        EncodingCase{"AllFiveButtons",
                     [](auto& w) {
                       return w.MouseButtons(
                           kMouseLeft | kMouseMiddle | kMouseRight | kMouseX1 | kMouseX2, true);
                     },
                     {{EV_KEY, BTN_LEFT, 1},
                      {EV_KEY, BTN_MIDDLE, 1},
                      {EV_KEY, BTN_RIGHT, 1},
                      {EV_KEY, BTN_SIDE, 1},
                      {EV_KEY, BTN_EXTRA, 1},
                      kSyn}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InputEventWriter, ReportsAFailedWrite) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  ::close(fds[0]);
  ::close(fds[1]);
  InputEventWriter writer(fds[1]);
  EXPECT_FALSE(writer.Key(KEY_A, true));
}

}  // namespace
}  // namespace brevanto
