#include "ui/dialogs/TAppCaptureDialog.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "core/log/Logger.h"
#include "core/ports/WindowTracker.h"
#include "core/processing/ProcessImagePath.h"
#include "ui/IntegerText.h"
#include "ui/UiText.h"

namespace brevanto {
namespace {

// What a link can match of a title or a path: 2047 UTF-16 units.
constexpr int kMaxTextUnits = 2047;

std::string Limited(const std::string& text) {
  const QString q = ToQ(text);
  return q.size() > kMaxTextUnits ? FromQ(q.left(kMaxTextUnits)) : text;
}

}  // namespace

TAppCaptureDialog::TAppCaptureDialog(WindowTracker& tracker, QWidget* parent)
    : QDialog(parent),
      lblExplanation(new QLabel(
          QStringLiteral(
              "ボタンを押した後、関連付けたいアプリケーションを選んで待っていてください。"),
          this)),
      editSeconds(new QLineEdit(QStringLiteral("3"), this)),
      lblSeconds(new QLabel(
          QStringLiteral("秒後に、アクティブになっているアプリケーションの情報を取得します。"),
          this)),
      btnCapture(
          new QPushButton(QStringLiteral("タイマーを使ってアプリケーション情報を取得"), this)),
      btnCancel(new QPushButton(QStringLiteral("Cancel"), this)),
      Timer1(new QTimer(this)),
      tracker_(tracker) {
  setObjectName(QStringLiteral("TAppCaptureDialog"));
  setWindowTitle(QStringLiteral("タイマーを使ったアプリケーション情報の取得"));
  lblExplanation->setObjectName(QStringLiteral("lblExplanation"));
  editSeconds->setObjectName(QStringLiteral("editSeconds"));
  lblSeconds->setObjectName(QStringLiteral("lblSeconds"));
  btnCapture->setObjectName(QStringLiteral("btnCapture"));
  btnCancel->setObjectName(QStringLiteral("btnCancel"));
  Timer1->setObjectName(QStringLiteral("Timer1"));
  editSeconds->setAlignment(Qt::AlignCenter);
  editSeconds->setMaximumWidth(60);
  lblSeconds->setBuddy(editSeconds);
  btnCapture->setDefault(true);

  auto* seconds = new QHBoxLayout;
  seconds->addWidget(editSeconds);
  seconds->addWidget(lblSeconds, 1);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(btnCapture);
  buttons->addWidget(btnCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblExplanation);
  layout->addLayout(seconds);
  layout->addLayout(buttons);

  Timer1->setSingleShot(false);
  Timer1->stop();
  connect(Timer1, &QTimer::timeout, this, &TAppCaptureDialog::Timer1Timer);
  connect(btnCapture, &QPushButton::clicked, this, &TAppCaptureDialog::btnCaptureClick);
  connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TAppCaptureDialog::btnCaptureClick() {
  const QString text = editSeconds->text();
  const std::optional<int> seconds = ParseIntegerText(text);
  if (!seconds) {
    QMessageBox::critical(this, QStringLiteral("Error"), NotAnIntegerMessage(text));
    return;
  }
  // A negative or overlong wait would leave the program minimised for good.
  if (*seconds < 0 || *seconds > kMaxSeconds) {
    QMessageBox::critical(this, QStringLiteral("Error"),
                          QStringLiteral("0 以上 %1 以下の数を入れてください。").arg(kMaxSeconds));
    return;
  }
  Timer1->setInterval(*seconds * 1000);
  Timer1->start();
  MinimizeApplication();
}

void TAppCaptureDialog::Timer1Timer() {
  Timer1->stop();
  const WindowId window = tracker_.ForegroundWindow();
  capturedTitle_ = Limited(window == kNoWindow ? std::string() : tracker_.WindowTitle(window));
  // Logs why when the program cannot be found (no process id, another host).
  capturedPath_ = Limited(ProcessImagePath(tracker_, window));
  LOG_DEBUG("Application info captured [HWND=%#08x, Text='%s', Path='%s']",
            static_cast<unsigned>(window), capturedTitle_.c_str(), capturedPath_.c_str());
  captured_ = true;
  QApplication::beep();
  RestoreApplication();
  accept();
}

void TAppCaptureDialog::MinimizeApplication() {
  minimized_.clear();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->isVisible() || window->isMinimized()) continue;
    if (window->windowType() != Qt::Window && window->windowType() != Qt::Dialog) continue;
    minimized_.emplace_back(window);
    window->showMinimized();
  }
}

void TAppCaptureDialog::RestoreApplication() {
  // A window may still have its own reaction to being minimised queued (the
  // main window hides itself in the tray); it must not come after this.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
  for (const QPointer<QWidget>& window : minimized_) {
    if (!window) continue;
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
  }
  minimized_.clear();
}

}  // namespace brevanto
