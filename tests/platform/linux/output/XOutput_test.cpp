// The output methods against a real X server (Xvfb under `make test`): a
// client window with the focus and the pointer sees what they send.
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <functional>
#include <memory>

#include "platform/linux/output/LinuxOutput.h"
#include "platform/linux/output/XTestConnection.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;

class XOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HasDisplay()) GTEST_SKIP() << testing::kNoDisplayReason;
    window_ = testing::TestWindow::Open();
    ASSERT_NE(window_, nullptr);
    LinuxOutput::Options options;
    options.useUinput = false;
    output_ = std::make_unique<LinuxOutput>(options);
    ASSERT_TRUE(output_->HasX());
    const auto target = static_cast<WindowId>(window_->window());
    output_->MessageMethod().SetTargetWindowSource([target] { return target; });
  }

  std::vector<XEvent> Keys(size_t count, std::chrono::milliseconds timeout = 3s) {
    return window_->CollectTypes({KeyPress, KeyRelease}, count, timeout);
  }
  std::vector<XEvent> Buttons(size_t count) {
    return window_->CollectTypes({ButtonPress, ButtonRelease}, count);
  }

  std::unique_ptr<testing::TestWindow> window_;
  std::unique_ptr<LinuxOutput> output_;
};

struct KeyCase {
  const char* name;
  int mode;
  uint8_t virtualKey;
  uint8_t scan;
  int32_t extended;
  // The keycode the window must see, given its display.
  std::function<unsigned(Display*)> keycode;
  bool synthetic;
};

void PrintTo(const KeyCase& c, std::ostream* os) {
  *os << c.name;
}

class XKeyTest : public XOutputTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(XKeyTest, TheFocusedWindowReceivesPressAndRelease) {
  const KeyCase& c = GetParam();
  AbstractEvent& method = output_->Method(c.mode);
  method.KeyEvent(c.virtualKey, c.scan, c.extended);
  method.KeyEvent(c.virtualKey, c.scan, c.extended | AbstractEvent::kKeyUp);

  const std::vector<XEvent> events = Keys(2);
  ASSERT_EQ(events.size(), 2u);
  const unsigned expected = c.keycode(window_->display());
  EXPECT_NE(expected, 0u);
  for (int i = 0; i < 2; ++i) {
    const XKeyEvent& k = events[static_cast<size_t>(i)].xkey;
    EXPECT_EQ(k.type, i == 0 ? KeyPress : KeyRelease);
    EXPECT_EQ(k.keycode, expected);
    EXPECT_EQ(k.window, window_->window());
    EXPECT_EQ(k.send_event != 0, c.synthetic);
  }
}

unsigned KeycodeOf(Display* d, KeySym sym) {
  return XKeysymToKeycode(d, sym);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, XKeyTest,
    ::testing::Values(KeyCase{"VirtualKeyModeUsesTheLayoutKeycode", 1, 0x41, 0x1E, 0,
                              [](Display* d) { return KeycodeOf(d, XK_a); }, false},
                      KeyCase{"VirtualKeyModeNumpadEnter", 1, 0x0D, 0x1C,
                              AbstractEvent::kExtendedKey,
                              [](Display* d) { return KeycodeOf(d, XK_KP_Enter); }, false},
                      KeyCase{"ScanCodeModeFallsBackToEvdevPlusEight", 2, 0x41, 0x10, 0,
                              [](Display*) { return unsigned{KEY_Q + 8}; }, false},
                      KeyCase{"ScanCodeModeExtendedKey", 2, 0xA3, 0x1D, AbstractEvent::kExtendedKey,
                              [](Display*) { return unsigned{KEY_RIGHTCTRL + 8}; }, false},
                      KeyCase{"DefaultModeFallsBackToXTest", 0, 0x41, 0x1E, 0,
                              [](Display*) { return unsigned{KEY_A + 8}; }, false},
                      KeyCase{"WindowMessageModeAddressesTheWindow", 3, 0x41, 0x1E, 0,
                              [](Display* d) { return KeycodeOf(d, XK_a); }, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(XOutputTest, WindowMessageWithoutTargetSendsNothing) {
  output_->MessageMethod().SetTargetWindowSource([] { return kNoWindow; });
  output_->Method(3).KeyEvent(0x41, 0x1E, 0);
  output_->Method(3).KeyEvent(0x41, 0x1E, AbstractEvent::kKeyUp);
  EXPECT_TRUE(Keys(1, 300ms).empty());
}

TEST_F(XOutputTest, WindowMessageToAVanishedWindowIsLoggedNotFatal) {
  testing::LogCapture log(/*debug=*/true);
  output_->MessageMethod().SetTargetWindowSource([] { return WindowId{0x1FFFFFFE}; });
  output_->Method(3).KeyEvent(0x41, 0x1E, 0);
  output_->XConnection()->Sync();
  EXPECT_EQ(log.Count("X error ignored: BadWindow"), 1);
}

TEST_F(XOutputTest, PauseSequencePressesAndReleasesPause) {
  output_->Method(3).SendPauseSequence();
  const std::vector<XEvent> events = Keys(2);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, KeyPress);
  EXPECT_EQ(events[1].type, KeyRelease);
  EXPECT_EQ(events[0].xkey.keycode, unsigned{KEY_PAUSE + 8});
}

TEST_F(XOutputTest, RelativeMotionMovesThePointerBy) {
  output_->Method(0).MoveRelative(7, 5);
  const auto moves = window_->CollectTypes({MotionNotify}, 1);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].xmotion.x, testing::TestWindow::kPointerX + 7);
  EXPECT_EQ(moves[0].xmotion.y, testing::TestWindow::kPointerY + 5);
}

