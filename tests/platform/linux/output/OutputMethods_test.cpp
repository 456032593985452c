// The four output methods with a pipe in place of the uinput device and no X
// display: what each sends for a key, and the mouse operations they share.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/linux/output/InputEventWriter.h"
#include "platform/linux/output/KeybdEventImpl.h"
#include "platform/linux/output/SendInputSCEventImpl.h"
#include "platform/linux/output/SendInputVKEventImpl.h"
#include "platform/linux/output/SendMessageEventImpl.h"
#include "support/EventPipe.h"
#include "support/LogCapture.h"

namespace brevanto {
namespace {

using testing::Ev;
using testing::kSyn;

struct Methods {
  explicit Methods(OutputFacilities& f) : keybd(f), virtualKey(f), scanCode(f), message(f) {}
  AbstractEvent& ByMode(int mode) {
    AbstractEvent* all[] = {&keybd, &virtualKey, &scanCode, &message};
    return *all[mode];
  }
  KeybdEventImpl keybd;
  SendInputVKEventImpl virtualKey;
  SendInputSCEventImpl scanCode;
  SendMessageEventImpl message;
};

struct UinputCase {
  const char* name;
  int mode;
  std::function<void(AbstractEvent&)> call;
  std::vector<Ev> expected;
};

void PrintTo(const UinputCase& c, std::ostream* os) {
  *os << c.name;
}

class UinputOutputTest : public ::testing::TestWithParam<UinputCase> {};

TEST_P(UinputOutputTest, SendsTheseRecords) {
  testing::EventPipe pipe;
  InputEventWriter writer(pipe.WriteEnd());
  OutputFacilities facilities{&writer, nullptr};
  Methods methods(facilities);
  GetParam().call(methods.ByMode(GetParam().mode));
  EXPECT_EQ(pipe.Read(), GetParam().expected);
}

auto Key(uint8_t vk, uint8_t scan, int32_t flags) {
  return [=](AbstractEvent& e) { e.KeyEvent(vk, scan, flags); };
}

INSTANTIATE_TEST_SUITE_P(
    Keys, UinputOutputTest,
    ::testing::Values(
        // Mode 0 presses the key at the virtual key's place.
        UinputCase{"VirtualKeyA", 0, Key(0x41, 0x1E, 0), {{EV_KEY, KEY_A, 1}, kSyn}},
        UinputCase{"VirtualKeyRelease", 0, Key(0x41, 0x1E, 2), {{EV_KEY, KEY_A, 0}, kSyn}},
        UinputCase{
            "VirtualKeyIgnoresAForeignScan", 0, Key(0x41, 0x10, 0), {{EV_KEY, KEY_A, 1}, kSyn}},
        UinputCase{"ArrowIsNotTheNumpadKey", 0, Key(0x25, 0x4B, 1), {{EV_KEY, KEY_LEFT, 1}, kSyn}},
        UinputCase{
            "ExtendedEnterIsNumpadEnter", 0, Key(0x0D, 0x1C, 1), {{EV_KEY, KEY_KPENTER, 1}, kSyn}},
        UinputCase{"PauseIsPauseNotNumLock", 0, Key(0x13, 0x45, 1), {{EV_KEY, KEY_PAUSE, 1}, kSyn}},
        UinputCase{
            "KeyWithoutPlaceUsesItsScan", 0, Key(0xA6, 0x6A, 1), {{EV_KEY, KEY_BACK, 1}, kSyn}},
        UinputCase{"UnknownKeySendsNothing", 0, Key(0x07, 0x00, 0), {}},
        // Mode 1 without X falls back to the key of mode 0.
        UinputCase{"VirtualKeyModeWithoutX", 1, Key(0x41, 0x1E, 0), {{EV_KEY, KEY_A, 1}, kSyn}},
        // Mode 2 presses the key of the scan code.
        UinputCase{"ScanCodeDecides", 2, Key(0x41, 0x10, 0), {{EV_KEY, KEY_Q, 1}, kSyn}},
        UinputCase{
            "ExtendedScanRightCtrlDown", 2, Key(0xA3, 0x1D, 1), {{EV_KEY, KEY_RIGHTCTRL, 1}, kSyn}},
        UinputCase{
            "ExtendedScanRightCtrlUp", 2, Key(0xA3, 0x1D, 3), {{EV_KEY, KEY_RIGHTCTRL, 0}, kSyn}},
        UinputCase{"PlainScanLeftCtrl", 2, Key(0xA2, 0x1D, 0), {{EV_KEY, KEY_LEFTCTRL, 1}, kSyn}},
        UinputCase{"PauseByScanIsPause", 2, Key(0x13, 0x45, 1), {{EV_KEY, KEY_PAUSE, 1}, kSyn}},
        UinputCase{"NumLockByScan", 2, Key(0x90, 0x45, 1), {{EV_KEY, KEY_NUMLOCK, 1}, kSyn}},
        // Mode 3 addresses X windows only.
        UinputCase{"WindowMessagesNeedX", 3, Key(0x41, 0x1E, 0), {}}),
    [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(
    Mouse, UinputOutputTest,
    ::testing::Values(
        UinputCase{"LeftAndX2DownInOneReport",
                   3,
                   [](AbstractEvent& e) { e.MouseButtons(true, false, 1, 0, 0, 0, 1); },
                   {{EV_KEY, BTN_LEFT, 1}, {EV_KEY, BTN_EXTRA, 1}, kSyn}},
        UinputCase{"MiddleAndX1Up",
                   0,
                   [](AbstractEvent& e) { e.MouseButtons(false, true, 0, 1, 0, 1, 0); },
                   {{EV_KEY, BTN_MIDDLE, 0}, {EV_KEY, BTN_SIDE, 0}, kSyn}},
        UinputCase{"NeitherPressNorReleaseSendsNothing",
                   1,
                   [](AbstractEvent& e) { e.MouseButtons(false, false, 1, 1, 1, 1, 1); },
                   {}},
        UinputCase{"NoButtonSendsNothing",
                   2,
                   [](AbstractEvent& e) { e.MouseButtons(true, false, 0, 0, 0, 0, 0); },
                   {}},
        UinputCase{"RelativeMove",
                   0,
                   [](AbstractEvent& e) { e.MoveRelative(4, -1); },
                   {{EV_REL, REL_X, 4}, {EV_REL, REL_Y, -1}, kSyn}},
        UinputCase{"ZeroMoveSendsNothing", 0, [](AbstractEvent& e) { e.MoveRelative(0, 0); }, {}},
        UinputCase{"AbsoluteMoveWithoutX",
                   0,
                   [](AbstractEvent& e) { e.MoveAbsolute(100, 65535); },
                   {{EV_ABS, ABS_X, 100}, {EV_ABS, ABS_Y, 65535}, kSyn}},
        UinputCase{"WheelNotchPerHundredTwenty",
                   0,
                   [](AbstractEvent& e) { e.Wheel(240); },
                   {{EV_REL, REL_WHEEL, 1}, kSyn, {EV_REL, REL_WHEEL, 1}, kSyn}},
        UinputCase{"WheelDown",
                   1,
                   [](AbstractEvent& e) { e.Wheel(-120); },
                   {{EV_REL, REL_WHEEL, -1}, kSyn}},
        UinputCase{"PartialNotchSendsNothing", 0, [](AbstractEvent& e) { e.Wheel(60); }, {}},
        UinputCase{"HorizontalWheelRight",
                   2,
                   [](AbstractEvent& e) { e.HWheel(120); },
                   {{EV_REL, REL_HWHEEL, 1}, kSyn}},
        UinputCase{"PauseSequence",
                   3,
                   [](AbstractEvent& e) { e.SendPauseSequence(); },
                   {{EV_KEY, KEY_PAUSE, 1}, kSyn, {EV_KEY, KEY_PAUSE, 0}, kSyn}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OutputWithoutFacilities, DropsEverythingAfterOneLogLine) {
  testing::LogCapture log;
  OutputFacilities facilities;
  Methods methods(facilities);
  for (int mode = 0; mode < 4; ++mode) {
    AbstractEvent& e = methods.ByMode(mode);
    e.KeyEvent(0x41, 0x1E, 0);
    e.MoveRelative(1, 1);
    e.MoveAbsolute(1, 1);
    e.Wheel(120);
    e.HWheel(-120);
    e.MouseButtons(true, false, 1, 0, 0, 0, 0);
    e.SendPauseSequence();
  }
  EXPECT_EQ(log.Count("neither uinput nor an X display is available"), 1);
  EXPECT_EQ(log.Count("key events to the target window are dropped"), 1);
}

}  // namespace
}  // namespace brevanto
