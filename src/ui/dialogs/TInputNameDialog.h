#pragma once

#include <QDialog>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brevanto {

// Asks for a name. The caller sets the caption, prompt and initial text, runs
// it modally and reads Text(): an empty text means the user cancelled. The
// close box keeps what was typed, so it confirms a non-empty name.
class TInputNameDialog : public QDialog {
  Q_OBJECT

 public:
  explicit TInputNameDialog(QWidget* parent = nullptr);

  void SetCaption(const std::string& caption);
  void SetPrompt(const std::string& prompt);
  void SetText(const std::string& text);
  std::string Text() const;

  // Shows the dialog modally and returns the entered text.
  static std::string Ask(QWidget* parent, const std::string& caption, const std::string& prompt,
                         const std::string& text);

  QLabel* lblExplanation;
  QLineEdit* editNewName;
  QPushButton* btnOK;
  QPushButton* btnCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void btnCancelClick();
};

}  // namespace brevanto
