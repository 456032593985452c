#include "ui/dialogs/MousePositionPreview.h"

#include <QPainter>
#include <algorithm>

namespace brevanto {

MousePositionPreview::MousePositionPreview(QWidget* parent) : QWidget(parent) {
  setMinimumSize(120, 75);
}

void MousePositionPreview::SetPosition(double x, double y, bool rangeMode, int rangeX, int rangeY) {
  x_ = x;
  y_ = y;
  rangeMode_ = rangeMode;
  rangeX_ = rangeX;
  rangeY_ = rangeY;
  update();
}

void MousePositionPreview::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF desktop = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.fillRect(desktop, QColor(0x3A, 0x6E, 0xA5));
  painter.setPen(QPen(Qt::black, 1));
  painter.drawRect(desktop);

  // Points beyond 100 lie on further screens: keep the marker on the edge.
  auto at = [&](double percent, double origin, double extent) {
    return origin + std::clamp(percent, 0.0, 100.0) * extent / 100.0;
  };
  const QPointF point(at(x_, desktop.left(), desktop.width()),
                      at(y_, desktop.top(), desktop.height()));

  if (rangeMode_ && (rangeX_ != 0 || rangeY_ != 0)) {
    // The stick moves the cursor up to the range away from the centre, to
    // either side.
    const QPointF from(at(x_ - rangeX_, desktop.left(), desktop.width()),
                       at(y_ - rangeY_, desktop.top(), desktop.height()));
    const QPointF to(at(x_ + rangeX_, desktop.left(), desktop.width()),
                     at(y_ + rangeY_, desktop.top(), desktop.height()));
    painter.setPen(QPen(QColor(0xFF, 0xD7, 0x00), 3));
    painter.drawLine(from, to);
  }
  painter.setPen(QPen(Qt::white, 1.5));
  painter.setBrush(rangeMode_ ? QColor(0xFF, 0xD7, 0x00) : QColor(0xE0, 0x30, 0x30));
  painter.drawEllipse(point, 4.0, 4.0);
}

}  // namespace brevanto
