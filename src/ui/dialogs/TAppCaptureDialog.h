#pragma once

#include <QDialog>
#include <QPointer>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace brevanto {

class WindowTracker;

// Waits the seconds asked for with the program out of the way, then takes
// the title and the program path of the window in front: the user brings the
// application to link to the front meanwhile. The window is read through the
// tracker the processing cycle follows the foreground with, so a link made
// from it matches what the cycle sees.
class TAppCaptureDialog : public QDialog {
  Q_OBJECT

 public:
  // The longest wait the timer can hold, in seconds.
  static constexpr int kMaxSeconds = 2147483;

  explicit TAppCaptureDialog(WindowTracker& tracker, QWidget* parent = nullptr);

  bool Captured() const { return captured_; }
  const std::string& CapturedTitle() const { return capturedTitle_; }
  // Empty when the window's program could not be found.
  const std::string& CapturedPath() const { return capturedPath_; }

  QLabel* lblExplanation;
  QLineEdit* editSeconds;
  QLabel* lblSeconds;
  QPushButton* btnCapture;
  QPushButton* btnCancel;
  QTimer* Timer1;

  void btnCaptureClick();
  void Timer1Timer();

 private:
  void MinimizeApplication();
  void RestoreApplication();

  WindowTracker& tracker_;
  std::vector<QPointer<QWidget>> minimized_;
  bool captured_ = false;
  std::string capturedTitle_;
  std::string capturedPath_;
};

}  // namespace brevanto
