#include "ui/dialogs/TWizardDialog.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/CapturedKey.h"
#include "ui/UiText.h"

namespace brevanto {

TWizardDialog::TWizardDialog(QWidget* parent)
    : QDialog(parent),
      lblExplanation(new QLabel(this)),
      Edit1(new QLineEdit(this)),
      btnSkip(new QPushButton(QStringLiteral("スキップ"), this)),
      btnExit(new QPushButton(QStringLiteral("設定終了"), this)) {
  setObjectName(QStringLiteral("TWizardDialog"));
  setWindowTitle(QStringLiteral("簡易設定ウィザード"));
  lblExplanation->setObjectName(QStringLiteral("lblExplanation"));
  lblExplanation->setAlignment(Qt::AlignCenter);
  lblExplanation->setWordWrap(true);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setStyleSheet(QStringLiteral("QLineEdit { background: yellow; color: black; }"));
  btnSkip->setObjectName(QStringLiteral("btnSkip"));
  btnSkip->setToolTip(QStringLiteral("このボタンの設定は変更せずに、次のボタンへ移る"));
  btnExit->setObjectName(QStringLiteral("btnExit"));
  btnExit->setToolTip(QStringLiteral("簡易設定ウィザードを終了する"));
  btnSkip->setAutoDefault(false);
  btnExit->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnSkip);
  buttons->addWidget(btnExit);
  buttons->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblExplanation);
  layout->addWidget(Edit1);
  layout->addLayout(buttons);
  setMinimumWidth(420);

  // The edit sees every key first, before focus navigation takes Tab and the
  // dialog takes Enter and Escape.
  Edit1->installEventFilter(this);
  connect(btnSkip, &QPushButton::clicked, this, [this] {
    resultCode_ = kSkip;
    accept();
  });
  connect(btnExit, &QPushButton::clicked, this, [this] {
    resultCode_ = kExit;
    reject();
  });
}

void TWizardDialog::SetPrompt(const std::string& prompt) {
  lblExplanation->setText(ToQ(prompt));
}

void TWizardDialog::showEvent(QShowEvent* event) {
  resultCode_ = kExit;
  keyCode_ = 0;
  QDialog::showEvent(event);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    move(screen->availableGeometry().center() - rect().center());
  }
  Edit1->setFocus();
}

bool TWizardDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Edit1) {
    if (event->type() == QEvent::ShortcutOverride) {
      // Claim every key so that no shortcut or default button takes it.
      event->accept();
      return true;
    }
    if (event->type() == QEvent::KeyPress) {
      const auto* key = static_cast<QKeyEvent*>(event);
      const uint8_t vk = CapturedKeyOfEvent(*key).virtualKey;
      if (vk != 0) {
        keyCode_ = vk;
        resultCode_ = kKeyCaptured;
        accept();
      }
      // Typed characters never reach the edit.
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace brevanto
