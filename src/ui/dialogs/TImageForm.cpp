#include "ui/dialogs/TImageForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "core/log/Logger.h"
#include "ui/UiText.h"

namespace brevanto {

QSize ImageClientSize(QSize picture, double ratio, QSize screen) {
  if (ratio == 0.0 || picture.width() <= 0 || picture.height() <= 0) return picture;
  const double u = std::min(ratio * screen.width() / picture.width(),
                            ratio * screen.height() / picture.height());
  return QSize(static_cast<int>(std::lround(picture.width() * u)),
               static_cast<int>(std::lround(picture.height() * u)));
}

QPoint ImagePlacement(int position, QSize client, QSize screen) {
  const int right = screen.width() - client.width();
  const int bottom = screen.height() - client.height();
  switch (position) {
    case 0:
      return {0, 0};
    case 1:
      return {0, bottom};
    case 2:
      return {right, 0};
    case 4:
      return {right / 2, bottom / 2};
    default:
      return {right, bottom};
  }
}

TImageForm::TImageForm(const double* fullScreenRatio, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::Tool |
                          Qt::WindowDoesNotAcceptFocus),
      Image(new QLabel(this)),
      CloseTimer(new QTimer(this)),
      fullScreenRatio_(fullScreenRatio) {
  setObjectName(QStringLiteral("TImageForm"));
  setAttribute(Qt::WA_ShowWithoutActivating);
  Image->setObjectName(QStringLiteral("Image"));
  Image->setScaledContents(true);
  Image->setAttribute(Qt::WA_TransparentForMouseEvents);
  CloseTimer->setObjectName(QStringLiteral("CloseTimer"));
  CloseTimer->setSingleShot(true);
  connect(CloseTimer, &QTimer::timeout, this, &TImageForm::Hide);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect desktop = screen->geometry();
    screen_ = QSize(desktop.x() + desktop.width(), desktop.y() + desktop.height());
  }
}

bool TImageForm::Show(const std::string& path, int position, int durationMs) {
  CloseTimer->stop();
  QPixmap picture;
  if (!picture.load(ToQ(path))) {
    LOG_ERROR("Cannot read the image file: %s", path.c_str());
    Hide();
    return false;
  }
  const double ratio = fullScreenRatio_ ? *fullScreenRatio_ : 0.0;
  const QSize client = ImageClientSize(picture.size(), ratio, screen_);
  Image->setPixmap(picture);
  Image->setGeometry(0, 0, client.width(), client.height());
  setFixedSize(client);
  move(ImagePlacement(position, client, screen_));
  // No duration: the picture stays until it is clicked (a timer of no
  // interval would hide it before it is seen).
  if (durationMs > 0) CloseTimer->start(durationMs);
  show();
  raise();
  return true;
}

void TImageForm::Hide() {
  CloseTimer->stop();
  hide();
}

void TImageForm::mousePressEvent(QMouseEvent* event) {
  Hide();
  QWidget::mousePressEvent(event);
}

}  // namespace brevanto
