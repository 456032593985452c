#include "ui/QtProfilePrompt.h"

#include <QMessageBox>

#include "ui/UiText.h"
#include "ui/dialogs/TInputNameDialog.h"

namespace brevanto {

std::string QtProfilePrompt::AskName(const std::string& caption, const std::string& prompt,
                                     const std::string& initial) {
  return TInputNameDialog::Ask(parent_, caption, prompt, initial);
}

ProfilePrompt::Answer QtProfilePrompt::Ask(const std::string& title, const std::string& text,
                                           bool withCancel) {
  QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
  if (withCancel) buttons |= QMessageBox::Cancel;
  QMessageBox box(QMessageBox::NoIcon, ToQ(title), ToQ(text), buttons, parent_);
  // Escape and the close box take back the question: Cancel where there is
  // one, else No.
  box.setEscapeButton(withCancel ? QMessageBox::Cancel : QMessageBox::No);
  box.setDefaultButton(QMessageBox::Yes);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    default:
      return withCancel ? Answer::Cancel : Answer::No;
  }
}

void QtProfilePrompt::ShowError(const std::string& title, const std::string& text) {
  QMessageBox box(QMessageBox::Critical, ToQ(title), ToQ(text), QMessageBox::Ok, parent_);
  box.exec();
}

}  // namespace brevanto
