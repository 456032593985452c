// Key capture in the assignment dialog with real key events: the X server
// delivers them with their hardware key codes, which tell the two Shift,
// Ctrl and Enter keys apart.

// Qt and GoogleTest first: Xlib's macros (Bool, Status, None) break them.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QTest>

#include "core/input/VirtualButton.h"
#include "support/AssignDialogHost.h"
#include "support/UiTestSupport.h"
#include "ui/dialogs/AssignKeyCodes.h"
#include "ui/dialogs/TAssignDialog.h"
// clang-format off
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
// clang-format on

namespace brevanto {
namespace {

TEST(KeyCodeOfCapturedKeyTest, TheSideComesFromTheScanCodeOrTheExtendedFlag) {
  const struct {
    CapturedKey key;
    uint32_t code;
  } cases[] = {
      {{0x10, 0x2A, false}, 0x10}, {{0x10, 0x36, false}, 0xA1}, {{0x10, 0x36, true}, 0xA1},
      {{0x11, 0x1D, false}, 0x11}, {{0x11, 0x1D, true}, 0xA3},  {{0x12, 0x38, false}, 0x12},
      {{0x12, 0x38, true}, 0xA5},  {{0x0D, 0x1C, false}, 0x0D}, {{0x0D, 0x1C, true}, 0x101},
      {{0x25, 0x4B, true}, 0x25},  {{0x41, 0x1E, false}, 0x41}, {{0, 0, false}, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(KeyCodeOfCapturedKey(c.key), c.code)
        << std::hex << "vk 0x" << int{c.key.virtualKey} << " scan 0x" << int{c.key.scanCode}
        << (c.key.extended ? " extended" : "");
  }
}

class XDisplay {
 public:
  XDisplay() : display_(XOpenDisplay(nullptr)) {}
  ~XDisplay() {
    if (display_) XCloseDisplay(display_);
  }
  XDisplay(const XDisplay&) = delete;
  XDisplay& operator=(const XDisplay&) = delete;
  Display* get() const { return display_; }

 private:
  Display* display_;
};

TEST(AssignKeyCaptureTest, RealKeyEventsStoreTheCodeOfTheirSide) {
  if (!testing::OnRealDisplay()) GTEST_SKIP() << "real key events need an X server";
  XDisplay display;
  ASSERT_NE(display.get(), nullptr);
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display.get(), &event, &error, &major, &minor)) {
    GTEST_SKIP() << "the X server has no XTest extension";
  }
  testing::TestAssignDialogHost host;
  TAssignDialog dialog(host, 0);
  dialog.Load(kFirstPlainButton, "[1] Button");
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));

  const struct {
    const char* name;
    unsigned evdev;
    uint32_t code;
  } cases[] = {
      {"right Shift", KEY_RIGHTSHIFT, 0xA1}, {"left Shift", KEY_LEFTSHIFT, 0x10},
      {"right Ctrl", KEY_RIGHTCTRL, 0xA3},   {"left Ctrl", KEY_LEFTCTRL, 0x11},
      {"keypad Enter", KEY_KPENTER, 0x101},  {"main Enter", KEY_ENTER, 0x0D},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    dialog.SpecialKeyChosen(dialog.Key[1], 0);
    dialog.Key[1]->setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Key[1]->hasFocus(); }));
    // The server's key codes are the kernel's plus 8.
    XTestFakeKeyEvent(display.get(), c.evdev + 8, True, 0);
    XTestFakeKeyEvent(display.get(), c.evdev + 8, False, 0);
    XFlush(display.get());
    EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.WorkingKeys()[1] != 0; }, 2000))
        << "no key arrived";
    EXPECT_EQ(dialog.WorkingKeys()[1], c.code) << std::hex << "0x" << dialog.WorkingKeys()[1];
    EXPECT_EQ(dialog.focusWidget(), dialog.Key[2]) << "the focus moves on";
  }
  dialog.hide();
}

}  // namespace
}  // namespace brevanto
