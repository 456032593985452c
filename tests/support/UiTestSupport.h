#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTimer>
#include <functional>

namespace brevanto::testing {

inline bool OnRealDisplay() {
  return QGuiApplication::platformName() == QStringLiteral("xcb");
}

// Runs action once a modal window of type T is up (QDialog::exec blocks).
template <typename T = QDialog>
void WhenModal(std::function<void(T*)> action) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, action] {
    if (auto* modal = qobject_cast<T*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      action(modal);
    }
  });
  timer->start();
}

// Closes the next message box with its default button and hands back its text.
inline void AnswerNextMessageBox(QString* text,
                                 QMessageBox::StandardButton answer = QMessageBox::Ok) {
  WhenModal<QMessageBox>([text, answer](QMessageBox* box) {
    if (text) *text = box->text();
    if (QAbstractButton* button = box->button(answer)) {
      button->click();
    } else {
      box->reject();
    }
  });
}

}  // namespace brevanto::testing
