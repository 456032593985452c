#include "ui/CapturedKey.h"

#include <linux/input-event-codes.h>

#include <QKeyEvent>

#include "core/engine/ScanCodes.h"
#include "platform/linux/output/ScanCodeKeys.h"

namespace brevanto {
namespace {

constexpr uint16_t kE0 = 0x100;

// Key messages name Shift, Ctrl and Alt without their side; the scan code
// and the extended flag tell the sides apart.
uint8_t GenericVirtualKey(uint8_t vk) {
  switch (vk) {
    case 0xA0:
    case 0xA1:
      return 0x10;
    case 0xA2:
    case 0xA3:
      return 0x11;
    case 0xA4:
    case 0xA5:
      return 0x12;
    default:
      return vk;
  }
}

CapturedKey FromScan(uint16_t scan, uint8_t vk) {
  return CapturedKey{vk, static_cast<uint8_t>(scan & 0xFF), (scan & kE0) != 0};
}

}  // namespace

CapturedKey CapturedKeyOfEvdev(uint16_t evdevKey) {
  // Keys the scan table cannot tell apart by their code alone: Pause and Num
  // Lock share 0x45, and the menu key shares its E0 code with the table's
  // context-menu entry.
  switch (evdevKey) {
    case KEY_PAUSE:
      return CapturedKey{0x13, 0x45, false};
    case KEY_NUMLOCK:
      return CapturedKey{0x90, 0x45, true};
    case KEY_COMPOSE:
      return CapturedKey{0x5D, 0x5D, true};
    default:
      break;
  }
  const uint16_t scan = ScanCodeOfEvdevKey(evdevKey);
  if (scan == 0) return {};
  uint8_t vk = ScanCodeToVirtualKey(scan);
  // An E0 key without a virtual key of its own is its plain twin, marked
  // extended (numpad Enter is Enter).
  if (vk == 0 && (scan & kE0)) vk = ScanCodeToVirtualKey(scan & 0xFF);
  return FromScan(scan, GenericVirtualKey(vk));
}

uint8_t VirtualKeyOfQtKey(int key, bool keypad) {
  if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(0x41 + key - Qt::Key_A);
  if (key >= Qt::Key_0 && key <= Qt::Key_9) {
    return static_cast<uint8_t>((keypad ? 0x60 : 0x30) + key - Qt::Key_0);
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F24) {
    return static_cast<uint8_t>(0x70 + key - Qt::Key_F1);
  }
  switch (key) {
    case Qt::Key_Backspace:
      return 0x08;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return 0x09;
    case Qt::Key_Clear:
      return 0x0C;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return 0x0D;
    case Qt::Key_Shift:
      return 0x10;
    case Qt::Key_Control:
      return 0x11;
    case Qt::Key_Alt:
      return 0x12;
    case Qt::Key_Pause:
      return 0x13;
    case Qt::Key_CapsLock:
      return 0x14;
    case Qt::Key_Escape:
      return 0x1B;
    case Qt::Key_Space:
      return 0x20;
    case Qt::Key_PageUp:
      return 0x21;
    case Qt::Key_PageDown:
      return 0x22;
    case Qt::Key_End:
      return 0x23;
    case Qt::Key_Home:
      return 0x24;
    case Qt::Key_Left:
      return 0x25;
    case Qt::Key_Up:
      return 0x26;
    case Qt::Key_Right:
      return 0x27;
    case Qt::Key_Down:
      return 0x28;
    case Qt::Key_Print:
      return 0x2C;
    case Qt::Key_Insert:
      return 0x2D;
    case Qt::Key_Delete:
      return 0x2E;
    case Qt::Key_Meta:
      return 0x5B;
    case Qt::Key_Menu:
      return 0x5D;
    case Qt::Key_Asterisk:
      return keypad ? 0x6A : 0;
    case Qt::Key_Plus:
      return keypad ? 0x6B : 0xBB;
    case Qt::Key_Minus:
      return keypad ? 0x6D : 0xBD;
    case Qt::Key_Period:
      return keypad ? 0x6E : 0xBE;
    case Qt::Key_Slash:
      return keypad ? 0x6F : 0xBF;
    case Qt::Key_NumLock:
      return 0x90;
    case Qt::Key_ScrollLock:
      return 0x91;
    case Qt::Key_Semicolon:
      return 0xBA;
    case Qt::Key_Equal:
      return 0xBB;
    case Qt::Key_Comma:
      return 0xBC;
    case Qt::Key_QuoteLeft:
      return 0xC0;
    case Qt::Key_BracketLeft:
      return 0xDB;
    case Qt::Key_Backslash:
      return 0xDC;
    case Qt::Key_BracketRight:
      return 0xDD;
    case Qt::Key_Apostrophe:
      return 0xDE;
    default:
      return 0;
  }
}

CapturedKey CapturedKeyOfEvent(const QKeyEvent& event) {
  const quint32 native = event.nativeScanCode();
  if (native > kXKeycodeOffset) {
    const CapturedKey key = CapturedKeyOfEvdev(static_cast<uint16_t>(native - kXKeycodeOffset));
    if (key.virtualKey != 0) return key;
  }
  const uint8_t vk = VirtualKeyOfQtKey(event.key(), event.modifiers().testFlag(Qt::KeypadModifier));
  if (vk == 0) return {};
  CapturedKey key = FromScan(VirtualKeyToScanCode(vk), vk);
  // Numpad Enter is Enter with the E0 prefix.
  if (event.key() == Qt::Key_Enter && event.modifiers().testFlag(Qt::KeypadModifier)) {
    key.extended = true;
  }
  return key;
}

bool CapturedKeyRecorder::eventFilter(QObject* watched, QEvent* event) {
  // Auto-repeated presses count too, as repeated key-down messages do. An
  // event passed on to the parents is recorded again with the same key.
  if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
    last_ = CapturedKeyOfEvent(*static_cast<const QKeyEvent*>(event));
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace brevanto