TEST_F(XOutputTest, AbsoluteMotionScalesToTheScreen) {
  Display* d = window_->display();
  const int width = DisplayWidth(d, DefaultScreen(d));
  const int height = DisplayHeight(d, DefaultScreen(d));
  output_->Method(2).MoveAbsolute(32768, 16384);
  window_->CollectTypes({MotionNotify}, 1, 500ms);
  EXPECT_EQ(window_->Pointer(), std::make_pair(width / 2, height / 4));
  output_->Method(2).MoveAbsolute(65535, 0);
  window_->CollectTypes({MotionNotify}, 1, 500ms);
  EXPECT_EQ(window_->Pointer(), std::make_pair(width - 1, 0));
}

struct ButtonCase {
  const char* name;
  std::function<void(AbstractEvent&)> call;
  // X buttons in the order the window sees them; positive = press.
  std::vector<int> expected;
};

void PrintTo(const ButtonCase& c, std::ostream* os) {
  *os << c.name;
}

class XButtonTest : public XOutputTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(XButtonTest, TheWindowUnderThePointerReceives) {
  GetParam().call(output_->Method(0));
  const std::vector<XEvent> events = Buttons(GetParam().expected.size());
  std::vector<int> seen;
  for (const XEvent& e : events) {
    seen.push_back(e.type == ButtonPress ? int(e.xbutton.button) : -int(e.xbutton.button));
  }
  EXPECT_EQ(seen, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Mouse, XButtonTest,
    ::testing::Values(
        ButtonCase{"LeftClick",
                   [](AbstractEvent& e) {
                     e.MouseButtons(true, false, 1, 0, 0, 0, 0);
                     e.MouseButtons(false, true, 1, 0, 0, 0, 0);
                   },
                   {1, -1}},
        ButtonCase{"LeftAndRightTogether",
                   [](AbstractEvent& e) {
                     e.MouseButtons(true, false, 1, 0, 1, 0, 0);
                     e.MouseButtons(false, true, 1, 0, 1, 0, 0);
                   },
                   {1, 3, -1, -3}},
        ButtonCase{"MiddleAndSideButtons",
                   [](AbstractEvent& e) {
                     e.MouseButtons(true, false, 0, 1, 0, 1, 1);
                     e.MouseButtons(false, true, 0, 1, 0, 1, 1);
                   },
                   {2, 8, 9, -2, -8, -9}},
        ButtonCase{"WheelNotchUp", [](AbstractEvent& e) { e.Wheel(120); }, {4, -4}},
        ButtonCase{"TwoNotchesDown", [](AbstractEvent& e) { e.Wheel(-240); }, {5, -5, 5, -5}},
        ButtonCase{"TiltRight", [](AbstractEvent& e) { e.HWheel(120); }, {7, -7}},
        ButtonCase{"TiltLeft", [](AbstractEvent& e) { e.HWheel(-120); }, {6, -6}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(XTestConnection, AnUnreachableDisplayIsLoggedAndGivesNoConnection) {
  testing::LogCapture log;
  EXPECT_EQ(XTestConnection::Open(":93"), nullptr);
  EXPECT_EQ(log.Count("XTestConnection: cannot open X display \":93\""), 1);
}

}  // namespace
}  // namespace brevanto
