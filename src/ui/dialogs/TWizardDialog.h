#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brevanto {

// The configuration wizard's prompt: waits for one key press, which becomes
// the assignment of the button the prompt names. Every key counts, Enter,
// Escape and Tab included.
class TWizardDialog : public QDialog {
  Q_OBJECT

 public:
  enum Result { kExit = 0, kKeyCaptured = 1, kSkip = 2 };

  explicit TWizardDialog(QWidget* parent = nullptr);

  void SetPrompt(const std::string& prompt);
  int ResultCode() const { return resultCode_; }
  uint8_t KeyCode() const { return keyCode_; }

  QLabel* lblExplanation;
  QLineEdit* Edit1;
  QPushButton* btnSkip;
  QPushButton* btnExit;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int resultCode_ = kExit;
  uint8_t keyCode_ = 0;
};

}  // namespace brevanto
