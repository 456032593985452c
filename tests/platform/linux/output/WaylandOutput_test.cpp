// The output methods in a Wayland session: the X server there is XWayland,
// which reaches X11 windows only, so with uinput open every method sends
// through uinput and nothing goes to the X server (a real one here, with a
// focused window that must see nothing).
#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <linux/input-event-codes.h>

#include <functional>
#include <memory>
#include <vector>

#include "platform/linux/output/InputEventWriter.h"
#include "platform/linux/output/KeybdEventImpl.h"
#include "platform/linux/output/SendInputSCEventImpl.h"
#include "platform/linux/output/SendInputVKEventImpl.h"
#include "platform/linux/output/SendMessageEventImpl.h"
#include "platform/linux/output/XTestConnection.h"
#include "support/EventPipe.h"
#include "support/LogCapture.h"
#include "support/TestWindow.h"

namespace brevanto {
namespace {

using namespace std::chrono_literals;
using testing::Ev;
using testing::kSyn;

class WaylandOutputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::HasDisplay()) GTEST_SKIP() << testing::kNoDisplayReason;
    window_ = testing::TestWindow::Open();
    ASSERT_NE(window_, nullptr);
    x_ = XTestConnection::Open();
    ASSERT_NE(x_, nullptr);
    facilities_.x = x_.get();
    facilities_.wayland = true;
    const auto target = static_cast<WindowId>(window_->window());
    message_.SetTargetWindowSource([target] { return target; });
  }

  AbstractEvent& ByMode(int mode) {
    AbstractEvent* all[] = {&keybd_, &virtualKey_, &scanCode_, &message_};
    return *all[mode];
  }

  std::unique_ptr<testing::TestWindow> window_;
  std::unique_ptr<XTestConnection> x_;
  testing::EventPipe pipe_;
  InputEventWriter writer_{pipe_.WriteEnd()};
  OutputFacilities facilities_{&writer_, nullptr};
  KeybdEventImpl keybd_{facilities_};
  SendInputVKEventImpl virtualKey_{facilities_};
  SendInputSCEventImpl scanCode_{facilities_};
  SendMessageEventImpl message_{facilities_};
};

TEST_F(WaylandOutputTest, EveryMethodSendsKeysAndThePointerThroughUinputOnly) {
  const struct {
    const char* name;
    int mode;
    std::function<void(AbstractEvent&)> call;
    std::vector<Ev> expected;
  } cases[] = {
      {"mode 0 key",
       0,
       [](AbstractEvent& e) { e.KeyEvent(0x41, 0x1E, 0); },
       {{EV_KEY, KEY_A, 1}, kSyn}},
      // The layout's key for the character (US here), not XTest.
      {"mode 1 key",
       1,
       [](AbstractEvent& e) { e.KeyEvent(0x41, 0x1E, 0); },
       {{EV_KEY, KEY_A, 1}, kSyn}},
      {"mode 1 key release",
       1,
       [](AbstractEvent& e) { e.KeyEvent(0x5A, 0x2C, 2); },
       {{EV_KEY, KEY_Z, 0}, kSyn}},
      {"mode 2 key",
       2,
       [](AbstractEvent& e) { e.KeyEvent(0x41, 0x10, 0); },
       {{EV_KEY, KEY_Q, 1}, kSyn}},
      // Key messages have no Wayland counterpart: as mode 1.
      {"mode 3 key",
       3,
       [](AbstractEvent& e) { e.KeyEvent(0x41, 0x1E, 0); },
       {{EV_KEY, KEY_A, 1}, kSyn}},
      {"absolute position",
       1,
       [](AbstractEvent& e) { e.MoveAbsolute(100, 65535); },
       {{EV_ABS, ABS_X, 100}, {EV_ABS, ABS_Y, 65535}, kSyn}},
  };
  for (const auto& c : cases) {
    c.call(ByMode(c.mode));
    EXPECT_EQ(pipe_.Read(), c.expected) << c.name;
  }
  EXPECT_TRUE(window_->CollectTypes({KeyPress, KeyRelease, MotionNotify}, 1, 300ms).empty());
}

TEST_F(WaylandOutputTest, KeyMessagesFallBackWithOneLogLine) {
  testing::LogCapture log;
  for (int i = 0; i < 3; ++i) {
    message_.KeyEvent(0x42, 0x30, 0);
    message_.KeyEvent(0x42, 0x30, AbstractEvent::kKeyUp);
  }
  EXPECT_EQ(log.Count("KeySendMode 3: Wayland windows take no key messages"), 1);
  EXPECT_EQ(pipe_.Read().size(), 12u);
}

TEST_F(WaylandOutputTest, WithoutUinputOrAnX11TargetKeyMessagesGoThroughXTest) {
  facilities_.uinput = nullptr;
  SendMessageEventImpl noTarget(facilities_);
  noTarget.KeyEvent(0x41, 0x1E, 0);
  noTarget.KeyEvent(0x41, 0x1E, AbstractEvent::kKeyUp);
  const std::vector<XEvent> events = window_->CollectTypes({KeyPress, KeyRelease}, 2, 3s);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].xkey.keycode, XKeysymToKeycode(window_->display(), XK_a));
  EXPECT_EQ(events[0].xkey.send_event, 0);  // XTest, not a sent event
}

TEST_F(WaylandOutputTest, WithoutUinputKeyMessagesStillReachX11Windows) {
  facilities_.uinput = nullptr;
  message_.KeyEvent(0x41, 0x1E, 0);
  message_.KeyEvent(0x41, 0x1E, AbstractEvent::kKeyUp);
  const std::vector<XEvent> events = window_->CollectTypes({KeyPress, KeyRelease}, 2, 3s);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].xkey.keycode, XKeysymToKeycode(window_->display(), XK_a));
  EXPECT_NE(events[0].xkey.send_event, 0);
}

}  // namespace
}  // namespace brevanto
