#include "ui/CapturedKey.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

namespace brevanto {
namespace {

struct EvdevCase {
  uint16_t evdev;
  CapturedKey key;
};

void PrintTo(const EvdevCase& c, std::ostream* os) {
  *os << "evdev " << c.evdev;
}

class CapturedKeyOfEvdevTest : public ::testing::TestWithParam<EvdevCase> {};

TEST_P(CapturedKeyOfEvdevTest, DescribesTheKeyAsAKeyMessageWould) {
  const CapturedKey key = CapturedKeyOfEvdev(GetParam().evdev);
  EXPECT_EQ(key.virtualKey, GetParam().key.virtualKey);
  EXPECT_EQ(key.scanCode, GetParam().key.scanCode);
  EXPECT_EQ(key.extended, GetParam().key.extended);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CapturedKeyOfEvdevTest,
    ::testing::Values(
        EvdevCase{KEY_A, {0x41, 0x1E, false}}, EvdevCase{KEY_1, {0x31, 0x02, false}},
        EvdevCase{KEY_ESC, {0x1B, 0x01, false}}, EvdevCase{KEY_TAB, {0x09, 0x0F, false}},
        EvdevCase{KEY_F12, {0x7B, 0x58, false}}, EvdevCase{KEY_SLASH, {0xBF, 0x35, false}},
        // Modifiers are generic; the scan code and the flag keep the side.
        EvdevCase{KEY_LEFTSHIFT, {0x10, 0x2A, false}},
        EvdevCase{KEY_RIGHTSHIFT, {0x10, 0x36, false}},
        EvdevCase{KEY_LEFTCTRL, {0x11, 0x1D, false}}, EvdevCase{KEY_RIGHTCTRL, {0x11, 0x1D, true}},
        EvdevCase{KEY_LEFTALT, {0x12, 0x38, false}}, EvdevCase{KEY_RIGHTALT, {0x12, 0x38, true}},
        // E0 keys: numpad Enter is Enter marked extended; the navigation
        // block differs from the numpad by the flag alone.
        EvdevCase{KEY_ENTER, {0x0D, 0x1C, false}}, EvdevCase{KEY_KPENTER, {0x0D, 0x1C, true}},
        EvdevCase{KEY_LEFT, {0x25, 0x4B, true}}, EvdevCase{KEY_KP4, {0x64, 0x4B, false}},
        EvdevCase{KEY_DELETE, {0x2E, 0x53, true}}, EvdevCase{KEY_KPSLASH, {0x6F, 0x35, true}},
        EvdevCase{KEY_KPASTERISK, {0x6A, 0x37, false}}, EvdevCase{KEY_SYSRQ, {0x2C, 0x37, true}},
        EvdevCase{KEY_LEFTMETA, {0x5B, 0x5B, true}}, EvdevCase{KEY_COMPOSE, {0x5D, 0x5D, true}},
        EvdevCase{KEY_PAUSE, {0x13, 0x45, false}}, EvdevCase{KEY_NUMLOCK, {0x90, 0x45, true}},
        EvdevCase{KEY_HENKAN, {0x1C, 0x79, false}}, EvdevCase{KEY_MUTE, {0xAD, 0x20, true}},
        // No scan code: nothing.
        EvdevCase{KEY_RESERVED, {}}, EvdevCase{KEY_MICMUTE, {}}));

TEST(CapturedKeyOfEventTest, UsesTheNativeScanCodeAndFallsBackToTheQtKey) {
  // X keycode = evdev + 8. The Qt key disagrees on purpose: the native code wins.
  const QKeyEvent native(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, KEY_KPENTER + 8, 0, 0);
  EXPECT_EQ(CapturedKeyOfEvent(native), (CapturedKey{0x0D, 0x1C, true}));

  const struct {
    QKeyEvent event;
    CapturedKey key;
  } fallbacks[] = {
      {QKeyEvent(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier), {0x5A, 0x2C, false}},
      {QKeyEvent(QEvent::KeyPress, Qt::Key_Enter, Qt::KeypadModifier), {0x0D, 0x1C, true}},
      {QKeyEvent(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier), {0x26, 0x48, true}},
      {QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::KeypadModifier), {0x67, 0x47, false}},
      {QKeyEvent(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier), {0x37, 0x08, false}},
      {QKeyEvent(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier), {0x09, 0x0F, false}},
      {QKeyEvent(QEvent::KeyPress, Qt::Key_yen, Qt::NoModifier), {}},
  };
  for (const auto& f : fallbacks) {
    EXPECT_EQ(CapturedKeyOfEvent(f.event), f.key) << "Qt key 0x" << std::hex << f.event.key();
  }
}

TEST(CapturedKeyRecorderTest, KeepsTheLastKeyPressedAnywhereInTheApplication) {
  CapturedKeyRecorder recorder;
  qApp->installEventFilter(&recorder);
  QLineEdit first, second;
  QTest::keyClick(&first, Qt::Key_A);
  EXPECT_EQ(recorder.Last().virtualKey, 0x41);
  QTest::keyClick(&second, Qt::Key_Right);
  EXPECT_EQ(recorder.Last(), (CapturedKey{0x27, 0x4D, true}));
  // Releases do not overwrite it.
  QTest::keyRelease(&first, Qt::Key_A);
  EXPECT_EQ(recorder.Last().virtualKey, 0x27);
  qApp->removeEventFilter(&recorder);
}

}  // namespace
}  // namespace brevanto
