#include "ui/dialogs/TInputNameDialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/UiText.h"

namespace brevanto {

TInputNameDialog::TInputNameDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      lblExplanation(new QLabel(QStringLiteral("設定ファイルの名前を入力してください"), this)),
      editNewName(new QLineEdit(this)),
      btnOK(new QPushButton(QStringLiteral("OK"), this)),
      btnCancel(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("TInputNameDialog"));
  lblExplanation->setObjectName(QStringLiteral("lblExplanation"));
  editNewName->setObjectName(QStringLiteral("editNewName"));
  btnOK->setObjectName(QStringLiteral("btnOK"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  // Enter is handled by the edit itself, not by a default button.
  btnOK->setAutoDefault(false);
  btnCancel->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnOK);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblExplanation);
  layout->addWidget(editNewName);
  layout->addLayout(buttons);
  setMinimumWidth(360);

  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
  connect(btnCancel, &QPushButton::clicked, this, &TInputNameDialog::btnCancelClick);
  connect(editNewName, &QLineEdit::returnPressed, this, &QDialog::accept);
}

void TInputNameDialog::SetCaption(const std::string& caption) {
  setWindowTitle(ToQ(caption));
}
void TInputNameDialog::SetPrompt(const std::string& prompt) {
  lblExplanation->setText(ToQ(prompt));
}
void TInputNameDialog::SetText(const std::string& text) {
  editNewName->setText(ToQ(text));
}
std::string TInputNameDialog::Text() const {
  return FromQ(editNewName->text());
}

std::string TInputNameDialog::Ask(QWidget* parent, const std::string& caption,
                                  const std::string& prompt, const std::string& text) {
  TInputNameDialog dialog(parent);
  dialog.SetCaption(caption);
  dialog.SetPrompt(prompt);
  dialog.SetText(text);
  dialog.exec();
  return dialog.Text();
}

void TInputNameDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  editNewName->setFocus();
}

void TInputNameDialog::keyPressEvent(QKeyEvent* event) {
  // Escape means Cancel: leaving the typed text would confirm it.
  if (event->key() == Qt::Key_Escape) {
    btnCancelClick();
    return;
  }
  QDialog::keyPressEvent(event);
}

void TInputNameDialog::btnCancelClick() {
  editNewName->clear();
  reject();
}

}  // namespace brevanto
