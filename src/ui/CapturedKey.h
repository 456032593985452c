#pragma once

#include <QObject>
#include <cstdint>

class QKeyEvent;

namespace brevanto {

// A key-down as the Windows key messages describe it: the generic virtual key
// (Shift, Ctrl and Alt without their side), the set-1 scan code without its
// prefix, and whether the key carries the E0 prefix. Profiles store keys in
// these terms, so the assignment dialog turns them into key codes.
struct CapturedKey {
  uint8_t virtualKey = 0;
  uint8_t scanCode = 0;
  bool extended = false;

  friend bool operator==(const CapturedKey&, const CapturedKey&) = default;
};

// The key of a Linux evdev key code; all zero for a key with no scan code.
CapturedKey CapturedKeyOfEvdev(uint16_t evdevKey);

// The virtual key Qt's key code stands for, for events that carry no native
// scan code (synthesised or from a platform without one); 0 when unknown.
uint8_t VirtualKeyOfQtKey(int qtKey, bool keypad);

// The key of a Qt key event: X and Wayland report the evdev code shifted by 8
// as the native scan code; otherwise the Qt key code is translated.
CapturedKey CapturedKeyOfEvent(const QKeyEvent& event);

// Records the last key pressed anywhere in the application, as the
// assignment dialog's key capture reads it. Install it on the application.
class CapturedKeyRecorder : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  const CapturedKey& Last() const { return last_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CapturedKey last_;
};

}  // namespace brevanto
